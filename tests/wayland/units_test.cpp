// The Wayland backend's parts that need no compositor: the pixels a
// compositor hands over, input codes, the first process's command line
// for its children, the choice of backend, and the one-saver claim.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <wayland-client-protocol.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "child_process.h"
#include "harness.h"
#include "linux/command_options.h"
#include "wayland/captured_pixels.h"
#include "wayland/key_codes.h"
#include "wayland/output_children.h"
#include "wayland/saver_claim.h"
#include "support/temp_dir.h"

namespace {

using vyla::Size;
using vyla::wayland::CapturedPixels;
using vyla::wayland::Convert;

// Two pixels side by side, orange (0xFF8000) then teal (0x008080), one row,
// in each format as its bytes lie in memory.
struct FormatCase {
    std::uint32_t format;
    std::vector<unsigned char> bytes;
    std::uint32_t first, second;  // what the two pixels read as
};

const FormatCase kFormats[] = {
    {WL_SHM_FORMAT_XRGB8888, {0x00, 0x80, 0xFF, 0x00, 0x80, 0x80, 0x00, 0x00}, 0xFF8000, 0x008080},
    {WL_SHM_FORMAT_ARGB8888, {0x00, 0x80, 0xFF, 0xFF, 0x80, 0x80, 0x00, 0x7F}, 0xFF8000, 0x008080},
    {WL_SHM_FORMAT_XBGR8888, {0xFF, 0x80, 0x00, 0x00, 0x00, 0x80, 0x80, 0x00}, 0xFF8000, 0x008080},
    {WL_SHM_FORMAT_ABGR8888, {0xFF, 0x80, 0x00, 0xFF, 0x00, 0x80, 0x80, 0xFF}, 0xFF8000, 0x008080},
    {WL_SHM_FORMAT_RGBX8888, {0x00, 0x00, 0x80, 0xFF, 0x00, 0x80, 0x80, 0x00}, 0xFF8000, 0x008080},
    {WL_SHM_FORMAT_BGRX8888, {0x00, 0xFF, 0x80, 0x00, 0x00, 0x00, 0x80, 0x80}, 0xFF8000, 0x008080},
    {WL_SHM_FORMAT_RGB888, {0x00, 0x80, 0xFF, 0x80, 0x80, 0x00}, 0xFF8000, 0x008080},
    {WL_SHM_FORMAT_BGR888, {0xFF, 0x80, 0x00, 0x00, 0x80, 0x80}, 0xFF8000, 0x008080},
    // 5-6-5: full red and half green; green and blue half (rounded to the 8-bit scale).
    {WL_SHM_FORMAT_RGB565, {0x00, 0xFC, 0x10, 0x04}, 0xFF8200, 0x008284},
    {WL_SHM_FORMAT_BGR565, {0x1F, 0x04, 0x00, 0x84}, 0xFF8200, 0x008284},
    // 10-bit channels: 1023 and 512 become 255 and 128.
    {WL_SHM_FORMAT_XRGB2101010, {0x00, 0x00, 0xF8, 0x3F, 0x00, 0x02, 0x08, 0x00}, 0xFF8000, 0x008080},
    {WL_SHM_FORMAT_XBGR2101010, {0xFF, 0x03, 0x08, 0x00, 0x00, 0x00, 0x08, 0x20}, 0xFF8000, 0x008080},
};

TEST(CapturedPixels, EveryOfferedFormatReadsAsTheSameColours)
{
    for (const FormatCase& c : kFormats) {
        CapturedPixels captured{c.format, Size{2, 1}, c.bytes.size(), false,
                                std::as_bytes(std::span(c.bytes.data(), c.bytes.size()))};
        ASSERT_TRUE(vyla::wayland::CanConvert(c.format)) << std::hex << c.format;
        auto picture = Convert(captured);
        ASSERT_TRUE(picture) << std::hex << c.format;
        EXPECT_EQ(picture->At(0, 0), c.first) << std::hex << c.format;
        EXPECT_EQ(picture->At(1, 0), c.second) << std::hex << c.format;
    }
}

TEST(CapturedPixels, RowsKeepTheirStrideAndAnInvertedPictureComesUpright)
{
    // Two rows of one XRGB pixel, four bytes of padding after each.
    const std::vector<unsigned char> bytes{0x11, 0x22, 0x33, 0, 9, 9, 9, 9, 0x44, 0x55, 0x66, 0, 9, 9, 9, 9};
    CapturedPixels captured{WL_SHM_FORMAT_XRGB8888, Size{1, 2}, 8, false, std::as_bytes(std::span(bytes))};
    auto upright = Convert(captured);
    ASSERT_TRUE(upright);
    EXPECT_EQ(upright->At(0, 0), 0x332211u);
    EXPECT_EQ(upright->At(0, 1), 0x665544u);
    captured.yInverted = true;
    auto inverted = Convert(captured);
    ASSERT_TRUE(inverted);
    EXPECT_EQ(inverted->At(0, 0), 0x665544u);
    EXPECT_EQ(inverted->At(0, 1), 0x332211u);
    // The last row needs no padding after it.
    captured.bytes = captured.bytes.first(12);
    EXPECT_TRUE(Convert(captured));
}

TEST(CapturedPixels, BadFramesGiveNoPicture)
{
    const std::vector<unsigned char> bytes(64, 0x7F);
    const auto all = std::as_bytes(std::span(bytes));
    auto convert = [&](std::uint32_t format, Size size, std::size_t stride, std::size_t length) {
        return Convert(CapturedPixels{format, size, stride, false, all.first(length)}).has_value();
    };
    EXPECT_TRUE(convert(WL_SHM_FORMAT_XRGB8888, Size{4, 4}, 16, 64));
    EXPECT_FALSE(convert(WL_SHM_FORMAT_XRGB8888, Size{4, 4}, 16, 63)) << "one byte short";
    EXPECT_FALSE(convert(WL_SHM_FORMAT_XRGB8888, Size{4, 4}, 12, 64)) << "stride shorter than a row";
    EXPECT_FALSE(convert(WL_SHM_FORMAT_XRGB8888, Size{0, 4}, 16, 64)) << "empty";
    EXPECT_FALSE(convert(WL_SHM_FORMAT_XRGB8888, Size{4, 4}, 0, 64)) << "no stride";
    EXPECT_FALSE(convert(WL_SHM_FORMAT_C8, Size{4, 4}, 4, 16)) << "indexed";
    EXPECT_FALSE(vyla::wayland::CanConvert(WL_SHM_FORMAT_NV12));
}

TEST(KeyCodes, KeysButtonsAndMovesGiveWhatAWindowsSaverReceives)
{
    using vyla::wayland::ButtonDown;
    using vyla::wayland::KeyDown;
    EXPECT_EQ(vyla::wayland::VirtualKeyForCode(KEY_A), UINT('A'));
    EXPECT_EQ(vyla::wayland::VirtualKeyForCode(KEY_M), UINT('M'));
    EXPECT_EQ(vyla::wayland::VirtualKeyForCode(KEY_0), UINT('0'));
    EXPECT_EQ(vyla::wayland::VirtualKeyForCode(KEY_F10), 0x79u);
    EXPECT_EQ(vyla::wayland::VirtualKeyForCode(KEY_ESC), UINT(VK_ESCAPE));
    EXPECT_EQ(vyla::wayland::VirtualKeyForCode(KEY_MUTE), 0u);
    // The scan code is the key code, as X11 gives it.
    EXPECT_EQ(KeyDown(KEY_A, false), (vyla::wayland::InputMessage{WM_KEYDOWN, 'A', 1 | (LPARAM{KEY_A} << 16)}));
    EXPECT_EQ(KeyDown(KEY_A, true).message, WM_SYSKEYDOWN);
    EXPECT_EQ(KeyDown(KEY_A, true).lParam & (LPARAM{1} << 29), LPARAM{1} << 29);
    EXPECT_EQ(KeyDown(KEY_LEFTALT, false).message, WM_SYSKEYDOWN);
    EXPECT_EQ(ButtonDown(BTN_LEFT, 3, 4)->message, WM_LBUTTONDOWN);
    EXPECT_EQ(ButtonDown(BTN_RIGHT, 3, 4)->message, WM_RBUTTONDOWN);
    EXPECT_EQ(ButtonDown(BTN_MIDDLE, 3, 4)->lParam, MAKELPARAM(3, 4));
    EXPECT_FALSE(ButtonDown(BTN_SIDE, 3, 4));
}

TEST(ChildArguments, EachOutputsProcessParsesItsOutputStartAndTheParentsOptions)
{
    const std::vector<std::string> parent{"/usr/bin/vyla", "--speed", "fast", "--", "/s"};
    auto child = vyla::wayland::ChildArguments(parent, {38, 123456789});
    ASSERT_EQ(child.front(), "/usr/bin/vyla");
    auto parsed = vyla::linux::ParseCommandLine(std::span(child).subspan(1));
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->waylandOutput, 38u);
    EXPECT_EQ(parsed.options->startAtNs, 123456789);
    EXPECT_EQ(parsed.options->settings.size(), 1u);
    // The words after "--" stay the saver's.
    EXPECT_EQ(parsed.options->commandLine, "/s");
}

TEST(BackendChoice, TheOptionAndItsRefusals)
{
    using vyla::linux::CommandOptions;
    auto parse = [](std::vector<std::string> words) { return vyla::linux::ParseCommandLine(words); };
    EXPECT_EQ(parse({}).options->backend, CommandOptions::Backend::Automatic);
    EXPECT_EQ(parse({"--backend", "wayland"}).options->backend, CommandOptions::Backend::Wayland);
    EXPECT_EQ(parse({"-backend=x11"}).options->backend, CommandOptions::Backend::X11);
    EXPECT_NE(parse({"--backend", "mir"}).error.find("wayland or x11"), std::string::npos);
    EXPECT_NE(parse({"--backend"}).error.find("wayland or x11"), std::string::npos);
    EXPECT_NE(parse({"--backend", "wayland", "--root"}).error.find("X window"), std::string::npos);
}

TEST(BackendChoice, AForcedBackendThatCannotStartExitsOneWithOneLine)
{
    using vyla::x11::testing::RunCommand;
    vyla::testing::TempDir dir;
    struct Case {
        const char* arguments;
        const char* environment;  // what the display variables are
        const char* says;
    };
    const Case cases[] = {
        {"--backend wayland", "WAYLAND_DISPLAY=", "WAYLAND_DISPLAY is not set"},
        {"--backend wayland", "WAYLAND_DISPLAY=no-such-compositor", "cannot connect"},
        {"--backend x11", "DISPLAY=:nothing-here", "X display"},
        // Without a compositor the default is X11, as before.
        {"", "WAYLAND_DISPLAY=no-such-compositor", "X display"},
    };
    for (const Case& c : cases) {
        const auto err = dir.Path() / "err";
        int code = RunCommand({"sh", "-c", std::string(VYLA_PROGRAM) + " " + c.arguments + " 2>" + err.string()},
                              {"DISPLAY=:nothing-here", "XDG_RUNTIME_DIR=" + dir.Path().string(), c.environment});
        const std::string text = vyla::testing::ReadText(err);
        EXPECT_EQ(code, 1) << c.arguments << " " << c.environment;
        EXPECT_NE(text.find(c.says), std::string::npos) << c.arguments << ": " << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << c.arguments << ": " << text;
    }
}

// One saver per display: while another process holds the claim a second is
// refused, and it is free again once the holder dies, even killed outright.
// Other displays are apart; without a runtime directory nothing is held.
TEST(SaverClaim, OnePerDisplayUntilItsHolderEndsHoweverItEnds)
{
    using vyla::wayland::SaverClaim;
    vyla::testing::TempDir dir;
    const std::string runtime = dir.Path().string();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        auto claim = SaverClaim::Take(runtime.c_str(), "wayland-1");
        const char held = claim && claim->HoldsLock() ? 'y' : 'n';
        (void)!write(ready[1], &held, 1);
        pause();
        _exit(0);
    }
    char held = 0;
    ASSERT_EQ(read(ready[0], &held, 1), 1);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(held, 'y');
    EXPECT_EQ(SaverClaim::Take(runtime.c_str(), "wayland-1"), nullptr) << "a second saver was not refused";
    auto other = SaverClaim::Take(runtime.c_str(), "/run/elsewhere/wayland-1");
    EXPECT_TRUE(other && other->HoldsLock()) << "another display was refused";
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    auto next = SaverClaim::Take(runtime.c_str(), "wayland-1");
    EXPECT_TRUE(next && next->HoldsLock()) << "a killed saver left its claim behind";
    auto unheld = SaverClaim::Take(nullptr, "wayland-1");
    EXPECT_TRUE(unheld && !unheld->HoldsLock());
}

}  // namespace
