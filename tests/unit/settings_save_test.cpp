// OK when the settings cannot be saved: the places are made for real (see
// fault_places.h) and the real dialog runs on the headless backend in a
// child process. Nothing may change on disk, the user must be told which
// file and why, and the dialog must end as Cancel ends it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "fault_places.h"
#include "support/headless_system.h"
#include "ini/file_system.h"

namespace {

namespace fs = std::filesystem;
using vyla::portable::DialogSession;
using vyla::testing::HeadlessSystem;
using vyla::testing::kPlaceUnavailable;
using vyla::testing::ReadText;
using vyla::testing::Require;
using vyla::testing::RunInChild;
using vyla::testing::TempDir;
using vyla::testing::WriteText;

const std::string kOriginal = "; mine\r\n[options]\r\ncolor=0\r\nspeed=0\r\n";

// Everything in the directory but the file and what the case put there.
bool OnlyTheseEntries(const fs::path& directory, std::initializer_list<const char*> names)
{
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(directory)) {
        ++count;
        bool known = false;
        for (const char* name : names)
            known = known || entry.path().filename() == name;
        if (!known)
            return false;
    }
    return count == names.size();
}

// In the child: runs the dialog over the settings in directory, changes every
// choice and presses OK; then checks that the user was told, in one message
// naming the file and giving reason, and that the dialog ended.
void OkMustFailAndTell(const fs::path& directory, const std::string& reason)
{
    HeadlessSystem sys;
    sys.host.SetProfileDirectory(directory);
    bool ended = false;
    sys.host.SetDialogScript([&](DialogSession& d) {
        d.Click(112);
        d.Click(123);
        d.Click(101);
        d.SetText(102, "30");
        d.PressReturn();
        ended = d.Ended();
    });
    Require(sys.Run("/c") == 0, "the configuration run ends with 0");
    Require(ended, "OK ends the dialog even when nothing could be saved");
    const auto& reports = sys.host.Reports();
    Require(reports.size() == 1, "exactly one message, got " + std::to_string(reports.size()));
    const std::string& message = reports.front();
    Require(message.find("設定を保存できませんでした") != std::string::npos, "says nothing was saved: " + message);
    Require(message.find((directory / "vyla.ini").string()) != std::string::npos, "names the file: " + message);
    Require(message.find(reason) != std::string::npos, "gives the reason '" + reason + "': " + message);
}

#define EXPECT_CHILD_PASSED(code)                                                        \
    do {                                                                                 \
        const int child = (code);                                                        \
        if (child == kPlaceUnavailable)                                                  \
            GTEST_SKIP() << "this system cannot make the place (no mount namespace)";   \
        EXPECT_EQ(child, 0);                                                             \
    } while (0)

TEST(SettingsSaveFailure, ReadOnlyDirectoryByPermissions)
{
    TempDir dir;
    const fs::path settings = dir.Path() / "settings";
    EXPECT_CHILD_PASSED(RunInChild(
        [&] {
            fs::create_directory(settings);
            WriteText(settings / "vyla.ini", kOriginal);
            return vyla::testing::BecomeUnprivileged(dir.Path()) && ::chmod(settings.c_str(), 0555) == 0;
        },
        [&] { OkMustFailAndTell(settings, "権限がありません"); }));
    EXPECT_EQ(ReadText(settings / "vyla.ini"), kOriginal);
    EXPECT_TRUE(OnlyTheseEntries(settings, {"vyla.ini"}));
}

TEST(SettingsSaveFailure, ReadOnlyFile)
{
    TempDir dir;
    EXPECT_CHILD_PASSED(RunInChild(
        [&] {
            WriteText(dir.Path() / "vyla.ini", kOriginal);
            return vyla::testing::BecomeUnprivileged(dir.Path()) && ::chmod((dir.Path() / "vyla.ini").c_str(), 0444) == 0;
        },
        [&] { OkMustFailAndTell(dir.Path(), "読み取り専用"); }));
    EXPECT_EQ(ReadText(dir.Path() / "vyla.ini"), kOriginal);
    EXPECT_TRUE(OnlyTheseEntries(dir.Path(), {"vyla.ini"}));
}

TEST(SettingsSaveFailure, ReadOnlyFileSystem)
{
    TempDir dir;
    // The file lives on a tmpfs mounted read-only in the child; the child
    // checks that it is untouched before its mount goes away.
    EXPECT_CHILD_PASSED(RunInChild(
        [&] {
            if (!vyla::testing::MountTmpfs(dir.Path(), 64 * 1024))
                return false;
            WriteText(dir.Path() / "vyla.ini", kOriginal);
            return ::mount(nullptr, dir.Path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        },
        [&] {
            OkMustFailAndTell(dir.Path(), "読み取り専用");
            Require(ReadText(dir.Path() / "vyla.ini") == kOriginal, "the file is unchanged");
        }));
}

TEST(SettingsSaveFailure, FullDisk)
{
    TempDir dir;
    EXPECT_CHILD_PASSED(RunInChild(
        [&] {
            if (!vyla::testing::MountTmpfs(dir.Path(), 64 * 1024))
                return false;
            WriteText(dir.Path() / "vyla.ini", kOriginal);
            vyla::testing::FillDisk(dir.Path());
            return true;
        },
        [&] {
            OkMustFailAndTell(dir.Path(), "空き容量");
            Require(ReadText(dir.Path() / "vyla.ini") == kOriginal, "the file is unchanged");
            Require(OnlyTheseEntries(dir.Path(), {"vyla.ini", "filler"}), "no temporary file is left");
        }));
}

TEST(SettingsSaveFailure, ADirectoryOrAPipeInThePlaceOfTheFile)
{
    TempDir dir;
    fs::create_directory(dir.Path() / "vyla.ini");
    EXPECT_CHILD_PASSED(RunInChild([] { return true; }, [&] { OkMustFailAndTell(dir.Path(), "フォルダー"); }));
    EXPECT_TRUE(fs::is_directory(dir.Path() / "vyla.ini"));
    EXPECT_TRUE(fs::is_empty(dir.Path() / "vyla.ini"));

    TempDir pipeDir;
    ASSERT_EQ(::mkfifo((pipeDir.Path() / "vyla.ini").c_str(), 0600), 0);
    EXPECT_CHILD_PASSED(RunInChild([] { return true; }, [&] { OkMustFailAndTell(pipeDir.Path(), "特殊なファイル"); }));
    EXPECT_TRUE(fs::is_fifo(pipeDir.Path() / "vyla.ini"));
    EXPECT_TRUE(OnlyTheseEntries(pipeDir.Path(), {"vyla.ini"}));
}

TEST(SettingsSaveFailure, AFileAtTheSizeLimitGetsNoKeyAtAll)
{
    // Exactly the largest settings file there may be, without the section:
    // no key fits, so none may land (writing them one by one stored two).
    TempDir dir;
    std::string text = "; filler\n" + std::string(vyla::ini::kMaxFileBytes - 10, 'x') + "\n";
    ASSERT_EQ(text.size(), vyla::ini::kMaxFileBytes);
    WriteText(dir.Path() / "vyla.ini", text);
    EXPECT_CHILD_PASSED(RunInChild([] { return true; }, [&] { OkMustFailAndTell(dir.Path(), "大きすぎます"); }));
    EXPECT_TRUE(ReadText(dir.Path() / "vyla.ini") == text);
}

TEST(SettingsSaveFailure, NearTheLimitTheFourKeysLandTogetherOrNotAtAll)
{
    // Room for some keys but not for all four: before, the first ones landed.
    const std::string head = "[options]\n";
    for (std::size_t room : {std::size_t{9}, std::size_t{18}, std::size_t{27}}) {
        TempDir dir;
        std::string text = head + std::string(vyla::ini::kMaxFileBytes - head.size() - 1 - room, ';') + "\n";
        WriteText(dir.Path() / "vyla.ini", text);
        EXPECT_CHILD_PASSED(RunInChild([] { return true; }, [&] { OkMustFailAndTell(dir.Path(), "大きすぎます"); }));
        EXPECT_TRUE(ReadText(dir.Path() / "vyla.ini") == text) << room << " bytes of room";
    }
}

}  // namespace
