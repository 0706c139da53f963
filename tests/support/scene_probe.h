// The scene window's state, for tests that check it pixel for pixel and
// benchmarks that hold its clock. The two timers are writable, so that a
// test can start them anywhere in the tick range, and so is the full-frame
// flag, so that a test can draw every frame in full.
#pragma once

#include <cstdint>
#include <memory>

#include "scene/vylawin.h"

class TVylaScrnSavWindowProbe {
public:
    explicit TVylaScrnSavWindowProbe(TVylaScrnSavWindow& w)
        : Attr(w.Attr), ScreenWidth(w.ScreenWidth), ScreenHeight(w.ScreenHeight), CornerWidth(w.CornerWidth),
          CornerHeight(w.CornerHeight), TileWidth(w.TileWidth), TileHeight(w.TileHeight), BorderDrawn(w.BorderDrawn),
          PictureArea(w.PictureArea), PictureCount(w.PictureCount), DrawPosition(w.DrawPosition), Color(w.Color),
          FrameDelay(w.FrameDelay), SlidesOn(w.SlidesOn), SlideInterval(w.SlideInterval), LastFrameTime(w.LastFrameTime),
          LastSlideTime(w.LastSlideTime), FrameCounter(w.FrameCounter), FullFrameDue(w.FullFrameDue), ChangedPixels(w.ChangedPixels), MaskDC(w.MaskDC), ImageDC(w.ImageDC),
          DrawOrder(w.DrawOrder), Pictures(w.Pictures), WorkDC(w.WorkDC), WorkBitmap(w.WorkBitmap), CornerDC(w.CornerDC),
          CornerBitmap(w.CornerBitmap), SnapshotDC(w.SnapshotDC), SnapshotBitmap(w.SnapshotBitmap), ImageDib(w.ImageDib),
          MaskDib(w.MaskDib), ImageBitmap(w.ImageBitmap), MaskBitmap(w.MaskBitmap)
    {
    }

    const TWindowAttr& Attr;
    const int& ScreenWidth;
    const int& ScreenHeight;
    const int& CornerWidth;
    const int& CornerHeight;
    const int& TileWidth;
    const int& TileHeight;
    const bool& BorderDrawn;
    const TRect& PictureArea;
    const unsigned& PictureCount;
    const unsigned& DrawPosition;
    const int& Color;
    const int& FrameDelay;
    const int& SlidesOn;
    const std::uint32_t& SlideInterval;
    std::uint32_t& LastFrameTime;
    std::uint32_t& LastSlideTime;
    const int (&FrameCounter)[4];
    bool& FullFrameDue;
    const std::unique_ptr<TRegion> (&ChangedPixels)[TVylaScrnSavWindow::kCells][4];
    const TMemoryDC& MaskDC;
    const TMemoryDC& ImageDC;
    const std::unique_ptr<int[]>& DrawOrder;
    const std::unique_ptr<std::unique_ptr<TDib>[]>& Pictures;
    const std::unique_ptr<TMemoryDC>& WorkDC;
    const std::unique_ptr<TBitmap>& WorkBitmap;
    const std::unique_ptr<TMemoryDC>& CornerDC;
    const std::unique_ptr<TBitmap>& CornerBitmap;
    const std::unique_ptr<TMemoryDC>& SnapshotDC;
    const std::unique_ptr<TBitmap>& SnapshotBitmap;
    const std::unique_ptr<TDib>& ImageDib;
    const std::unique_ptr<TDib>& MaskDib;
    const std::unique_ptr<TBitmap>& ImageBitmap;
    const std::unique_ptr<TBitmap>& MaskBitmap;
};
