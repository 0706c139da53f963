// Where settings are read and written on Windows: the system's place while
// it can be written, the user's own copy once it cannot.
#include <gtest/gtest.h>

#include <string>

#include "framework/framework.h"
#include "win32/profile_location.h"

namespace {

using vyla::win32::ProfileLocation;

std::string Narrow(const std::wstring& wide)
{
    int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), n, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A scratch directory with a writable "shared" place, a place that cannot be
// written (its directory does not exist) and a user directory not yet made.
class ProfileFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "vyla-profile-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA((root + "\\shared").c_str(), nullptr);
        writable = root + "\\shared\\vyla.ini";
        refused = root + "\\missing\\vyla.ini";
        userDir = root + "\\user\\Vyla";
        CreateDirectoryA((root + "\\user").c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const std::string& f : {writable, userDir + "\\vyla.ini"})
            DeleteFileA(f.c_str());
        for (const std::string& d : {userDir, root + "\\user", root + "\\shared", root})
            RemoveDirectoryA(d.c_str());
    }
    ProfileLocation Location() const
    {
        int n = MultiByteToWideChar(CP_ACP, 0, userDir.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, userDir.c_str(), -1, wide.data(), n);
        wide.resize(wide.size() - 1);
        return ProfileLocation(wide);
    }
    // One key saved through the location, as the dialog saves its four.
    static bool Write(const ProfileLocation& location, const char* key, const char* value, const std::string& file)
    {
        return location.WriteTexts("options", TProfileEntries{{key, value}}, file.c_str()).Error == TProfileError::None;
    }

    std::string root, writable, refused, userDir;
};

TEST_F(ProfileFiles, TheSystemsPlaceIsUsedWhileItCanBeWritten)
{
    ProfileLocation location = Location();
    ASSERT_TRUE(Write(location, "color", "1", writable));
    EXPECT_EQ(GetPrivateProfileIntA("options", "color", -1, writable.c_str()), 1u);
    EXPECT_EQ(location.ReadInt("options", "color", 0, writable.c_str()), 1u);
    EXPECT_EQ(location.ReadInt("options", "speed", 7, writable.c_str()), 7u) << "absent keys give the default";
    EXPECT_FALSE(location.HasUserCopy(writable.c_str()));
    EXPECT_FALSE(Exists(userDir)) << "no user copy is made while the system's place works";
}

TEST_F(ProfileFiles, ARefusedWriteGoesToTheUsersCopyWhichIsReadFromThenOn)
{
    ProfileLocation location = Location();
    ASSERT_FALSE(WritePrivateProfileStringA("options", "probe", "1", refused.c_str())) << "the refused place must refuse";
    ASSERT_TRUE(Write(location, "color", "1", refused));
    ASSERT_TRUE(Write(location, "interval", "-45", refused));
    ASSERT_TRUE(location.HasUserCopy(refused.c_str()));
    EXPECT_EQ(Narrow(location.UserCopy(refused.c_str())), userDir + "\\vyla.ini");
    EXPECT_EQ(static_cast<int>(location.ReadInt("options", "color", 0, refused.c_str())), 1);
    EXPECT_EQ(static_cast<int>(location.ReadInt("options", "interval", 0, refused.c_str())), -45);
    EXPECT_EQ(GetPrivateProfileIntA("options", "color", -1, (userDir + "\\vyla.ini").c_str()), 1u);
}

TEST_F(ProfileFiles, OnceTheUserHasACopyItWinsOverTheSystemsPlace)
{
    ASSERT_TRUE(WritePrivateProfileStringA("options", "speed", "2", writable.c_str()));
    CreateDirectoryA(userDir.c_str(), nullptr);
    ASSERT_TRUE(WritePrivateProfileStringA("options", "speed", "1", (userDir + "\\vyla.ini").c_str()));
    ProfileLocation location = Location();
    EXPECT_EQ(location.ReadInt("options", "speed", 0, writable.c_str()), 1u);
    ASSERT_TRUE(Write(location, "speed", "0", writable));
    EXPECT_EQ(location.ReadInt("options", "speed", 9, writable.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("options", "speed", 9, writable.c_str()), 2u) << "the system's copy is left alone";
}

TEST_F(ProfileFiles, WithoutAUserDirectoryARefusedWriteIsReported)
{
    ProfileLocation location{std::wstring()};
    EXPECT_FALSE(Write(location, "color", "1", refused));
    EXPECT_EQ(location.ReadInt("options", "color", 3, refused.c_str()), 3u);
    EXPECT_TRUE(location.UserCopy(refused.c_str()).empty());
}

TEST(ProfileBareName, TheFrameworkFollowsTheSystemsRuleForABareName)
{
    // The system's rule: a name without a directory lives in the Windows directory.
    const char* name = "vyla-profile-test.ini";
    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    const std::string path = std::string(windows) + "\\" + name;
    DeleteFileA(path.c_str());
    TProfileBatch batch("options", name);
    batch.WriteInt("interval", 90);
    ASSERT_TRUE(batch.Commit());
    TProfile profile("options", name);
    EXPECT_EQ(profile.GetInt("interval", 0), 90);
    EXPECT_EQ(GetPrivateProfileIntA("options", "interval", 0, path.c_str()), 90u);
    DeleteFileA(path.c_str());
}

}  // namespace
