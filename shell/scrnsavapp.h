// TScrnSavApp: the generic screen-saver application. The command line picks
// configuration mode ("/c" or "-c", exactly) or saver mode (anything else).
#pragma once

#include <cstdint>

#include "framework/framework.h"

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

    // Factories a specific saver overrides.
    virtual void MakeSaverWindow();
    virtual void MakeConfigDialog();

    bool ConfigMode = false;
    TDialog* ConfigDialog;
    TScrnSavWindow* SaverWindow;
    // The pace of StepAnimation calls. A saver window that does not choose
    // one gets 0: a step when more than 50 ms have passed.
    int PacingMode = 0;
    std::uint32_t LastTick = 0;
};
