// TFrameWindow: a top-level window, the kind an application's main window is.
#pragma once

#include "framework/window.h"

class TFrameWindow : public TWindow {
public:
    // clientWnd and shrinkToClient are accepted for the framework's shape; a
    // frame here never has a client window.
    TFrameWindow(TWindow* parent, const char* title = nullptr, TWindow* clientWnd = nullptr, bool shrinkToClient = false,
                 TModule* module = nullptr);
    ~TFrameWindow() override;
};
