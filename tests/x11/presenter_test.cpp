// The screen presenter against a real server: the framebuffer living in the
// shared image, the server's answers that say when it may be drawn on again,
// and the copying path for frames of the program's own.
#include <gtest/gtest.h>

#include <X11/Xutil.h>

#include <vector>

#include "x11/screen_presenter.h"
#include "x11/x_connection.h"
#include "xvfb_server.h"

using namespace vyla::x11;
using vyla::Point;
using vyla::Rect;
using vyla::Size;
using vyla::raster::Pixel;
using vyla::raster::Surface;

namespace {

class PresenterOnXvfb : public ::testing::Test {
protected:
    void SetUp() override
    {
        server_ = vyla::x11::testing::XvfbServer::Start(Size{64, 48});
        ASSERT_TRUE(server_) << "Xvfb did not start";
        connection_ = XConnection::Open(server_->DisplayName().c_str());
        ASSERT_TRUE(connection_);
        Display* d = connection_->Get();
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        window_ = XCreateWindow(d, connection_->Root(), 0, 0, 64, 48, 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect, &attributes);
        XMapWindow(d, window_);
        XSync(d, False);
    }

    // What the window shows at x, y, as 0x00RRGGBB.
    Pixel Shown(int x, int y)
    {
        XImage* image = XGetImage(connection_->Get(), window_, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return 0xFFFFFFFF;
        Pixel p = PixelFormat::Of(*DefaultVisual(connection_->Get(), connection_->ScreenNumber())).ToRgb(XGetPixel(image, 0, 0));
        XDestroyImage(image);
        return p;
    }

    // What the host's event loop does with the server's answers.
    void ReadEvents(ScreenPresenter& presenter)
    {
        Display* d = connection_->Get();
        XSync(d, False);
        while (XPending(d) > 0) {
            XEvent event;
            XNextEvent(d, &event);
            presenter.TakeCompletion(event);
        }
    }

    std::unique_ptr<vyla::x11::testing::XvfbServer> server_;
    std::unique_ptr<XConnection> connection_;
    ::Window window_ = 0;
};

TEST_F(PresenterOnXvfb, TheFrameIsTheSharedImageAndEachPresentIsAnswered)
{
    ScreenPresenter presenter(*connection_, Size{64, 48});
    ASSERT_TRUE(presenter.UsesSharedMemory());
    auto frame = presenter.SharedFrame();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->IsExternal());
    EXPECT_EQ(frame->GetSize(), (Size{64, 48}));

    frame->Fill(0x000080);
    for (int y = 10; y < 20; ++y)
        for (int x = 5; x < 25; ++x)
            frame->Set(x, y, 0xFF8000);
    const Rect areas[] = {Rect{0, 0, 64, 48}};
    presenter.Present(*frame, areas, window_, Point{});
    EXPECT_TRUE(presenter.ReadPending());
    ReadEvents(presenter);
    EXPECT_FALSE(presenter.ReadPending());
    EXPECT_EQ(Shown(0, 0), 0x000080u);
    EXPECT_EQ(Shown(5, 10), 0xFF8000u);
    EXPECT_EQ(Shown(24, 19), 0xFF8000u);

    // Only the areas presented change on screen; waiting needs no events read.
    frame->Fill(0x00FF00);
    const Rect part[] = {Rect{30, 30, 40, 40}, Rect{60, 0, 80, 4}};
    presenter.Present(*frame, part, window_, Point{});
    presenter.AwaitRead();
    EXPECT_FALSE(presenter.ReadPending());
    EXPECT_EQ(Shown(35, 35), 0x00FF00u);
    EXPECT_EQ(Shown(63, 3), 0x00FF00u);
    EXPECT_EQ(Shown(5, 10), 0xFF8000u);

    // Many areas go in one clipped request: the pixels between them stay.
    frame->Fill(0xFFFFFF);
    std::vector<Rect> rows;
    for (int y = 0; y < 40; y += 2)
        rows.push_back(Rect{y, y, y + 3, y + 1});
    presenter.Present(*frame, rows, window_, Point{});
    presenter.AwaitRead();
    EXPECT_EQ(Shown(10, 10), 0xFFFFFFu);
    EXPECT_EQ(Shown(12, 10), 0xFFFFFFu);
    EXPECT_EQ(Shown(10, 11), 0xFF8000u);
    EXPECT_EQ(Shown(13, 10), 0xFF8000u);
    EXPECT_EQ(Shown(35, 35), 0x00FF00u);
}

TEST_F(PresenterOnXvfb, TheFrameOutlivesThePresenterAndOtherFramesAreCopied)
{
    std::optional<Surface> shared;
    {
        ScreenPresenter presenter(*connection_, Size{64, 48});
        shared = presenter.SharedFrame();
        ASSERT_TRUE(shared);

        auto own = Surface::Create(Size{64, 48}, 0x204060);
        ASSERT_TRUE(own);
        const Rect areas[] = {Rect{0, 0, 32, 48}, Rect{-5, -5, 0, 0}};
        presenter.Present(*own, areas, window_, Point{});
        presenter.AwaitRead();
        EXPECT_EQ(Shown(31, 47), 0x204060u);
        EXPECT_NE(Shown(32, 0), 0x204060u);

        // Nothing to show sends nothing and leaves nothing pending.
        const Rect outside[] = {Rect{100, 100, 110, 110}};
        presenter.Present(*own, outside, window_, Point{});
        EXPECT_FALSE(presenter.ReadPending());
    }
    shared->Fill(0x123456);  // still mapped here
    EXPECT_EQ(shared->At(63, 47), 0x123456u);
}

}  // namespace
