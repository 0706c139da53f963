// TFrameWindow: a top-level window, the kind an application's main window is.
#pragma once

#include "framework/window.h"

class TFrameWindow : public TWindow {
public:
    TFrameWindow(TWindow* parent, const char* title = nullptr, TModule* module = nullptr);
    ~TFrameWindow() override;
};
