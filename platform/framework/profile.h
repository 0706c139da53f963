// TProfile: one section of a private settings file.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Why a settings file could not be written.
enum class TProfileError {
    None,
    AccessDenied,  // the place may not be written by this user
    ReadOnly,      // the file, or the disk it is on, is read-only
    DiskFull,
    NotAFile,      // a folder or a special file holds the name
    TooLarge,      // the file is (or would grow) past what a settings file may be
    Unreadable,    // the file exists but cannot be read, so it cannot be edited
    Other,         // SystemCode says what the system reported
};

struct TProfileWriteResult {
    TProfileError Error = TProfileError::None;
    std::string File;    // the file that could not be written (the last place tried)
    int SystemCode = 0;  // the system's error number, when there was one
};

using TProfileEntries = std::vector<std::pair<std::string, std::string>>;

class TProfile {
public:
    // fileName without a directory: the platform's place for such files.
    TProfile(const char* section, const char* fileName);

    // The key's integer value, or defaultInt when the key is absent.
    int GetInt(const char* key, int defaultInt = 0) const;

private:
    std::string Section;
    std::string FileName;
};

// Several keys of one section written together: the writes are collected,
// and Commit replaces the file once, so that either every key lands or the
// file stays byte for byte as it was.
class TProfileBatch {
public:
    TProfileBatch(const char* section, const char* fileName);

    // Collects the value as signed decimal text; nothing is written yet.
    void WriteInt(const char* key, int value);
    // Writes everything collected. False when nothing could be written;
    // GetResult then says where and why.
    bool Commit();
    const TProfileWriteResult& GetResult() const { return Result; }

private:
    std::string Section;
    std::string FileName;
    TProfileEntries Entries;
    TProfileWriteResult Result;
};
