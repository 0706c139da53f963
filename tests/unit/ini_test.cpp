#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ini/ini_file.h"
#include "ini/ini_text.h"
#include "ini/posix_file_system.h"
#include "support/temp_dir.h"
#include "support/text_files.h"

namespace vyla::ini {
namespace {

namespace fs = std::filesystem;
using std::string_literals::operator""s;
using testing::ReadText;
using testing::WriteText;

// ---------------------------------------------------------------- reading

TEST(IniFindValue, MatchesNamesIgnoringAsciiCase)
{
    const std::string text = "[Options]\nColor=1\n";
    EXPECT_EQ(FindValue(text, "options", "color"), "1");
    EXPECT_EQ(FindValue(text, "OPTIONS", "COLOR"), "1");
    EXPECT_EQ(FindValue("[\xC4]\nk=1\n", "\xE4", "k"), std::nullopt);  // no case folding outside ASCII
}

TEST(IniFindValue, FirstDuplicateWinsAndSameNamedSectionsMerge)
{
    const std::string text =
        "[options]\nspeed=1\nspeed=2\n"
        "[other]\ncolor=7\n"
        "[OPTIONS]\nspeed=3\ncolor=4\n";
    EXPECT_EQ(FindValue(text, "options", "speed"), "1");
    EXPECT_EQ(FindValue(text, "options", "color"), "4");  // only the later section has it
    EXPECT_EQ(FindValue(text, "other", "color"), "7");
}

TEST(IniFindValue, IgnoresSpacesAndTabsAroundNamesAndValues)
{
    EXPECT_EQ(FindValue(" \t[ options\t]\n \tcolor \t= \t 12 \t\n", "options", "color"), "12");
    EXPECT_EQ(FindValue("[options]\ncolor=a b\n", " options ", "\tcolor "), "a b");
    EXPECT_EQ(FindValue("[options]\ncolor=\n", "options", "color"), "");
    EXPECT_EQ(FindValue("[options]\ncolor=a=b\n", "options", "color"), "a=b");
}

TEST(IniFindValue, AcceptsEveryLineEnding)
{
    EXPECT_EQ(FindValue("[options]\r\ncolor=1\r\nspeed=2\r\n", "options", "speed"), "2");
    EXPECT_EQ(FindValue("[options]\r\ncolor=1\r\n", "options", "color"), "1");
    EXPECT_EQ(FindValue("[options]\ncolor=1", "options", "color"), "1");
    EXPECT_EQ(FindValue("[options]\ncolor=1\r", "options", "color"), "1");
    // A CR in the middle of the text does not end a line.
    EXPECT_EQ(FindValue("[options]\ncolor=1\rspeed=2\n", "options", "color"), "1\rspeed=2");
    EXPECT_EQ(FindValue("[options]\ncolor=1\rspeed=2\n", "options", "speed"), std::nullopt);
}

TEST(IniFindValue, RemovesOneMatchingPairOfQuotes)
{
    const std::string text =
        "[q]\na=\"x y\"\nb='x'\nc=\"x'\nd=\"\ne=\"\"\"\"\nf= \" x \" \ng=x\"\n";
    EXPECT_EQ(FindValue(text, "q", "a"), "x y");
    EXPECT_EQ(FindValue(text, "q", "b"), "x");
    EXPECT_EQ(FindValue(text, "q", "c"), "\"x'");
    EXPECT_EQ(FindValue(text, "q", "d"), "\"");
    EXPECT_EQ(FindValue(text, "q", "e"), "\"\"");
    EXPECT_EQ(FindValue(text, "q", "f"), " x ");
    EXPECT_EQ(FindValue(text, "q", "g"), "x\"");
}

TEST(IniFindValue, RecognisesHeadersOnlyWithBothBrackets)
{
    EXPECT_EQ(FindValue("[options] trailing ; text\ncolor=1\n", "options", "color"), "1");
    // "[broken" is no header, so its line and the next belong to [options].
    EXPECT_EQ(FindValue("[options]\n[broken\ncolor=1\n", "options", "color"), "1");
    EXPECT_EQ(FindValue("[options]\n[broken=5\n", "options", "[broken"), "5");
    EXPECT_EQ(FindValue("x[options]\ncolor=1\n", "options", "color"), std::nullopt);
    EXPECT_EQ(FindValue("[]\ncolor=1\n", "", "color"), "1");
}

TEST(IniFindValue, IgnoresTextOutsideSectionsAndLinesWithoutEquals)
{
    const std::string text = "color=9\n; comment\n[options]\njunk line\n=3\ncolor\ncolor=1\n";
    EXPECT_EQ(FindValue(text, "options", "color"), "1");
    EXPECT_EQ(FindValue(text, "", "color"), std::nullopt);
    EXPECT_EQ(FindValue(text, "options", ""), std::nullopt);
}

TEST(IniFindValue, AbsentCasesGiveNothing)
{
    EXPECT_EQ(FindValue("", "options", "color"), std::nullopt);
    EXPECT_EQ(FindValue("[options]\nspeed=1\n", "options", "color"), std::nullopt);
    EXPECT_EQ(FindValue("[other]\ncolor=1\n", "options", "color"), std::nullopt);
    EXPECT_EQ(FindValue("[options]\n[other]\ncolor=1\n", "options", "color"), std::nullopt);
}

TEST(IniFindValue, TreatsNulAsAnOrdinaryByte)
{
    const std::string text = "\0\0[x]\n\0=1\n[options]\ncolor=4\0 2\nspeed=3\n"s;
    EXPECT_EQ(FindValue(text, "options", "color"), "4\0 2"s);
    EXPECT_EQ(FindValue(text, "options", "speed"), "3");
}

// ------------------------------------------------------------ integers

TEST(IniParseInt, ReadsLikeTheSystemIntegerReader)
{
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"+42", 42},
        {"-42", -42},
        {" \t 7", 7},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+-3", 0},
        {"- 3", 0},
        {"2147483647", 2147483647},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"-2147483649", 2147483647},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"99999999999999999999", 1661992959},
        {"-99999999999999999999", -1661992959},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseInt(c.text), c.expected) << '"' << c.text << '"';
    }
}

// ------------------------------------------------------------- writing

// The text with its only differing region located: the parts of before and
// after between their common prefix and common suffix.
struct Difference {
    std::string removed;
    std::string added;
};

Difference Diff(const std::string& before, const std::string& after)
{
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix + prefix < before.size() && suffix + prefix < after.size() &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    return {before.substr(prefix, before.size() - prefix - suffix), after.substr(prefix, after.size() - prefix - suffix)};
}

const std::string kRichFile =
    "; written by hand\r\n"
    "stray=1\r\n"
    "[display]\r\n"
    "color=9\r\n"
    "\r\n"
    "[ Options ] ; ours\r\n"
    "  COLOR = 3   \r\n"
    "something without equals\r\n"
    "speed=1\r\n"
    "color=8\r\n"
    "\r\n"
    "[options]\r\n"
    "girls=1\r\n";

TEST(IniWithValue, ReplacesOnlyTheFirstMatchingLine)
{
    const std::string updated = WithValue(kRichFile, "options", "color", "5");
    const Difference diff = Diff(kRichFile, updated);
    EXPECT_EQ(diff.removed, "  COLOR = 3   ");
    EXPECT_EQ(diff.added, "color=5");
    EXPECT_EQ(FindValue(updated, "options", "color"), "5");
    EXPECT_EQ(FindValue(updated, "display", "color"), "9");
}

TEST(IniWithValue, InsertsAfterTheLastFilledLineOfTheFirstSection)
{
    // [options] lacks "interval": it goes after "color=8", before the blank line.
    const std::string updated = WithValue(kRichFile, "OPTIONS", "interval", "30");
    const std::size_t at = kRichFile.find("color=8\r\n") + 9;
    EXPECT_EQ(updated, kRichFile.substr(0, at) + "interval=30\r\n" + kRichFile.substr(at));

    // The key living only in a later section of the name is shadowed, not edited.
    const std::string girls = WithValue(kRichFile, "options", "girls", "0");
    EXPECT_EQ(FindValue(girls, "options", "girls"), "0");
    EXPECT_NE(girls.find("girls=1\r\n"), std::string::npos);

    EXPECT_EQ(WithValue("[a]\nx=1\n\n\n[b]\n", "a", "y", "2"), "[a]\nx=1\ny=2\n\n\n[b]\n");
    EXPECT_EQ(WithValue("[a]\n\n", "a", "y", "2"), "[a]\ny=2\n\n");
}

TEST(IniWithValue, CompletesAnUnfinishedLastLineBeforeAdding)
{
    EXPECT_EQ(WithValue("[a]\nx=1", "a", "y", "2"), "[a]\nx=1\ny=2\n");
    EXPECT_EQ(WithValue("[a]\r\nx=1", "a", "y", "2"), "[a]\r\nx=1\r\ny=2\r\n");
    // A trailing lone CR ends the line only at the end; an LF makes it CRLF.
    EXPECT_EQ(WithValue("[a]\nx=1\r", "a", "y", "2"), "[a]\nx=1\r\ny=2\n");
    EXPECT_EQ(WithValue("[b]\nx=1\r", "a", "y", "2"), "[b]\nx=1\r\n[a]\ny=2\n");
    EXPECT_EQ(WithValue("[b]\nx=1", "a", "y", "2"), "[b]\nx=1\n[a]\ny=2\n");
    EXPECT_EQ(WithValue("[a]\nx=1\r", "a", "x", "2"), "[a]\nx=2\r");
}

TEST(IniWithValue, AppendsAMissingSectionInTheTextsLineEnding)
{
    EXPECT_EQ(WithValue("", "options", "color", "1"), "[options]\ncolor=1\n");
    EXPECT_EQ(WithValue("[x]\r\n", "options", "color", "1"), "[x]\r\n[options]\r\ncolor=1\r\n");
    EXPECT_EQ(WithValue("[x]\nk=v\r\n", "options", "color", "1"), "[x]\nk=v\r\n[options]\ncolor=1\n");
    // A text with headers that are not headers still gets a real one.
    EXPECT_EQ(WithValue("[options\n", "options", "color", "1"), "[options\n[options]\ncolor=1\n");
}

TEST(IniWithValue, ValuesReadBackExactly)
{
    const std::vector<std::string> values = {"", "0", "-17", " x", "x\t", "\"q\"", "'q'", "\"", "'x\"", "a\0b"s};
    for (const std::string& value : values) {
        const std::string text = WithValue("[o]\nk=old\n", "o", "k", value);
        EXPECT_EQ(FindValue(text, "o", "k"), value) << text;
    }
    EXPECT_EQ(WithValue("", "o", "k", " x"), "[o]\nk=\" x\"\n");
}

TEST(IniWithValue, RefusesEntriesThatCouldNotBeReadBack)
{
    EXPECT_TRUE(CanWrite("options", " color ", "1"));
    EXPECT_TRUE(CanWrite("", "k", ""));
    const std::vector<std::vector<std::string>> refused = {
        {"options", "", "1"},     {"options", " \t", "1"},  {"opt]ions", "color", "1"},
        {"options", "co=lor", "1"}, {"options", "[color", "1"}, {"options", "color", "1\n2"},
        {"options", "color", "1\r"}, {"opt\nions", "color", "1"}, {"options", "col\ror", "1"},
    };
    for (const auto& entry : refused) {
        EXPECT_FALSE(CanWrite(entry[0], entry[1], entry[2])) << entry[0] << '/' << entry[1] << '/' << entry[2];
        EXPECT_EQ(WithValue(kRichFile, entry[0], entry[1], entry[2]), kRichFile);
    }
}

// --------------------------------------------------------------- files

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir_.empty()); }

    // One key saved the way the dialog saves its four; false when nothing was written.
    bool Save(const fs::path& path, std::string_view section, const std::string& key, const std::string& value)
    {
        return SaveValues(files_, path, section, {{key, value}}).Error == TProfileError::None;
    }

    std::optional<std::string> Read(const fs::path& path, std::string_view section, std::string_view key)
    {
        return ReadValue(files_, path, section, key);
    }

    // Everything in the directory, to catch a temporary file left behind.
    std::vector<std::string> Listing(const fs::path& directory) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    testing::TempDir temp_;
    const fs::path dir_ = temp_.Path();
    PosixFileSystem files_;
};

TEST_F(IniFileTest, ReadFileReportsWhatItFound)
{
    WriteText(dir_ / "a.ini", "[o]\nk=1\n");
    const ReadResult ok = files_.ReadWholeFile(dir_ / "a.ini");
    EXPECT_EQ(ok.status, ReadStatus::Ok);
    EXPECT_EQ(ok.bytes, "[o]\nk=1\n");
    EXPECT_EQ(files_.ReadWholeFile(dir_ / "none.ini").status, ReadStatus::Missing);
    EXPECT_EQ(files_.ReadWholeFile(dir_ / "a.ini" / "below").status, ReadStatus::Missing);
    EXPECT_EQ(files_.ReadWholeFile(dir_).status, ReadStatus::Unreadable);
    EXPECT_EQ(files_.ReadWholeFile("").status, ReadStatus::Missing);
    ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(files_.ReadWholeFile(dir_ / "pipe").status, ReadStatus::Unreadable);  // and does not block
}

TEST_F(IniFileTest, ReadValueAndSaveValuesRoundTrip)
{
    const fs::path path = dir_ / "new" / "deeper" / "vyla.ini";
    EXPECT_EQ(Read(path, "options", "color"), std::nullopt);
    for (const char* key : {"color", "speed", "girls", "interval"}) {
        EXPECT_TRUE(Save(path, "options", key, "1"));
    }
    EXPECT_TRUE(Save(path, "options", "speed", "-2"));
    EXPECT_EQ(ReadText(path), "[options]\ncolor=1\nspeed=-2\ngirls=1\ninterval=1\n");
    EXPECT_EQ(Read(path, "Options", "SPEED"), "-2");
    EXPECT_FALSE(Save(path, "options", "", "1"));
    EXPECT_EQ(Listing(path.parent_path()), std::vector<std::string>{"vyla.ini"});
}

TEST_F(IniFileTest, NeverReplacesAFileItCannotRead)
{
    const fs::path huge = dir_ / "huge.ini";
    WriteText(huge, "[options]\ncolor=1\n");
    fs::resize_file(huge, kMaxFileBytes + 1);
    struct stat before {};
    ASSERT_EQ(::stat(huge.c_str(), &before), 0);
    EXPECT_EQ(files_.ReadWholeFile(huge).status, ReadStatus::TooLarge);
    EXPECT_EQ(Read(huge, "options", "color"), std::nullopt);
    EXPECT_FALSE(Save(huge, "options", "color", "2"));
    struct stat after {};
    ASSERT_EQ(::stat(huge.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(ReadText(huge).substr(0, 18), "[options]\ncolor=1\n");

    const fs::path exactly = dir_ / "limit.ini";
    WriteText(exactly, "");
    fs::resize_file(exactly, kMaxFileBytes);
    EXPECT_EQ(files_.ReadWholeFile(exactly).status, ReadStatus::Ok);
    EXPECT_FALSE(Save(exactly, "options", "color", "2"));  // the result would be too large
}

TEST_F(IniFileTest, FailedWritesLeaveEverythingAsItWas)
{
    // The target is a directory.
    fs::create_directory(dir_ / "vyla.ini");
    EXPECT_EQ(SaveValues(files_, dir_ / "vyla.ini", "options", {{"color", "1"}}).Error, TProfileError::NotAFile);
    EXPECT_FALSE(Save(dir_ / "vyla.ini", "options", "color", "1"));
    EXPECT_TRUE(fs::is_directory(dir_ / "vyla.ini"));

    // The parent is a regular file.
    WriteText(dir_ / "file", "keep me\r\n");
    EXPECT_FALSE(Save(dir_ / "file" / "vyla.ini", "options", "color", "1"));
    EXPECT_FALSE(Save(dir_ / "file" / "sub" / "vyla.ini", "options", "color", "1"));
    EXPECT_EQ(ReadText(dir_ / "file"), "keep me\r\n");
    EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"file", "vyla.ini"}));
}

// Runs in a child process: exits 0 when the write was refused as too large.
[[noreturn]] void SaveUnderFileSizeLimit(const fs::path& path, const std::string& value)
{
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8, 8};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    PosixFileSystem files;
    std::_Exit(SaveValues(files, path, "options", {{"color", value}}).Error == TProfileError::TooLarge ? 0 : 1);
}

TEST_F(IniFileTest, AWriteCutShortLeavesNoTrace)
{
    const fs::path path = dir_ / "vyla.ini";
    const std::string old_text = "[options]\ncolor=1\n";
    WriteText(path, old_text);
    // A file-size limit makes the write fail after the temporary file exists.
    EXPECT_EXIT(SaveUnderFileSizeLimit(path, std::string(4096, 'x')), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadText(path), old_text);
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{"vyla.ini"});
}

TEST_F(IniFileTest, PermissionFailuresWhenNotRoot)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root ignores permission bits";
    }
    const fs::path locked = dir_ / "locked";
    fs::create_directory(locked);
    WriteText(locked / "vyla.ini", "[options]\ncolor=1\n");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(Save(locked / "vyla.ini", "options", "color", "2"));
    EXPECT_EQ(ReadText(locked / "vyla.ini"), "[options]\ncolor=1\n");
    EXPECT_EQ(Listing(locked), std::vector<std::string>{"vyla.ini"});
    fs::permissions(locked, fs::perms::owner_all);

    WriteText(dir_ / "secret.ini", "[options]\ncolor=1\n");
    fs::permissions(dir_ / "secret.ini", fs::perms::none);
    EXPECT_EQ(files_.ReadWholeFile(dir_ / "secret.ini").status, ReadStatus::Unreadable);
    EXPECT_FALSE(Save(dir_ / "secret.ini", "options", "color", "2"));

    // A read-only file is judged only when it is about to be replaced: a save
    // that changes nothing succeeds.
    WriteText(dir_ / "mine.ini", "[options]\ncolor=1\n");
    fs::permissions(dir_ / "mine.ini", fs::perms::owner_read);
    EXPECT_TRUE(Save(dir_ / "mine.ini", "options", "color", "1"));
    EXPECT_FALSE(Save(dir_ / "mine.ini", "options", "color", "2"));
    EXPECT_EQ(ReadText(dir_ / "mine.ini"), "[options]\ncolor=1\n");
}

TEST_F(IniFileTest, KeepsPermissionsAndSymlinks)
{
    const fs::path real = dir_ / "real" / "vyla.ini";
    fs::create_directory(dir_ / "real");
    WriteText(real, "[options]\ncolor=1\n");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink("real/vyla.ini", dir_ / "link.ini");
    fs::create_symlink("link.ini", dir_ / "link2.ini");

    EXPECT_TRUE(Save(dir_ / "link2.ini", "options", "color", "2"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.ini"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link2.ini"));
    EXPECT_EQ(ReadText(real), "[options]\ncolor=2\n");
    struct stat info {};
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Listing(dir_ / "real"), std::vector<std::string>{"vyla.ini"});

    // A dangling link gets its target created.
    fs::create_symlink("made/vyla.ini", dir_ / "dangling.ini");
    EXPECT_TRUE(Save(dir_ / "dangling.ini", "options", "speed", "1"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.ini"));
    EXPECT_EQ(ReadText(dir_ / "made" / "vyla.ini"), "[options]\nspeed=1\n");

    fs::create_symlink("loop2", dir_ / "loop1");
    fs::create_symlink("loop1", dir_ / "loop2");
    EXPECT_FALSE(Save(dir_ / "loop1", "options", "speed", "1"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "loop1"));
}

}  // namespace
}  // namespace vyla::ini
