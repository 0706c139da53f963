// Windows that show what was beneath them, on the real system: the picture
// they start with, where drawing through their context goes, and what
// painting puts back. Run inside a desktop whose screen can be read (any
// Windows desktop; a Wine virtual desktop).
#include <gtest/gtest.h>

#include <memory>

#include "framework/framework.h"
#include "win_test_support.h"

namespace {

constexpr COLORREF kQuadrants[4] = {RGB(200, 30, 30), RGB(30, 160, 40), RGB(40, 60, 210), RGB(230, 200, 20)};
constexpr RECT kBackdrop{100, 80, 400, 280};

// A plain window painted in four coloured quadrants: a known picture on
// the screen for the windows under test to start from.
class Backdrop {
public:
    Backdrop()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VylaTestBackdrop";
        RegisterClassA(&wc);
        handle_ = CreateWindowExA(0, wc.lpszClassName, nullptr, WS_POPUP | WS_VISIBLE, kBackdrop.left, kBackdrop.top,
                                  kBackdrop.right - kBackdrop.left, kBackdrop.bottom - kBackdrop.top, nullptr, nullptr,
                                  wc.hInstance, nullptr);
        UpdateWindow(handle_);
        // The screen may show a window's painting a little later, and under
        // Wine the desktop's late repaint of what earlier windows uncovered
        // may still land on top of it: wait until the screen shows the
        // backdrop and keeps showing it, painting it again where it does not.
        for (int i = 0; i < 30; ++i) {
            vyla::wintest::PumpMessages(100);
            if (OnScreen()) {
                vyla::wintest::PumpMessages(300);
                if (OnScreen())
                    break;
            }
            RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
    }
    ~Backdrop() { DestroyWindow(handle_); }
    Backdrop(const Backdrop&) = delete;
    Backdrop& operator=(const Backdrop&) = delete;

    // The colour the backdrop shows at a screen position.
    static COLORREF At(int x, int y)
    {
        int cx = (kBackdrop.left + kBackdrop.right) / 2, cy = (kBackdrop.top + kBackdrop.bottom) / 2;
        return kQuadrants[(x >= cx ? 1 : 0) + (y >= cy ? 2 : 0)];
    }

    // Whether the screen shows the whole backdrop, sampled every few pixels;
    // where it does not, what it shows instead.
    static ::testing::AssertionResult OnScreen()
    {
        HDC screen = GetDC(nullptr);
        auto result = ::testing::AssertionSuccess();
        for (int y = kBackdrop.top; y < kBackdrop.bottom && result; y += 7)
            for (int x = kBackdrop.left; x < kBackdrop.right && result; x += 7)
                if (COLORREF c = GetPixel(screen, x, y); c != At(x, y))
                    result = ::testing::AssertionFailure() << "the screen shows " << std::hex << c << " at " << std::dec
                                                           << x << ',' << y;
        ReleaseDC(nullptr, screen);
        return result;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_ERASEBKGND)
            return 1;
        if (msg != WM_PAINT)
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        for (int i = 0; i < 4; ++i) {
            RECT q{i % 2 ? client.right / 2 : 0, i / 2 ? client.bottom / 2 : 0, i % 2 ? client.right : client.right / 2,
                   i / 2 ? client.bottom : client.bottom / 2};
            HBRUSH brush = CreateSolidBrush(kQuadrants[i]);
            FillRect(dc, &q, brush);
            DeleteObject(brush);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }

    HWND handle_;
};

// The module the test windows' classes are registered for.
TModule& TestModule()
{
    static TModule module("vyla window surface tests", GetModuleHandleA(nullptr));
    return module;
}

// A framework window with a chosen class background brush.
class TestWindow : public TFrameWindow {
public:
    TestWindow(const char* className, int stockBrush, RECT place, TWindow* parent = nullptr)
        : TFrameWindow(parent, "surface test", &TestModule()), ClassName(className), StockBrush(stockBrush)
    {
        Attr.Style = parent ? WS_CHILD : WS_POPUP;
        Attr.X = place.left;
        Attr.Y = place.top;
        Attr.W = place.right - place.left;
        Attr.H = place.bottom - place.top;
    }
    const char* GetClassName() override { return ClassName; }
    void GetWindowClass(WNDCLASSA& wc) override
    {
        TFrameWindow::GetWindowClass(wc);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(StockBrush));
    }

private:
    const char* ClassName;
    int StockBrush;
};

// Places the window over the backdrop's middle, across all four quadrants.
constexpr RECT kPlace{180, 120, 340, 240};

std::unique_ptr<TestWindow> ShowNullBrushWindow(RECT place = kPlace)
{
    auto window = std::make_unique<TestWindow>("VylaTestNullBrush", NULL_BRUSH, place);
    window->Create();
    window->ShowWindow(SW_SHOWNOACTIVATE);
    vyla::wintest::PumpMessages(200);
    return window;
}

// Whether a picture (a window's backing store or its own context) shows the
// backdrop under kPlace, sampled every few pixels; where not, what instead.
::testing::AssertionResult ShowsBackdrop(HDC dc, int width, int height)
{
    for (int y = 0; y < height; y += 5)
        for (int x = 0; x < width; x += 5)
            if (COLORREF c = GetPixel(dc, x, y); c != Backdrop::At(kPlace.left + x, kPlace.top + y))
                return ::testing::AssertionFailure() << "it shows " << std::hex << c << " at " << std::dec << x << ',' << y;
    return ::testing::AssertionSuccess();
}

// What the window itself shows, read through its own context.
COLORREF ShownAt(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

void FillThrough(HWND window, const RECT& area, COLORREF colour)
{
    TClientDC dc(window);
    TMemoryDC paint(dc);
    TBitmap bitmap(dc, area.right - area.left, area.bottom - area.top);
    paint.SelectObject(bitmap);
    for (int y = 0; y < area.bottom - area.top; ++y)
        for (int x = 0; x < area.right - area.left; ++x)
            SetPixel(paint, x, y, colour);
    dc.BitBlt(area.left, area.top, area.right - area.left, area.bottom - area.top, paint, 0, 0, SRCCOPY);
    paint.RestoreBitmap();
}

class WindowSurface : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Backdrop::OnScreen()) << "(under Wine the screen reads back only in a virtual desktop)";
    }
    Backdrop backdrop;
};

TEST_F(WindowSurface, ANullBrushWindowStartsWithThePictureBeneathIt)
{
    auto window = ShowNullBrushWindow();
    TClientDC dc(*window);
    ASSERT_NE(dc.GetHDC(), nullptr);
    EXPECT_EQ(GetObjectType(dc.GetHDC()), static_cast<DWORD>(OBJ_MEMDC)) << "drawing goes to the backing store";
    // Samples in every quadrant and on both sides of the quadrant edges.
    for (int y : {0, 39, 40, 41, 119})
        for (int x : {0, 69, 70, 71, 159})
            EXPECT_EQ(GetPixel(dc, x, y), Backdrop::At(kPlace.left + x, kPlace.top + y)) << "client " << x << ',' << y;
    // And the window shows it too.
    EXPECT_EQ(ShownAt(*window, 5, 5), Backdrop::At(kPlace.left + 5, kPlace.top + 5));
    EXPECT_EQ(ShownAt(*window, 150, 110), Backdrop::At(kPlace.left + 150, kPlace.top + 110));
}

TEST_F(WindowSurface, DrawingReachesTheWindowAndPaintingPutsItBack)
{
    auto window = ShowNullBrushWindow();
    {
        TClientDC store(*window);
        ASSERT_TRUE(ShowsBackdrop(store, 160, 120)) << "the backing store";
    }
    HDC own = GetDC(*window);
    EXPECT_TRUE(ShowsBackdrop(own, 160, 120)) << "the window";
    ReleaseDC(*window, own);
    const COLORREF blue = RGB(10, 20, 250);
    FillThrough(*window, RECT{10, 10, 30, 25}, blue);
    EXPECT_EQ(ShownAt(*window, 10, 10), blue);
    EXPECT_EQ(ShownAt(*window, 29, 24), blue);
    EXPECT_EQ(ShownAt(*window, 30, 25), Backdrop::At(kPlace.left + 30, kPlace.top + 25));

    // Something else paints over the window; a repaint brings its picture back.
    HDC direct = GetDC(*window);
    RECT all{0, 0, 160, 120};
    FillRect(direct, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(*window, direct);
    ASSERT_EQ(ShownAt(*window, 100, 100), RGB(0, 0, 0));
    InvalidateRect(*window, nullptr, TRUE);
    UpdateWindow(*window);
    EXPECT_EQ(ShownAt(*window, 15, 15), blue);
    EXPECT_EQ(ShownAt(*window, 100, 100), Backdrop::At(kPlace.left + 100, kPlace.top + 100));
    EXPECT_EQ(ShownAt(*window, 159, 0), Backdrop::At(kPlace.left + 159, kPlace.top));

    // Drawing through a clip region puts only the region on the window: the
    // black painted over it stays everywhere else.
    direct = GetDC(*window);
    FillRect(direct, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(*window, direct);
    {
        TClientDC dc(*window);
        const TRect parts[] = {TRect(40, 40, 60, 50), TRect(100, 70, 120, 100)};
        TRegion region(parts);
        dc.SelectClipRgn(region);
        dc.BitBlt(0, 0, 160, 120, dc, 0, 0, SRCCOPY);  // the picture onto itself: what it holds, where clipped
        dc.RemoveClipRgn();
    }
    EXPECT_EQ(ShownAt(*window, 45, 45), Backdrop::At(kPlace.left + 45, kPlace.top + 45));
    EXPECT_EQ(ShownAt(*window, 119, 99), Backdrop::At(kPlace.left + 119, kPlace.top + 99));
    EXPECT_EQ(ShownAt(*window, 15, 15), RGB(0, 0, 0));
    EXPECT_EQ(ShownAt(*window, 80, 60), RGB(0, 0, 0));
}

TEST_F(WindowSurface, OnlyTopLevelNullBrushWindowsGetOne)
{
    TestWindow white("VylaTestWhiteBrush", WHITE_BRUSH, kPlace);
    white.Create();
    white.ShowWindow(SW_SHOWNOACTIVATE);
    vyla::wintest::PumpMessages(100);
    {
        TClientDC dc(white);
        EXPECT_EQ(GetObjectType(dc.GetHDC()), static_cast<DWORD>(OBJ_DC));
    }
    TestWindow child("VylaTestNullBrushChild", NULL_BRUSH, RECT{5, 5, 50, 50}, &white);
    child.Create();
    child.ShowWindow(SW_SHOWNOACTIVATE);
    vyla::wintest::PumpMessages(50);
    TClientDC dc(child);
    EXPECT_EQ(GetObjectType(dc.GetHDC()), static_cast<DWORD>(OBJ_DC));
}

TEST_F(WindowSurface, FollowsTheWindowWhenItGrowsAndGoesWithIt)
{
    auto window = ShowNullBrushWindow();
    const COLORREF green = RGB(0, 250, 100);
    FillThrough(*window, RECT{0, 0, 8, 8}, green);
    window->SetWindowPos(nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    vyla::wintest::PumpMessages(100);
    HDC store;
    {
        TClientDC dc(*window);
        store = dc.GetHDC();
        EXPECT_EQ(GetPixel(dc, 3, 3), green) << "the picture keeps what was drawn";
        EXPECT_EQ(GetPixel(dc, 100, 100), Backdrop::At(kPlace.left + 100, kPlace.top + 100));
        EXPECT_NE(GetPixel(dc, 199, 149), CLR_INVALID) << "the picture has the new size";
    }
    FillThrough(*window, RECT{190, 140, 200, 150}, green);
    EXPECT_EQ(ShownAt(*window, 195, 145), green);
    window.reset();
    EXPECT_EQ(GetObjectType(store), 0u) << "the backing store goes with the window";
}

}  // namespace
