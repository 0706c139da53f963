// TScrnSavApp: the generic screen-saver application. The command line picks
// configuration mode, the preview inside a given window, or saver mode
// (shell/command_line.h).
#pragma once

#include <cstdint>
#include <memory>

#include "framework/framework.h"
#include "shell/command_line.h"

class TScrnSavWindow;

class TScrnSavApp : public TApplication {
public:
    explicit TScrnSavApp(const char* name);
    ~TScrnSavApp() override;

    int Run() override;
    bool IdleAction(long idleCount) override;
    // Until the pacing allows a step and the saver window has something due.
    DWORD IdleDelay() override;
    void InstallMainWindow() override;

    // Factories a specific saver overrides. The saver window is made with
    // PreviewPane as its parent: null, or in a preview the pane to draw in.
    virtual void MakeSaverWindow();
    virtual void MakeConfigDialog();

    bool ConfigMode = false;
    TDialog* ConfigDialog;
    TScrnSavWindow* SaverWindow;
    // The pace of StepAnimation calls, as the saver window chose it: 2 a
    // step on every idle call, 1 when more than 10 ms have passed since the
    // last one, any other value when more than 50 ms have.
    int PacingMode = 0;
    std::uint32_t LastTick = 0;
    // In a preview, the window the system gave to draw in; null otherwise.
    std::unique_ptr<TWindow> PreviewPane;

private:
    std::uint32_t LastPaneCheck = 0;
    static constexpr std::uint32_t kPaneCheckInterval = 100;  // milliseconds

    int RunConfiguration(const TSaverRequest& request);
    int RunPreview(HWND pane);
};
