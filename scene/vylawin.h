// TVylaScrnSavWindow: the scene. On its first step it darkens an ornamental
// border into the desktop picture; then it turns a flower at each screen
// corner and, when the slideshow is on, shows silhouettes inside the border.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/framework.h"
#include "shell/scrnsavwin.h"

class TVylaScrnSavWindow : public TScrnSavWindow {
public:
    TVylaScrnSavWindow(TWindow* parent, const char* title, TModule* module);
    ~TVylaScrnSavWindow() override;

    void StepAnimation() override;
    // Until the next corner frame or slide; at once before the border.
    DWORD NextStepDelay() override;
    const char* GetClassName() override;
    void GetWindowClass(WNDCLASSA& wndClass) override;

    static constexpr unsigned kMaxPictures = 13;
    static constexpr int kCells = 16;

private:
    // Tests read the scene's state through it (tests/support).
    friend class TVylaScrnSavWindowProbe;

    void DrawBorder(TDC& dc);
    void LoadPictures();
    void CaptureCorners(TDC& dc);
    void StepSlideshow(TDC& dc);
    void StepCorners(TDC& dc);
    void FindChangedPixels(const TDC& desktop);
    bool CornersOverlap() const;

    int ScreenWidth;
    int ScreenHeight;
    int CornerWidth, CornerHeight;
    int TileWidth, TileHeight;
    bool BorderDrawn;
    TRect PictureArea;
    unsigned PictureCount;
    unsigned DrawPosition;
    int Color;
    int FrameDelay;
    int SlidesOn;
    std::uint32_t SlideInterval;
    std::uint32_t LastFrameTime;
    std::uint32_t LastSlideTime;
    int FrameCounter[4];
    // The corners' background was captured again: the next frame draws in full.
    bool FullFrameDue;

    // The surfaces and pictures, declared in the reverse of the order they
    // go in: once the destructor has selected every surface's earlier
    // objects back, the strip bitmaps go, then the strip pictures, the
    // snapshot, the corner buffer and the work surface (each bitmap before
    // its surface), the silhouettes and the draw order, and last the strip
    // surfaces, image before mask.
    TMemoryDC MaskDC;
    TMemoryDC ImageDC;
    std::unique_ptr<int[]> DrawOrder;
    std::unique_ptr<std::unique_ptr<TDib>[]> Pictures;
    std::unique_ptr<TMemoryDC> WorkDC;
    std::unique_ptr<TBitmap> WorkBitmap;
    std::unique_ptr<TMemoryDC> CornerDC;
    std::unique_ptr<TBitmap> CornerBitmap;
    std::unique_ptr<TMemoryDC> SnapshotDC;
    std::unique_ptr<TBitmap> SnapshotBitmap;
    std::unique_ptr<TDib> ImageDib;
    std::unique_ptr<TDib> MaskDib;
    std::unique_ptr<TBitmap> ImageBitmap;
    std::unique_ptr<TBitmap> MaskBitmap;

    // Between cells k and k + 1 (mod 16), the pixels of corner i's square
    // that differ in mask or image: all a frame changes there, whichever
    // way the flower turns. Null when the strips could not be read.
    std::unique_ptr<TRegion> ChangedPixels[kCells][4];
};
