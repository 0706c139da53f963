#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <optional>
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

// What the system's reader finds for a key: each row one rule, the value
// read from [options] (or the section and key given).
struct ReadCase {
    const char* what;
    std::string text;
    std::optional<std::string> expected;
    const char* section = "options";
    const char* key = "color";
};

TEST(IniFindValue, FollowsTheSystemsRules)
{
    using std::nullopt;
    const ReadCase cases[] = {
        // Names: ASCII case, blanks around them, NUL ending them.
        {"case", "[Options]\nCOLOR=1\n", "1", " OPTIONS ", "\tColor "},
        {"no folding outside ASCII", "[\xC4]\nk=1\n", nullopt, "\xE4", "k"},
        {"blanks the system trims", "\v[\f options\x1a]\t\r\n \x1a\vcolor\f \t=\v\x1a 12 \f\t\n", "12"},
        {"other control bytes are part of the name", "[options]\n\x1c" "color=1\n", nullopt},
        {"no-break space is part of the value", "[options]\ncolor=\xA0" "1\n", "\xA0" "1"},
        {"inner blanks stay", "[options]\ncolor = a b \n", "a b"},
        {"value holding '='", "[options]\ncolor=a=b\n", "a=b"},
        {"NUL ends a key", "[options]\ncolor\0x=1\n"s, "1"},
        {"NUL ends a value", "[options]\ncolor=4\0 2\n"s, "4"},
        {"NUL ends a section name", "[opt\0ions]\ncolor=1\n"s, "1", "opt"},
        {"NUL before a key", "[options]\n\0color=1\n"s, nullopt},
        // Line ends.
        {"CRLF", "[options]\r\ncolor=1\r\n", "1"},
        {"CR alone", "[options]\rspeed=2\rcolor=1\r", "1"},
        {"mixed", "[options]\r\nspeed=2\rgirls=1\ncolor=1\n\r", "1"},
        {"CR inside a value ends its line", "[options]\ncolor=1\r2\n", "1"},
        {"CR inside a key ends its line", "[options]\ncol\ror=1\n", nullopt},
        {"last line unterminated", "[options]\ncolor=1", "1"},
        // Sections and repeated keys: the first of each counts.
        {"first line of a key", "[options]\ncolor=1\ncolor=2\n", "1"},
        {"only the first section of the name", "[options]\nspeed=1\n[other]\ncolor=7\n[OPTIONS]\ncolor=4\n", nullopt},
        {"first section wins", "[options]\ncolor=0\n[options]\ncolor=1\n", "0"},
        {"a later section of another name", "[other]\ncolor=7\n[options]\ncolor=4\n", "4"},
        {"text before the first header", "color=9\n[options]\n", nullopt},
        {"empty section name", "[]\ncolor=1\n", "1", ""},
        // Lines without '=' are keys, present and empty.
        {"key without '='", "[options]\n  COLOR  \ncolor=1\n", ""},
        {"comment-like key", "[options]\ncolor ; none\n;color=2\n#color=3\ncolor=1\n", "1"},
        {"key without a name", "[options]\n=5\ncolor=1\n", "1"},
        {"empty value", "[options]\ncolor=\ncolor=1\n", ""},
        // Headers: a '[' line with a ']', its name up to the last ']'.
        {"text after the header", "[options] ; ours\ncolor=1\n", "1"},
        {"blanks inside the brackets", " [ options ] \ncolor=1\n", "1"},
        {"name up to the last ']'", "[options]x]\ncolor=1\n", nullopt},
        {"name holding ']'", "[options]x]\ncolor=1\n", "1", "options]x"},
        {"'[' without ']' is a key", "[options]\n[broken\ncolor=1\n", "1"},
        {"... readable as one", "[options]\n[broken=5\n", "5", "options", "[broken"},
        {"header not at the start", "x[options]\ncolor=1\n", nullopt},
        // Quotes: one matching pair goes.
        {"double quotes", "[options]\ncolor=\"x y\"\n", "x y"},
        {"single quotes", "[options]\ncolor='x'\n", "x"},
        {"unmatched", "[options]\ncolor=\"x'\n", "\"x'"},
        {"lone quote", "[options]\ncolor=\"\n", "\""},
        {"one pair only", "[options]\ncolor=\"\"\"\"\n", "\"\""},
        {"blanks inside kept", "[options]\ncolor= \" x \" \n", " x "},
        {"quote at the end only", "[options]\ncolor=x\"\n", "x\""},
        // Absent.
        {"empty text", "", nullopt},
        {"other key", "[options]\nspeed=1\n", nullopt},
        {"other section", "[other]\ncolor=1\n", nullopt},
        {"empty key asked", "[options]\n=1\n", nullopt, "options", " "},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(FindValue(c.text, c.section, c.key), c.expected) << c.what;
    }
}

// ------------------------------------------------------------ integers

TEST(IniParseInt, ReadsLikeTheSystemIntegerReader)
{
    struct Case {
        std::string text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"+42", 42},
        {"-42", -42},
        {" \t\x01\x1f 7", 7},  // control characters and spaces before the number
        {"\x7f" "7", 0},
        {"12abc", 12},
        {"1.5", 1},
        {"1e3", 1},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+-3", 0},
        {"- 3", 0},
        {"08", 8},
        // Base prefixes, lower case only, after the sign.
        {"0x1F", 31},
        {"0x1f", 31},
        {"0X1F", 0},
        {"0o17", 15},
        {"0O17", 0},
        {"0b101", 5},
        {"0B101", 0},
        {"-0x10", -16},
        {"0x", 0},
        {"0xZ", 0},
        {"0b2", 0},
        {"0o8", 0},
        {"00x10", 0},
        {"0x-5", 0},
        // Modulo 2^32.
        {"2147483647", 2147483647},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"-2147483649", 2147483647},
        {"4294967295", -1},
        {"4294967296", 0},
        {"4294967297", 1},
        {"0xFFFFFFFF", -1},
        {"0x100000001", 1},
        {"99999999999999999999", 1661992959},
        {"-99999999999999999999", -1661992959},
        // Only the first 29 characters are read.
        {std::string(27, '0') + "12", 12},
        {std::string(28, '0') + "12", 1},
        {"-" + std::string(27, '0') + "5", -5},
        {"-" + std::string(28, '0') + "5", 0},
        {"0x" + std::string(26, '0') + "F", 15},
        {"0x" + std::string(27, '0') + "F", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseInt(c.text), c.expected) << '"' << c.text << '"';
    }
}

// ------------------------------------------------------------- writing

// Where a write lands: each row a text before and after one key is set, and
// the value must then be what FindValue reads.
TEST(IniWithValue, PutsTheKeyWhereTheSystemsReaderFindsIt)
{
    struct Case {
        const char* what;
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"the first line of the key", "[options]\ncolor=1\ncolor=2\n", "[options]\ncolor=5\ncolor=2\n"},
        {"untidy line, ending kept", "[options]\r\n  COLOR = 3  \r\nx=1\r\n", "[options]\r\ncolor=5\r\nx=1\r\n"},
        {"a line without '='", "[options]\nx=1\n Color \ncolor=1\n", "[options]\nx=1\ncolor=5\ncolor=1\n"},
        {"the first section only", "[options]\nx=1\n\n[OPTIONS]\ncolor=1\n",
         "[options]\nx=1\ncolor=5\n\n[OPTIONS]\ncolor=1\n"},
        {"a decorated header", " [ Options ] ; ours\ncolor=1\n", " [ Options ] ; ours\ncolor=5\n"},
        {"after the last filled line", "[options]\nx=1\n\n\n[b]\n", "[options]\nx=1\ncolor=5\n\n\n[b]\n"},
        {"in an empty section", "[options]\n\n", "[options]\ncolor=5\n\n"},
        // Line ends: CR alone, mixed (the first one is used), unterminated.
        {"CR alone, replaced", "[options]\rcolor=1\rspeed=2\r", "[options]\rcolor=5\rspeed=2\r"},
        {"CR alone, added", "[options]\rx=1\r[b]\r", "[options]\rx=1\rcolor=5\r[b]\r"},
        {"mixed", "[options]\r\nx=1\n", "[options]\r\nx=1\ncolor=5\r\n"},
        {"last line unterminated", "[options]\nx=1", "[options]\nx=1\ncolor=5\n"},
        {"last line unterminated, CR", "[options]\rx=1", "[options]\rx=1\rcolor=5\r"},
        {"a lone CR at the end ends the line", "[options]\nx=1\r", "[options]\nx=1\rcolor=5\n"},
        {"replaced before a lone CR", "[options]\ncolor=1\r", "[options]\ncolor=5\r"},
        // A missing section is appended.
        {"empty text", "", "[options]\ncolor=5\n"},
        {"other section", "[x]\r\nk=v\r\n", "[x]\r\nk=v\r\n[options]\r\ncolor=5\r\n"},
        {"other section, CR", "[x]\r", "[x]\r[options]\rcolor=5\r"},
        {"other section, unterminated", "[x]\nk=v", "[x]\nk=v\n[options]\ncolor=5\n"},
        {"not a header", "[options\n", "[options\n[options]\ncolor=5\n"},
    };
    for (const Case& c : cases) {
        const std::string updated = WithValue(c.before, "options", "color", "5");
        EXPECT_EQ(updated, c.after) << c.what;
        EXPECT_EQ(FindValue(updated, "options", "color"), "5") << c.what;
    }
}

TEST(IniWithValue, ValuesReadBackExactly)
{
    const std::vector<std::string> values = {"", "0", "-17", " x", "x\t", "\vx\x1a", "\"q\"", "'q'", "\"", "'x\"",
                                             "a\xA0"};
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
        {"options", "", "1"},      {"options", " \t\v", "1"},  {"opt]ions", "color", "1"},
        {"options", "co=lor", "1"}, {"options", "[color", "1"}, {"options", "color", "1\n2"},
        {"options", "color", "1\r"}, {"opt\nions", "color", "1"}, {"options", "col\ror", "1"},
        {"options", "color", "1\0"s}, {"options", "co\0lor"s, "1"}, {"opt\0ions"s, "color", "1"},
    };
    const std::string text = "[options]\r\ncolor=1\r\n";
    for (const auto& entry : refused) {
        EXPECT_FALSE(CanWrite(entry[0], entry[1], entry[2])) << entry[0] << '/' << entry[1] << '/' << entry[2];
        EXPECT_EQ(WithValue(text, entry[0], entry[1], entry[2]), text);
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
