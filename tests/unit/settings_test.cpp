// The configuration dialog on the headless backend, with the test acting as
// the user: what it shows from the settings file and what OK, Cancel, Esc
// and the title bar write.
#include <gtest/gtest.h>

#include <string>

#include "support/headless_system.h"
#include "settings/decimal.h"

using vyla::portable::DialogSession;
using vyla::testing::HeadlessSystem;
using vyla::testing::ReadText;
using vyla::testing::WriteText;

namespace {

struct Shown {
    bool crimson, white, slow, normal, fast, girls;
    std::string interval;
};

// Opens the dialog with the given file content (none: no file), records what
// it shows, lets act() play the user, and returns what was shown.
template <class Act>
Shown RunDialog(HeadlessSystem& sys, const char* fileText, Act act)
{
    if (fileText)
        WriteText(sys.SettingsFile(), fileText);
    Shown shown{};
    sys.host.SetDialogScript([&](DialogSession& d) {
        shown = Shown{d.IsChecked(111), d.IsChecked(112), d.IsChecked(121), d.IsChecked(122),
                      d.IsChecked(123), d.IsChecked(101), d.Text(102)};
        act(d);
    });
    EXPECT_EQ(sys.Run("/c"), 0);
    return shown;
}

const char* kAllZero = "[options]\ncolor=0\nspeed=0\ngirls=0\ninterval=0\n";

}  // namespace

TEST(ConfigDialog, WithoutAFileShowsTheDefaultsAndOkWritesAllFourKeys)
{
    HeadlessSystem sys;
    Shown s = RunDialog(sys, nullptr, [](DialogSession& d) { d.Click(IDOK); });
    EXPECT_TRUE(s.crimson);
    EXPECT_FALSE(s.white);
    EXPECT_TRUE(s.slow);
    EXPECT_FALSE(s.normal || s.fast || s.girls);
    EXPECT_EQ(s.interval, "0");
    EXPECT_EQ(ReadText(sys.SettingsFile()), kAllZero);
}

TEST(ConfigDialog, ShowsStoredChoices)
{
    HeadlessSystem sys;
    Shown s = RunDialog(sys, "[options]\ncolor=1\nspeed=2\ngirls=1\ninterval=-5\n", [](DialogSession& d) { d.PressEscape(); });
    EXPECT_TRUE(s.white);
    EXPECT_FALSE(s.crimson);
    EXPECT_TRUE(s.fast);
    EXPECT_FALSE(s.slow || s.normal);
    EXPECT_TRUE(s.girls);
    EXPECT_EQ(s.interval, "-5");
}

TEST(ConfigDialog, ValuesOutsideAGroupCheckNothingAndOkWritesZero)
{
    for (const char* text : {"[options]\ncolor=7\nspeed=5\n", "[options]\ncolor=-1\nspeed=-1\n",
                             "[options]\ncolor=2147483647\nspeed=-2147483648\n"}) {
        HeadlessSystem sys;
        Shown s = RunDialog(sys, text, [](DialogSession& d) { d.PressReturn(); });
        EXPECT_FALSE(s.crimson || s.white) << text;
        EXPECT_FALSE(s.slow || s.normal || s.fast) << text;
        EXPECT_EQ(ReadText(sys.SettingsFile()), kAllZero) << text;
    }
}

TEST(ConfigDialog, AnyNonZeroGirlsValueShowsTheBoxCheckedAndOkWritesOne)
{
    HeadlessSystem sys;
    Shown s = RunDialog(sys, "[options]\ngirls=5\n", [](DialogSession& d) { d.Click(IDOK); });
    EXPECT_TRUE(s.girls);
    EXPECT_NE(ReadText(sys.SettingsFile()).find("girls=1\n"), std::string::npos);
}

TEST(ConfigDialog, TheUsersChoicesAreWrittenInOrder)
{
    HeadlessSystem sys;
    RunDialog(sys, nullptr, [](DialogSession& d) {
        d.Click(112);
        d.Click(122);
        d.Click(123);  // the same group: only the last stays checked
        EXPECT_FALSE(d.IsChecked(122));
        EXPECT_FALSE(d.IsChecked(111));
        d.Click(101);
        d.SetText(102, "5");
        d.PressReturn();
    });
    EXPECT_EQ(ReadText(sys.SettingsFile()), "[options]\ncolor=1\nspeed=2\ngirls=1\ninterval=5\n");
}

TEST(ConfigDialog, ClickingAGroupBoxOrACheckedRadioChangesNothing)
{
    HeadlessSystem sys;
    RunDialog(sys, nullptr, [](DialogSession& d) {
        d.Click(110);
        d.Click(111);
        EXPECT_TRUE(d.IsChecked(111));
        d.Click(101);
        d.Click(101);
        EXPECT_FALSE(d.IsChecked(101));
        d.PressEscape();
    });
}

TEST(ConfigDialog, IntervalTextConversion)
{
    struct Case {
        const char* typed;
        const char* written;
    } cases[] = {
        {"12abc", "12"}, {"abc", "0"}, {"  42", "42"}, {"", "0"}, {"+7", "7"}, {"-0", "0"}, {"-5", "-5"},
        {"\t9", "9"}, {"1 2", "1"}, {"2147483647", "2147483647"}, {"2147483648", "2147483647"},
        {"-2147483648", "-2147483648"}, {"99999999999", "2147483647"}, {"-99999999999", "-2147483648"},
        // Only the first 15 characters are read.
        {"000000000000000123", "0"}, {"12345678901234567", "2147483647"},
    };
    for (const auto& c : cases) {
        HeadlessSystem sys;
        RunDialog(sys, nullptr, [&](DialogSession& d) {
            d.SetText(102, c.typed);
            d.Click(IDOK);
        });
        EXPECT_NE(ReadText(sys.SettingsFile()).find(std::string("interval=") + c.written + "\n"), std::string::npos)
            << '"' << c.typed << '"';
    }
}

TEST(ConfigDialog, CancelEscAndTheTitleBarWriteNothing)
{
    const char* original = "; my settings\r\n[other]\r\nx=1\r\n[options]\r\ncolor=1\r\nspeed=1\r\n";
    using Action = void (*)(DialogSession&);
    for (Action leave : {+[](DialogSession& d) { d.Click(IDCANCEL); }, +[](DialogSession& d) { d.PressEscape(); },
                         +[](DialogSession& d) { d.CloseFromTitleBar(); }}) {
        HeadlessSystem sys;
        RunDialog(sys, original, [&](DialogSession& d) {
            d.Click(111);
            d.Click(123);
            d.Click(101);
            d.SetText(102, "30");
            leave(d);
        });
        EXPECT_EQ(ReadText(sys.SettingsFile()), original);
    }
    HeadlessSystem none;
    RunDialog(none, nullptr, [](DialogSession& d) { d.PressEscape(); });
    EXPECT_FALSE(std::filesystem::exists(none.SettingsFile())) << "no file appears when nothing is confirmed";
}

TEST(ConfigDialog, OkKeepsEveryOtherByteOfTheFile)
{
    HeadlessSystem sys;
    RunDialog(sys, "; my settings\r\n[other]\r\ncolor=9\r\n[Options]\r\nColor = 1\r\nextra=yes\r\n",
              [](DialogSession& d) { d.Click(IDOK); });
    EXPECT_EQ(ReadText(sys.SettingsFile()),
              "; my settings\r\n[other]\r\ncolor=9\r\n[Options]\r\ncolor=1\r\nextra=yes\r\nspeed=0\r\ngirls=0\r\ninterval=0\r\n");
}

TEST(Decimal, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(DecimalToLong(nullptr), 0);
    EXPECT_EQ(DecimalToLong("-"), 0);
    EXPECT_EQ(DecimalToLong(" \n\v\f\r+15x"), 15);
    EXPECT_EQ(DecimalToLong("123456789012345678901234567890"), 2147483647);
    EXPECT_EQ(DecimalToLong("-2147483649"), -2147483647 - 1);
}

TEST(ConfigDialogBadFiles, BinaryBytesAreReadByTheRulesAndKept)
{
    HeadlessSystem sys;
    std::string garbage("\x00\xff\xfe[\x01\x02\r\n", 8);
    garbage += "[options]\ncolor=1\n";
    garbage += std::string("\x00\x00zz\xc3\x28\n", 7);
    WriteText(sys.SettingsFile(), garbage);
    Shown s = RunDialog(sys, nullptr, [](DialogSession& d) { d.Click(IDOK); });
    EXPECT_TRUE(s.white);
    std::string after = ReadText(sys.SettingsFile());
    EXPECT_EQ(after.substr(0, 8), garbage.substr(0, 8));
    EXPECT_NE(after.find(std::string("\x00\x00zz\xc3\x28\n", 7)), std::string::npos);
    EXPECT_NE(after.find("interval=0"), std::string::npos);
}

TEST(ConfigDialogBadFiles, AFileTooLargeToBeSettingsIsNeitherReadNorReplaced)
{
    HeadlessSystem sys;
    std::string big = "[options]\ncolor=1\n" + std::string(17 * 1024 * 1024, 'x');
    WriteText(sys.SettingsFile(), big);
    Shown s = RunDialog(sys, nullptr, [](DialogSession& d) {
        d.Click(112);
        d.Click(IDOK);
    });
    EXPECT_TRUE(s.crimson) << "an unreadable file gives the defaults";
    EXPECT_EQ(std::filesystem::file_size(sys.SettingsFile()), big.size());
    EXPECT_EQ(ReadText(sys.SettingsFile()).substr(0, 18), "[options]\ncolor=1\n");
}

TEST(ConfigDialogBadFiles, ADirectoryInThePlaceOfTheFile)
{
    HeadlessSystem sys;
    std::filesystem::create_directory(sys.SettingsFile());
    Shown s = RunDialog(sys, nullptr, [](DialogSession& d) { d.PressReturn(); });
    EXPECT_TRUE(s.crimson && s.slow);
    EXPECT_TRUE(std::filesystem::is_directory(sys.SettingsFile()));
}
