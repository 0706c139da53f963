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

    int ScreenWidth;
    int ScreenHeight;
    int CornerWidth, CornerHeight;
    int TileWidth, TileHeight;
    bool BorderDrawn;
    std::unique_ptr<TMemoryDC> SnapshotDC;
    std::unique_ptr<TMemoryDC> CornerDC;
    std::unique_ptr<TMemoryDC> WorkDC;
    std::unique_ptr<TBitmap> SnapshotBitmap;
    std::unique_ptr<TBitmap> CornerBitmap;
    std::unique_ptr<TBitmap> WorkBitmap;
    TMemoryDC MaskDC;
    TMemoryDC ImageDC;
    std::unique_ptr<TDib> MaskDib;
    std::unique_ptr<TDib> ImageDib;
    std::unique_ptr<TBitmap> MaskBitmap;
    std::unique_ptr<TBitmap> ImageBitmap;
    std::unique_ptr<std::unique_ptr<TDib>[]> Pictures;
    TRect PictureArea;
    unsigned PictureCount;
    unsigned DrawPosition;
    std::unique_ptr<int[]> DrawOrder;
    int Color;
    int FrameDelay;
    int SlidesOn;
    std::uint32_t SlideInterval;
    std::uint32_t LastFrameTime;
    std::uint32_t LastSlideTime;
    int FrameCounter[4];

private:
    void DrawBorder(TDC& dc);
    void LoadPictures();
    void CaptureCorners(TDC& dc);
    void StepSlideshow(TDC& dc);
    void StepCorners(TDC& dc);
};
