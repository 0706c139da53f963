#include "framework/frame_window.h"

TFrameWindow::TFrameWindow(TWindow* parent, const char* title, TModule* module)
    : TWindow(parent, title, module)
{
    Attr.Style = WS_OVERLAPPEDWINDOW;
    Attr.X = CW_USEDEFAULT;
    Attr.W = CW_USEDEFAULT;
}

TFrameWindow::~TFrameWindow() = default;
