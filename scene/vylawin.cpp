#include "scene/vylawin.h"

#include <algorithm>
#include <cstdint>
#include <vector>

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

// Where a corner's square sits in its cell, and how its counter steps; the
// screen position follows from the window's size.
struct CornerPlace {
    bool right, bottom;      // on the right / bottom edge of the screen
    bool cellRight, cellBottom;  // shows the right / bottom part of the cell
    int step;
};
constexpr CornerPlace kCorners[4] = {
    {false, false, true, true, +1},   // top-left: bottom-right of the cell
    {true, false, false, true, -1},   // top-right: bottom-left
    {false, true, true, false, -1},   // bottom-left: top-right
    {true, true, false, false, +1},   // bottom-right: top-left
};

// Rows of the strips read at a time while looking for changed pixels.
constexpr int kBandRows = 32;
// The changed pixels are kept as spans over this many rows, and unchanged
// gaps in a span up to kSpanGap wide are drawn anyway: fewer, larger
// rectangles cost less to clip to and present than the few pixels they add.
constexpr int kRowGroup = 16;
constexpr int kSpanGap = 64;

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
    FindChangedPixels(*desktop);

    desktop.reset();
    ReleaseDC(desktopWindow, desktopHandle);

    LastFrameTime = 0;
    LastSlideTime = 0;
    std::fill(std::begin(FrameCounter), std::end(FrameCounter), 0);
    FullFrameDue = true;
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
    FullFrameDue = true;
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

    // The screen shows the previous frame over the same background, so only
    // the pixels where the cells differ change; right after a capture the
    // screen shows no flowers, and overlapping squares would each need what
    // the other drew.
    const bool clipped = !FullFrameDue && ChangedPixels[0][0] && !CornersOverlap();
    FullFrameDue = false;

    const int cw = CornerWidth, ch = CornerHeight, tw = TileWidth, th = TileHeight;
    for (int i = 0; i < 4; ++i) {
        const CornerPlace& c = kCorners[i];
        const int bufferX = c.right ? cw : 0, bufferY = c.bottom ? ch : 0;
        const int screenX = c.right ? Attr.W - cw : 0, screenY = c.bottom ? Attr.H - ch : 0;
        const int cell = FrameCounter[i] * tw + (c.cellRight ? tw - cw : 0);
        const int cellY = c.cellBottom ? th - ch : 0;
        if (clipped) {
            // The cell shown last frame: one back along the turn.
            const int pair = c.step > 0 ? (FrameCounter[i] + kCells - 1) % kCells : FrameCounter[i];
            const TRegion& changed = *ChangedPixels[pair][i];
            WorkDC->SelectClipRgn(changed);
            dc.SelectClipRgn(changed);
            dc.OffsetClipRgn(screenX, screenY);
        }
        WorkDC->BitBlt(0, 0, cw, ch, *CornerDC, bufferX, bufferY, SRCCOPY);
        WorkDC->BitBlt(0, 0, cw, ch, MaskDC, cell, cellY, SRCAND);
        WorkDC->BitBlt(0, 0, cw, ch, ImageDC, cell, cellY, SRCPAINT);
        dc.BitBlt(screenX, screenY, cw, ch, *WorkDC, 0, 0, SRCCOPY);
        int next = FrameCounter[i] + c.step;
        FrameCounter[i] = next >= kCells ? 0 : next < 0 ? kCells - 1 : next;
    }
    if (clipped) {
        WorkDC->RemoveClipRgn();
        dc.RemoveClipRgn();
    }
}

bool TVylaScrnSavWindow::CornersOverlap() const
{
    return 2 * CornerWidth > Attr.W || 2 * CornerHeight > Attr.H;
}

void TVylaScrnSavWindow::FindChangedPixels(const TDC& desktop)
{
    const int tw = TileWidth, th = TileHeight, cw = CornerWidth, ch = CornerHeight;
    const int stripWidth = kCells * tw;
    if (tw <= 0 || th <= 0)
        return;
    const auto cellWidth = static_cast<std::size_t>(tw);
    const auto rowWidth = static_cast<std::size_t>(stripWidth);

    std::vector<TRect> rects[kCells][4];
    std::vector<std::uint32_t> mask, image, changed(cellWidth);
    // The strips are read a band of rows at a time, each while no context holds it.
    auto readBand = [&](TMemoryDC& strip, const TBitmap& bitmap, int top, int rows, std::vector<std::uint32_t>& out) {
        strip.RestoreBitmap();
        bool read = bitmap.ReadRows(desktop, stripWidth, th, top, rows, out);
        strip.SelectObject(bitmap);
        return read;
    };
    for (int top = 0; top < th; top += kBandRows) {
        const int rows = std::min(kBandRows, th - top);
        if (!readBand(MaskDC, *MaskBitmap, top, rows, mask) || !readBand(ImageDC, *ImageBitmap, top, rows, image))
            return;  // no regions: every frame draws in full
        for (int k = 0; k < kCells; ++k) {
            const std::size_t a = static_cast<std::size_t>(k) * cellWidth;
            const std::size_t b = static_cast<std::size_t>((k + 1) % kCells) * cellWidth;
            for (int group = 0; group < rows; group += kRowGroup) {
                const int groupRows = std::min(kRowGroup, rows - group);
                // Non-zero where cells k and k + 1 differ in any row of the group.
                std::fill(changed.begin(), changed.end(), 0u);
                for (int r = group; r < group + groupRows; ++r) {
                    const std::uint32_t* m = mask.data() + static_cast<std::size_t>(r) * rowWidth;
                    const std::uint32_t* i = image.data() + static_cast<std::size_t>(r) * rowWidth;
                    for (std::size_t x = 0; x < cellWidth; ++x)
                        changed[x] |= (m[a + x] ^ m[b + x]) | (i[a + x] ^ i[b + x]);
                }
                const int y0 = top + group, y1 = y0 + groupRows;
                for (int x = 0; x < tw;) {
                    if (!changed[static_cast<std::size_t>(x)]) {
                        ++x;
                        continue;
                    }
                    int end = x + 1;
                    for (int gap = 0; end + gap < tw && gap <= kSpanGap;) {
                        if (changed[static_cast<std::size_t>(end + gap)]) {
                            end += gap + 1;
                            gap = 0;
                        } else {
                            ++gap;
                        }
                    }
                    // The span in the square of each corner whose part of the cell holds it.
                    for (int c = 0; c < 4; ++c) {
                        const int left = kCorners[c].cellRight ? tw - cw : 0;
                        const int upper = kCorners[c].cellBottom ? th - ch : 0;
                        const int from = std::max(x, left), to = std::min(end, left + cw);
                        const int fromY = std::max(y0, upper), toY = std::min(y1, upper + ch);
                        if (from < to && fromY < toY)
                            rects[k][c].push_back(TRect(from - left, fromY - upper, to - left, toY - upper));
                    }
                    x = end;
                }
            }
        }
    }
    for (int k = 0; k < kCells; ++k)
        for (int c = 0; c < 4; ++c)
            ChangedPixels[k][c] = std::make_unique<TRegion>(rects[k][c]);
}
