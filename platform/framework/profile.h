// TProfile: one section of a private settings file.
#pragma once

#include <string>

class TProfile {
public:
    // fileName without a directory: the platform's place for such files.
    TProfile(const char* section, const char* fileName);

    // The key's integer value, or defaultInt when the key is absent.
    int GetInt(const char* key, int defaultInt = 0) const;
    // Writes the value as signed decimal text; creates the file, the section
    // or the key as needed. False when the file could not be written.
    bool WriteInt(const char* key, int value);

private:
    std::string Section;
    std::string FileName;
};
