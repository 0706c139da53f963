#include "scene/vylawin.h"

#include <algorithm>

#include "scene/shuffle.h"
#include "settings/settings.h"

namespace {

constexpr const char* kTitle = "Vyla Screen Saver";

// Frame delays by the "speed" setting.
int FrameDelayFor(int speed)
{
    switch (speed) {
    case 1:
        return 100;
    case 2:
        return 50;
    default:
        return 200;
    }
}

// A timer is due when now is strictly past last + delay, all modulo 2^32.
bool Due(std::uint32_t now, std::uint32_t last, std::uint32_t delay)
{
    return now > last + delay;
}

// Milliseconds from now until Due(now + result, last, delay) first holds:
// the tick past last + delay. A sum that reached the top of the tick range
// is never passed; the wait is then capped, and asked again on waking.
DWORD UntilDue(std::uint32_t now, std::uint32_t last, std::uint32_t delay)
{
    constexpr std::uint64_t kLongest = 0x7fffffff;
    std::uint32_t due = last + delay;
    if (now > due)
        return 0;
    return static_cast<DWORD>(std::min<std::uint64_t>(std::uint64_t{due} - now + 1, kLongest));
}

// Products of picture and screen sizes, truncated toward zero.
int Scaled(int a, int b, int c)
{
    return c ? static_cast<int>(static_cast<long long>(a) * b / c) : 0;
}

}  // namespace

TVylaScrnSavWindow::TVylaScrnSavWindow(TWindow* parent, const char* title, TModule* module)
    : TScrnSavWindow(parent, title, module)
{
    ScreenWidth = ScreenMetric(SM_CXSCREEN);
    ScreenHeight = ScreenMetric(SM_CYSCREEN);

    TProfile profile(Settings::kSection, Settings::kFileName);
    Color = profile.GetInt(Settings::kColor, 0);
    FrameDelay = FrameDelayFor(profile.GetInt(Settings::kSpeed, 0));
    PacingMode = 1;
    SlidesOn = profile.GetInt(Settings::kGirls, 0);
    int interval = profile.GetInt(Settings::kInterval, 0);
    if (interval == 0)
        interval = 60;
    SlideInterval = static_cast<std::uint32_t>(interval) * 1000u;

    CornerWidth = CornerHeight = std::max(ScreenHeight / 4, ScreenWidth / 5);
    TileWidth = TileHeight = Scaled(CornerWidth, 9, 8);
    BorderDrawn = false;

    HWND desktopWindow = GetDesktopWindow();
    HDC desktopHandle = GetDC(desktopWindow);
    auto desktop = std::make_unique<TDC>(desktopHandle);
    if (SlidesOn) {
        SnapshotDC = std::make_unique<TMemoryDC>(*desktop);
        SnapshotBitmap = std::make_unique<TBitmap>(*desktop, ScreenWidth, ScreenHeight);
        SnapshotDC->SelectObject(*SnapshotBitmap);
    }
    CornerDC = std::make_unique<TMemoryDC>(*desktop);
    CornerBitmap = std::make_unique<TBitmap>(*desktop, 2 * TileWidth, 2 * TileHeight);
    CornerDC->SelectObject(*CornerBitmap);
    WorkDC = std::make_unique<TMemoryDC>(*desktop);
    WorkBitmap = std::make_unique<TBitmap>(*desktop, TileWidth, TileHeight);
    WorkDC->SelectObject(*WorkBitmap);

    HINSTANCE instance = GetModule()->GetHandle();
    bool white = Color == 1;
    MaskDib = std::make_unique<TDib>(instance, white ? "IDB_WMASKS" : "IDB_RMASKS");
    ImageDib = std::make_unique<TDib>(instance, white ? "IDB_WVYLAS" : "IDB_RVYLAS");
    MaskBitmap = std::make_unique<TBitmap>(*desktop, kCells * TileWidth, TileHeight);
    ImageBitmap = std::make_unique<TBitmap>(*desktop, kCells * TileWidth, TileHeight);
    MaskDC.SelectObject(*MaskBitmap);
    ImageDC.SelectObject(*ImageBitmap);
    // Scaled once here, so a frame only copies same-size squares.
    MaskDC.StretchDIBits(0, 0, kCells * TileWidth, TileHeight, *MaskDib, SRCCOPY);
    ImageDC.StretchDIBits(0, 0, kCells * TileWidth, TileHeight, *ImageDib, SRCCOPY);

    desktop.reset();
    ReleaseDC(desktopWindow, desktopHandle);

    LastFrameTime = 0;
    LastSlideTime = 0;
    std::fill(std::begin(FrameCounter), std::end(FrameCounter), 0);
    PictureCount = 0;
    DrawPosition = 0;
}

TVylaScrnSavWindow::~TVylaScrnSavWindow()
{
    // A bitmap can go only once no surface holds it: every surface gets its
    // earlier objects back first. The members then go in the reverse of
    // their declaration (see vylawin.h); the saver window part last,
    // showing the cursor again.
    for (TMemoryDC* surface : {&MaskDC, &ImageDC, SnapshotDC.get(), CornerDC.get(), WorkDC.get()}) {
        if (surface) {
            surface->RestoreObjects();
            surface->RestoreBitmap();
        }
    }
}

const char* TVylaScrnSavWindow::GetClassName()
{
    return kTitle;
}

void TVylaScrnSavWindow::GetWindowClass(WNDCLASSA& wc)
{
    TScrnSavWindow::GetWindowClass(wc);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void TVylaScrnSavWindow::StepAnimation()
{
    TClientDC dc(GetHandle());
    if (!dc.GetHDC())
        return;
    if (!BorderDrawn)
        DrawBorder(dc);
    StepSlideshow(dc);
    StepCorners(dc);
}

DWORD TVylaScrnSavWindow::NextStepDelay()
{
    if (!BorderDrawn)
        return 0;
    std::uint32_t now = GetTickCount();
    DWORD delay = UntilDue(now, LastFrameTime, static_cast<std::uint32_t>(FrameDelay));
    if (SlidesOn && PictureCount > 0)
        delay = std::min(delay, UntilDue(now, LastSlideTime, SlideInterval));
    return delay;
}

void TVylaScrnSavWindow::DrawBorder(TDC& dc)
{
    BorderDrawn = true;
    HINSTANCE instance = GetModule()->GetHandle();
    auto top = std::make_unique<TDib>(instance, "IDB_FRAMET");
    auto bottom = std::make_unique<TDib>(instance, "IDB_FRAMEB");
    auto left = std::make_unique<TDib>(instance, "IDB_FRAMEL");
    auto right = std::make_unique<TDib>(instance, "IDB_FRAMER");
    int topBand = Scaled(top->Height(), ScreenWidth, top->Width());
    int bottomBand = Scaled(bottom->Height(), ScreenWidth, bottom->Width());
    int leftBand = Scaled(left->Width(), ScreenHeight, left->Height());
    int rightBand = Scaled(right->Width(), ScreenHeight, right->Height());
    dc.StretchDIBits(0, 0, ScreenWidth, topBand, *top, SRCAND);
    dc.StretchDIBits(0, ScreenHeight - bottomBand, ScreenWidth, bottomBand, *bottom, SRCAND);
    dc.StretchDIBits(0, 0, leftBand, ScreenHeight, *left, SRCAND);
    dc.StretchDIBits(ScreenWidth - rightBand, 0, rightBand, ScreenHeight, *right, SRCAND);
    top.reset();
    bottom.reset();
    left.reset();
    right.reset();
    PictureArea = TRect(leftBand, topBand, ScreenWidth - rightBand, ScreenHeight - bottomBand);

    if (SlidesOn)
        LoadPictures();
    if (SlidesOn && PictureCount > 0)
        SnapshotDC->BitBlt(0, 0, ScreenWidth, ScreenHeight, dc, 0, 0, SRCCOPY);
    // The first slide captures the corners again over its picture; capturing
    // them now as well means flowers drawn before that slide is due turn
    // over the bordered desktop, not over an empty buffer.
    CaptureCorners(dc);
}

void TVylaScrnSavWindow::LoadPictures()
{
    Pictures = std::make_unique<std::unique_ptr<TDib>[]>(kMaxPictures);
    PictureCount = 0;
    HINSTANCE instance = GetModule()->GetHandle();
    for (unsigned i = 0; i < kMaxPictures; ++i) {
        char name[] = "IDB_SHADOW00";
        name[10] = static_cast<char>('0' + i / 10);
        name[11] = static_cast<char>('0' + i % 10);
        auto picture = std::make_unique<TDib>(instance, name);
        // The first name that gives no picture ends the list.
        if (!picture->IsOK())
            break;
        Pictures[i] = std::move(picture);
        ++PictureCount;
    }
    if (PictureCount > 0) {
        DrawPosition = 0;
        DrawOrder = std::make_unique<int[]>(PictureCount);
        SeedRandom(static_cast<unsigned>(CalendarTime()));
        ShuffleOrder(DrawOrder.get(), PictureCount);
    }
}

void TVylaScrnSavWindow::CaptureCorners(TDC& dc)
{
    int right = Attr.W - CornerWidth;
    int bottom = Attr.H - CornerHeight;
    CornerDC->BitBlt(0, 0, CornerWidth, CornerHeight, dc, 0, 0, SRCCOPY);
    CornerDC->BitBlt(CornerWidth, 0, CornerWidth, CornerHeight, dc, right, 0, SRCCOPY);
    CornerDC->BitBlt(0, CornerHeight, CornerWidth, CornerHeight, dc, 0, bottom, SRCCOPY);
    CornerDC->BitBlt(CornerWidth, CornerHeight, CornerWidth, CornerHeight, dc, right, bottom, SRCCOPY);
}

void TVylaScrnSavWindow::StepSlideshow(TDC& dc)
{
    if (!SlidesOn || PictureCount == 0)
        return;
    if (!Due(GetTickCount(), LastSlideTime, SlideInterval))
        return;
    const TDib& picture = *Pictures[static_cast<unsigned>(DrawOrder[DrawPosition])];
    // The snapshot wipes the previous picture and the flowers.
    dc.BitBlt(0, 0, ScreenWidth, ScreenHeight, *SnapshotDC, 0, 0, SRCCOPY);
    dc.StretchDIBits(PictureArea.left, PictureArea.top, PictureArea.Width(), PictureArea.Height(), picture, SRCAND);
    if (++DrawPosition >= PictureCount) {
        DrawPosition = 0;
        ShuffleOrder(DrawOrder.get(), PictureCount);
    }
    CaptureCorners(dc);
    LastSlideTime = GetTickCount();
}

void TVylaScrnSavWindow::StepCorners(TDC& dc)
{
    std::uint32_t now = GetTickCount();
    if (!Due(now, LastFrameTime, static_cast<std::uint32_t>(FrameDelay)))
        return;
    LastFrameTime = now;

    const int cw = CornerWidth, ch = CornerHeight, tw = TileWidth, th = TileHeight;
    struct Corner {
        int bufferX, bufferY;  // quadrant of the corner buffer
        int cellX, cellY;      // offset of the shown portion within a cell
        int screenX, screenY;
        int step;
    };
    const Corner corners[4] = {
        {0, 0, tw - cw, th - ch, 0, 0, +1},                                // top-left: bottom-right of the cell
        {cw, 0, 0, th - ch, Attr.W - cw, 0, -1},                           // top-right: bottom-left
        {0, ch, tw - cw, 0, 0, Attr.H - ch, -1},                           // bottom-left: top-right
        {cw, ch, 0, 0, Attr.W - cw, Attr.H - ch, +1},                      // bottom-right: top-left
    };
    for (int i = 0; i < 4; ++i) {
        const Corner& c = corners[i];
        int cell = FrameCounter[i] * tw + c.cellX;
        WorkDC->BitBlt(0, 0, cw, ch, *CornerDC, c.bufferX, c.bufferY, SRCCOPY);
        WorkDC->BitBlt(0, 0, cw, ch, MaskDC, cell, c.cellY, SRCAND);
        WorkDC->BitBlt(0, 0, cw, ch, ImageDC, cell, c.cellY, SRCPAINT);
        dc.BitBlt(c.screenX, c.screenY, cw, ch, *WorkDC, 0, 0, SRCCOPY);
        int next = FrameCounter[i] + c.step;
        FrameCounter[i] = next >= kCells ? 0 : next < 0 ? kCells - 1 : next;
    }
}
