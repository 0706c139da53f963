// The preview: the scene shrunk into a pane of another window, ended with it.
#include <gtest/gtest.h>

#include <string>

#include "support/headless_system.h"
#include "portable/raster/surface.h"
#include "scene/vylawin.h"

using vyla::Size;
using vyla::headless::HeadlessHost;
using vyla::raster::Pixel;
using vyla::raster::Surface;
using vyla::testing::HeadlessSystem;
using vyla::testing::MakeDialogClassWindow;
using vyla::testing::WindowNumber;

namespace {

// The first child of a window, through the runtime's window table.
HWND FirstChild(HeadlessSystem& sys, HWND parent)
{
    auto children = sys.runtime.Windows().Children(parent);
    return children.empty() ? nullptr : children.front()->handle;
}

}  // namespace

// A settings window with a 200 x 150 pane, as the system's settings show a preview.
class Preview : public ::testing::Test {
protected:
    static constexpr Size kScreen{800, 600};
    static constexpr Size kPane{200, 150};

    Preview() : sys(kScreen)
    {
        // Blocks of 4 x 4 pixels: shrinking by 4 gives one pixel each, however it samples.
        for (int y = 0; y < kScreen.height; ++y)
            for (int x = 0; x < kScreen.width; ++x)
                sys.host.Screen().Set(x, y, BlockColour(x / 4, y / 4));
        vyla::testing::WriteText(sys.SettingsFile(), kSettings);
        settings = MakeDialogClassWindow(WS_POPUP | WS_VISIBLE, 100, 80, 400, 300);
        pane = MakeDialogClassWindow(WS_CHILD | WS_VISIBLE, 30, 20, kPane.width, kPane.height, settings);
    }

    static Pixel BlockColour(int bx, int by)
    {
        return static_cast<Pixel>((bx * 2654435761u) ^ (by * 40503u)) & 0xffffff;
    }

    // White, fast, slideshow every second: everything the scene draws.
    static constexpr const char* kSettings = "[options]\ncolor=1\nspeed=2\ngirls=1\ninterval=1\n";

    HeadlessSystem sys;
    HWND settings = nullptr;
    HWND pane = nullptr;
};

TEST_F(Preview, ShowsTheFullScreenSceneShrunkIntoThePaneAndEndsWithIt)
{
    // The reference: the saver on a screen the size of the pane, over the
    // desktop shrunk the same way.
    Surface expected;
    {
        HeadlessSystem ref(kPane);
        for (int y = 0; y < kPane.height; ++y)
            for (int x = 0; x < kPane.width; ++x)
                ref.host.Screen().Set(x, y, BlockColour(x, y));
        vyla::testing::WriteText(ref.SettingsFile(), kSettings);
        ref.host.SetDriver([&](HeadlessHost& h) {
            h.Advance(1);
            if (h.TickCount() == 100000 + 2500) {
                expected = h.Screen();
                h.Inject(WM_KEYDOWN, 'X');
            }
        });
        ASSERT_EQ(ref.Run("/s"), 0);
    }
    ASSERT_EQ(expected.Width(), kPane.width);

    HWND preview = nullptr;
    Surface shown;
    bool stillThere = false;
    sys.host.SetDriver([&](HeadlessHost& h) {
        h.Advance(1);
        if (!preview)
            preview = FirstChild(sys, pane);
        if (h.TickCount() == 100000 + 1000) {
            // Input reaches the preview as the user moves over the pane: it stays.
            PostMessageA(preview, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
            PostMessageA(preview, WM_LBUTTONDOWN, 0, 0);
            PostMessageA(preview, WM_KEYDOWN, 'X', 0);
        }
        if (h.TickCount() == 100000 + 2500) {
            shown = h.Screen();
            stillThere = IsWindow(preview) != FALSE;
            DestroyWindow(pane);
        }
    });
    sys.host.SetPollLimit(20000);
    EXPECT_EQ(sys.Run(("/p " + WindowNumber(pane)).c_str()), 0);
    EXPECT_FALSE(sys.host.PollLimitReached()) << "the preview outlived its pane";
    EXPECT_TRUE(stillThere) << "input ended the preview";
    EXPECT_TRUE(sys.host.CursorVisible());
    EXPECT_EQ(sys.runtime.cursorCount, 0);
    EXPECT_EQ(sys.host.TopWindow(), settings) << "no window of its own at the top level";
    ASSERT_NE(preview, nullptr);

    long long off = 0;
    for (int y = 0; y < kPane.height; ++y)
        for (int x = 0; x < kPane.width; ++x)
            off += (shown.At(130 + x, 100 + y) & 0xffffff) != (expected.At(x, y) & 0xffffff);
    EXPECT_EQ(off, 0) << "pixels in the pane that differ from the full-screen scene";
    // Outside the pane the screen is untouched.
    EXPECT_EQ(shown.At(129, 100) & 0xffffff, BlockColour(129 / 4, 100 / 4));
    EXPECT_EQ(shown.At(330, 250) & 0xffffff, BlockColour(330 / 4, 250 / 4));
}

TEST_F(Preview, WindowStructureAndItsEnding)
{
    HWND preview = nullptr;
    RECT rect{};
    DWORD style = 0;
    sys.host.SetDriver([&](HeadlessHost& h) {
        h.Advance(1);
        if (!preview) {
            preview = FirstChild(sys, pane);
            GetWindowRect(preview, &rect);
            style = sys.runtime.Windows().Find(preview)->style;
        }
        // The pane's owner closes the preview.
        if (h.Polls() == 100)
            PostMessageA(preview, WM_CLOSE, 0, 0);
    });
    sys.host.SetPollLimit(5000);
    EXPECT_EQ(sys.Run(("/p:" + WindowNumber(pane)).c_str()), 0);
    EXPECT_FALSE(sys.host.PollLimitReached());
    EXPECT_EQ(GetParent(preview), nullptr) << "gone";
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_EQ(rect.left, 130);
    EXPECT_EQ(rect.top, 100);
    EXPECT_EQ(rect.right - rect.left, kPane.width);
    EXPECT_EQ(rect.bottom - rect.top, kPane.height);
    EXPECT_TRUE(IsWindow(pane)) << "the pane stays";
}

TEST_F(Preview, OfAWindowThatIsGoneEndsAtOnce)
{
    HWND gone = pane;
    DestroyWindow(pane);
    EXPECT_EQ(sys.Run(("/p " + WindowNumber(gone)).c_str()), 0);
    EXPECT_EQ(sys.host.DrawingDoneCount(), 0);
    EXPECT_EQ(sys.host.TopWindow(), settings);
}

TEST_F(Preview, PanesWithoutRoomForTheSceneEndCleanly)
{
    // No area at all: nothing to show, the run ends at once. A few pixels:
    // the flowers have no room, the rest runs until the pane goes.
    HWND empty = MakeDialogClassWindow(WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, settings);
    EXPECT_EQ(sys.Run(("/p " + WindowNumber(empty)).c_str()), 0);
    EXPECT_EQ(sys.host.DrawingDoneCount(), 0);
    HWND tiny = MakeDialogClassWindow(WS_CHILD | WS_VISIBLE, 0, 0, 4, 3, settings);
    sys.host.SetDriver([&](HeadlessHost& h) {
        h.Advance(1);
        if (h.Polls() == 300)
            DestroyWindow(tiny);
    });
    sys.host.SetPollLimit(5000);
    EXPECT_EQ(sys.Run(("/p " + WindowNumber(tiny)).c_str()), 0);
    EXPECT_FALSE(sys.host.PollLimitReached());
    EXPECT_EQ(sys.host.Reports().size(), 0u) << "nothing reported";
}
