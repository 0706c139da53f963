// Settings files that start with a byte-order mark (UTF-8, UTF-16 LE and BE):
// read as the same settings, written back in their own encoding with every
// other byte kept; and the order of the calls that make a save crash-safe.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/headless_system.h"
#include "ini/ini_document.h"
#include "ini/ini_encoding.h"
#include "ini/ini_file.h"
#include "ini/posix_file_system.h"

namespace vyla::ini {
namespace {

namespace fs = std::filesystem;
using std::string_literals::operator""s;
using testing::ReadText;
using testing::TempDir;
using testing::WriteText;

// UTF-8 text as UTF-16 with its mark, in the given byte order.
std::string Utf16(const std::u16string& text, bool little)
{
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += little ? low : high;
        bytes += little ? high : low;
    }
    return bytes;
}

const std::vector<Entry> kFour = {{"color", "1"}, {"speed", "2"}, {"girls", "1"}, {"interval", "90"}};

TEST(IniEncoding, EveryFileEncodesBackToItsOwnBytes)
{
    const std::vector<std::string> files = {
        ""s, "plain [x]\n"s, "\xEF\xBB\xBF"s, "\xEF\xBB\xBF[options]\r\n\xE6\x97\xA5\n"s, "\xFF\xFE"s, "\xFE\xFF"s,
        // Unpaired surrogates, a unit in each length class, NUL, an odd tail.
        "\xFF\xFE\x00\xD8\x41\x00\x00\xDC\x80\x00\xFF\x07\x00\x08\xFF\xFF\x00\x00\x7F"s,
        "\xFE\xFF\xD8\x00\xDC\x00\x00\x0A\x30\x42\x12"s, "\xFF\xFE\x5B\x00\x0A"s, "\xFF\xFE\x00\x00\x00\x00"s,
    };
    for (const std::string& bytes : files) {
        EXPECT_EQ(Encode(Decode(bytes)), bytes) << ::testing::PrintToString(bytes);
    }
    EXPECT_EQ(Decode("\xFF\xFE\x5B\x00\x0A"s).text, "[");
    EXPECT_EQ(Decode("\xFF\xFE\x5B\x00\x0A"s).trailer, "\x0A");
    EXPECT_EQ(Decode("x\xFF\xFE"s).encoding, Encoding::Bytes) << "a mark counts only at the start";
}

TEST(IniEncoding, NonAsciiUnitsNeverLookLikeSyntax)
{
    // U+5B3D and U+0A5B hold the bytes of '[' and '\n' and '='; they must stay text.
    const std::string file = Utf16(u"[options]\n\u5B3D\u0A5B\u3D0A=9\ncolor=\u3D31\n", true);
    EXPECT_EQ(FindValueInFile(file, "options", "color"), "\xE3\xB4\xB1");
    const auto updated = WithValuesInFile(file, "options", kFour);
    ASSERT_TRUE(updated);
    EXPECT_EQ(*updated, Utf16(u"[options]\n\u5B3D\u0A5B\u3D0A=9\ncolor=1\nspeed=2\ngirls=1\ninterval=90\n", true));
}

TEST(IniEncoding, MarkedFilesReadAsTheSameSettingsAndKeepTheirEncoding)
{
    const std::u16string text = u"; 設定\r\n[options]\r\ncolor=1\r\nspeed=2\r\n[後]\r\nx=y\r\n";
    const std::u16string expected = u"; 設定\r\n[options]\r\ncolor=1\r\nspeed=2\r\ngirls=1\r\ninterval=90\r\n[後]\r\nx=y\r\n";
    for (bool little : {true, false}) {
        const std::string file = Utf16(text, little);
        EXPECT_EQ(FindValueInFile(file, "options", "color"), "1");
        EXPECT_EQ(FindValueInFile(file, "options", "speed"), "2");
        EXPECT_EQ(WithValuesInFile(file, "options", kFour), Utf16(expected, little)) << (little ? "LE" : "BE");
    }
    const std::string utf8 = "\xEF\xBB\xBF[options]\ncolor=1\n; \xE8\xA8\xAD\n"s;
    EXPECT_EQ(FindValueInFile(utf8, "options", "color"), "1");
    EXPECT_EQ(WithValuesInFile(utf8, "options", kFour),
              "\xEF\xBB\xBF[options]\ncolor=1\n; \xE8\xA8\xAD\nspeed=2\ngirls=1\ninterval=90\n"s);
    // A mark-only file gets the section in its encoding.
    EXPECT_EQ(WithValuesInFile("\xFE\xFF"s, "options", kFour),
              Utf16(u"[options]\ncolor=1\nspeed=2\ngirls=1\ninterval=90\n", false));
}

TEST(IniEncoding, OneEntryThatCannotBeStoredStopsThemAll)
{
    std::vector<Entry> entries = kFour;
    entries.push_back({"bad=key", "1"});
    EXPECT_EQ(WithValuesInFile("[options]\n", "options", entries), std::nullopt);
}

// The saver and the dialog see the settings of a UTF-16 file, and OK keeps it UTF-16.
TEST(IniEncoding, TheDialogReadsAndWritesAUtf16File)
{
    testing::HeadlessSystem sys;
    WriteText(sys.SettingsFile(), Utf16(u"[options]\r\ncolor=1\r\nspeed=2\r\ngirls=0\r\ninterval=7\r\n", false));
    bool white = false, fast = false;
    std::string interval;
    sys.host.SetDialogScript([&](portable::DialogSession& d) {
        white = d.IsChecked(112);
        fast = d.IsChecked(123);
        interval = d.Text(102);
        d.Click(101);
        d.PressReturn();
    });
    EXPECT_EQ(sys.Run("/c"), 0);
    EXPECT_TRUE(white && fast);
    EXPECT_EQ(interval, "7");
    EXPECT_EQ(ReadText(sys.SettingsFile()), Utf16(u"[options]\r\ncolor=1\r\nspeed=2\r\ngirls=1\r\ninterval=7\r\n", false));
    EXPECT_TRUE(sys.host.Reports().empty());
}

// ------------------------------------------------------- durability

std::string LinkOf(int fd)
{
    char target[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : "?";
}

// Records the calls in order, with the file each concerns, and makes them.
class RecordingFiles : public PosixFileSystem {
public:
    int Flush(std::intptr_t handle) override
    {
        log.push_back("sync " + LinkOf(static_cast<int>(handle)));
        return PosixFileSystem::Flush(handle);
    }
    int RenameOver(const Path& from, const Path& to) override
    {
        log.push_back("rename " + from.string() + " -> " + to.string());
        return PosixFileSystem::RenameOver(from, to);
    }
    std::vector<std::string> log;
};

TEST(IniDurability, TheNewContentIsOnDiskBeforeItsNameReplacesTheOld)
{
    TempDir dir;
    const fs::path path = fs::canonical(dir.Path()) / "vyla.ini";
    WriteText(path, "[options]\ncolor=0\n");
    RecordingFiles calls;
    ASSERT_EQ(SaveValues(calls, path, "options", {{"color", "1"}}).Error, TProfileError::None);
    EXPECT_EQ(ReadText(path), "[options]\ncolor=1\n");
    ASSERT_EQ(calls.log.size(), 3u) << ::testing::PrintToString(calls.log);
    // sync of the temporary file, its rename over the target, sync of the directory.
    const std::string& sync = calls.log[0];
    const std::string& rename = calls.log[1];
    ASSERT_EQ(sync.rfind("sync ", 0), 0u) << sync;
    const std::string temporary = sync.substr(5);
    EXPECT_NE(temporary, path.string());
    EXPECT_EQ(fs::path(temporary).parent_path(), path.parent_path());
    EXPECT_EQ(rename, "rename " + temporary + " -> " + path.string());
    EXPECT_EQ(calls.log[2], "sync " + path.parent_path().string());
}

}  // namespace
}  // namespace vyla::ini
