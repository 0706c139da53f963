// TScrnSavWindow: the full-screen saver window. It hides the cursor for its
// lifetime, covers the desktop without painting it, and asks to be closed at
// the first sign of the user. Made with a parent, it is instead the preview
// inside that window: the screen shrunk to the parent's client area.
#pragma once

#include "framework/framework.h"

class TScrnSavWindow : public TFrameWindow {
public:
    TScrnSavWindow(TWindow* parent, const char* title, TModule* module);
    ~TScrnSavWindow() override;

    void SetupWindow() override;
    bool Find(TEventInfo& info) override;
    // Draws one animation step; called from idle time. Nothing here.
    virtual void StepAnimation();
    // Milliseconds until StepAnimation would next draw something: 0 when it
    // might now, INFINITE when only a message can change that. The idle loop
    // sleeps that long. Here, as StepAnimation cannot say: 0.
    virtual DWORD NextStepDelay();
    const char* GetClassName() override;
    void GetWindowClass(WNDCLASSA& wndClass) override;

    // What the scene asks instead of GetSystemMetrics: in a preview the
    // screen is the pane, SM_CXSCREEN and SM_CYSCREEN its client size.
    int ScreenMetric(int index) const;
    // The pace the window asks its application to call StepAnimation at
    // (TScrnSavApp::PacingMode); chosen in the constructor.
    int GetPacingMode() const { return PacingMode; }
    bool IsPreview() const { return GetParentO() != nullptr; }

    TPoint StartCursorPos;

protected:
    // A window that chooses no pace gets 0: a step when more than 50 ms have passed.
    int PacingMode = 0;

    void EvMouseMove(UINT modKeys, const TPoint& point);
    void EvButtonDown(UINT modKeys, const TPoint& point);
    void EvActivate(UINT state, bool minimized, HWND other);
    void EvActivateApp(bool active, DWORD threadId);
    void EvKeyDown(UINT key, UINT repeatCount, UINT flags);
    void EvSysCommand(UINT command, const TPoint& point);

private:
    void RequestClose();
};
