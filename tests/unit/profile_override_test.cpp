// Settings given for one run (the Linux program's options) are what the
// program reads, whatever the file holds, and nothing of them is written.
#include <gtest/gtest.h>

#include "support/headless_system.h"

using vyla::testing::HeadlessSystem;
using vyla::testing::ReadText;
using vyla::testing::WriteText;

TEST(ProfileOverride, ReadsWinOverTheFileAndOnlyForTheirOwnKey)
{
    HeadlessSystem sys;
    WriteText(sys.SettingsFile(), "[options]\ncolor=0\nspeed=2\n");
    sys.runtime.profileOverrides.push_back({"vyla.ini", "options", "color", "1"});
    // Names compare without regard to case, as the system's reader does.
    sys.runtime.profileOverrides.push_back({"VYLA.INI", "Options", "Interval", "7"});
    EXPECT_EQ(GetPrivateProfileIntA("options", "color", 0, "vyla.ini"), 1u);
    EXPECT_EQ(GetPrivateProfileIntA("options", "interval", 0, "vyla.ini"), 7u);
    EXPECT_EQ(GetPrivateProfileIntA("options", "speed", 0, "vyla.ini"), 2u) << "a key without override reads the file";
    EXPECT_EQ(GetPrivateProfileIntA("other", "color", 5, "vyla.ini"), 5u) << "another section is not overridden";
    EXPECT_EQ(GetPrivateProfileIntA("options", "color", 5, "other.ini"), 5u) << "another file is not overridden";
}

TEST(ProfileOverride, TheLastOneForAKeyWinsAndNothingIsWritten)
{
    HeadlessSystem sys;
    sys.runtime.profileOverrides.push_back({"vyla.ini", "options", "speed", "1"});
    sys.runtime.profileOverrides.push_back({"vyla.ini", "options", "speed", "2"});
    EXPECT_EQ(GetPrivateProfileIntA("options", "speed", 0, "vyla.ini"), 2u);
    EXPECT_FALSE(std::filesystem::exists(sys.SettingsFile()));
}

TEST(ProfileOverride, TheSceneRunsWithTheOverriddenSettings)
{
    // A white scene from an override is the white scene from the file, and
    // the file the override stood in for stays as it was.
    auto screenAfterFirstFrame = [](HeadlessSystem& sys) {
        vyla::raster::Surface shown;
        int polls = 0;
        sys.host.SetDriver([&](vyla::headless::HeadlessHost& h) {
            h.Advance(1);
            if (++polls == 300) {  // the first flower frame is due after 200 ms
                shown = h.Screen();
                h.Inject(WM_LBUTTONDOWN);
            }
        });
        sys.host.SetPollLimit(100000);
        EXPECT_EQ(sys.Run(""), 0);
        return shown;
    };
    HeadlessSystem fromFile;
    WriteText(fromFile.SettingsFile(), "[options]\ncolor=1\n");
    const auto expected = screenAfterFirstFrame(fromFile);

    HeadlessSystem overridden;
    const std::string original = "[options]\ncolor=0\n";
    WriteText(overridden.SettingsFile(), original);
    overridden.runtime.profileOverrides.push_back({"vyla.ini", "options", "color", "1"});
    const auto shown = screenAfterFirstFrame(overridden);

    HeadlessSystem crimson;
    const auto crimsonShown = screenAfterFirstFrame(crimson);

    auto same = [](const vyla::raster::Surface& a, const vyla::raster::Surface& b) {
        if (a.GetSize() != b.GetSize())
            return false;
        for (int y = 0; y < a.Height(); ++y)
            if (!std::equal(a.Row(y), a.Row(y) + a.Width(), b.Row(y)))
                return false;
        return true;
    };
    ASSERT_FALSE(same(expected, crimsonShown)) << "the colour must show for this test to mean anything";
    EXPECT_TRUE(same(expected, shown));
    EXPECT_EQ(ReadText(overridden.SettingsFile()), original);
}
