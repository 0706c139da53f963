// Settings files on Windows: several keys in one replacement, all or
// nothing, where the system's reader finds them; files with a byte-order
// mark kept in their encoding. (Both places refusing is tested end to end:
// tests/win/wine_save_tests.py.)
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "framework/framework.h"
#include "ini/ini_file.h"
#include "ini/win32_file_system.h"

namespace {

std::wstring Wide(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string Bytes(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(none)";
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

void Put(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD put = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(file);
}

std::string Utf16Le(const std::string& ascii)
{
    std::string bytes = "\xFF\xFE";
    for (char c : ascii) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

class SettingsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "vyla-settings-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(root.c_str(), nullptr);
        file = root + "\\vyla.ini";
    }
    void TearDown() override
    {
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
        RemoveDirectoryA(file.c_str());
        RemoveDirectoryA(root.c_str());
    }

    // The file's settings saved, or read, as the Windows side does.
    TProfileError Save(const TProfileEntries& entries)
    {
        return vyla::ini::SaveValues(files, Wide(file), "options", entries).Error;
    }
    std::optional<std::string> Read(const char* section, const char* key)
    {
        return vyla::ini::ReadValue(files, Wide(file), section, key);
    }

    const TProfileEntries four = {{"color", "1"}, {"speed", "2"}, {"girls", "1"}, {"interval", "90"}};
    vyla::ini::Win32FileSystem files;
    std::string root, file;
};

TEST_F(SettingsFiles, FourKeysInOneReplacementKeepingEveryOtherByte)
{
    Put(file, "; mine\r\n[options]\r\ncolor=0\r\n[other]\r\nx=1\r\n");
    ASSERT_EQ(Save(four), TProfileError::None);
    EXPECT_EQ(Bytes(file), "; mine\r\n[options]\r\ncolor=1\r\nspeed=2\r\ngirls=1\r\ninterval=90\r\n[other]\r\nx=1\r\n");
    EXPECT_EQ(Read("OPTIONS", "interval"), "90");
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((root + "\\*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// Where the system's own reader looks: the first [options], the first line
// of a key even without '=', and a file of CR-only lines kept as it is.
TEST_F(SettingsFiles, SavedWhereTheSystemsReaderFindsThem)
{
    Put(file, "[options]\rcolor\rcolor=0\r[options]\rspeed=0\r");
    ASSERT_EQ(Save(four), TProfileError::None);
    EXPECT_EQ(Bytes(file), "[options]\rcolor=1\rcolor=0\rspeed=2\rgirls=1\rinterval=90\r[options]\rspeed=0\r");
    const std::pair<const char*, UINT> expected[] = {{"color", 1}, {"speed", 2}, {"girls", 1}, {"interval", 90}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(GetPrivateProfileIntA("options", key, 7, file.c_str()), value) << key;
}

TEST_F(SettingsFiles, MarkedFilesAreReadAndWrittenInTheirOwnEncoding)
{
    Put(file, Utf16Le("[options]\r\ncolor=1\r\n"));
    EXPECT_EQ(Read("options", "color"), "1");
    ASSERT_EQ(Save(four), TProfileError::None);
    EXPECT_EQ(Bytes(file), Utf16Le("[options]\r\ncolor=1\r\nspeed=2\r\ngirls=1\r\ninterval=90\r\n"));

    Put(file, "\xEF\xBB\xBF[options]\ncolor=1\n");
    EXPECT_EQ(Read("options", "color"), "1");
    ASSERT_EQ(Save(four), TProfileError::None);
    EXPECT_EQ(Bytes(file), "\xEF\xBB\xBF[options]\ncolor=1\nspeed=2\ngirls=1\ninterval=90\n");
}

TEST_F(SettingsFiles, RefusedWritesChangeNothing)
{
    const std::string original = "[options]\r\ncolor=0\r\n";
    Put(file, original);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Save(four), TProfileError::ReadOnly);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Bytes(file), original);
    // Judged before it is read: a save that would change nothing is refused too.
    const std::string same = "[options]\r\ncolor=1\r\nspeed=2\r\ngirls=1\r\ninterval=90\r\n";
    Put(file, same);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Save(four), TProfileError::ReadOnly);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);

    // At the size limit, no key fits: none may land.
    std::string full = "; x\r\n" + std::string(16 * 1024 * 1024 - 7, 'x') + "\r\n";
    Put(file, full);
    EXPECT_EQ(Save(four), TProfileError::TooLarge);
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    GetFileSizeEx(handle, &size);
    CloseHandle(handle);
    EXPECT_EQ(size.QuadPart, static_cast<LONGLONG>(full.size()));

    DeleteFileA(file.c_str());
    CreateDirectoryA(file.c_str(), nullptr);
    EXPECT_EQ(Save(four), TProfileError::NotAFile);
}

}  // namespace
