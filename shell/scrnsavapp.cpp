#include "shell/scrnsavapp.h"

#include <algorithm>
#include <memory>

#include "shell/scrnsavwin.h"

namespace {
// The class atom of the system's dialog boxes.
constexpr WORD kDialogClassAtom = 0x8002;
}  // namespace

TScrnSavApp::TScrnSavApp(const char* name) : TApplication(name, GlobalModule, nullptr), ConfigDialog(nullptr), SaverWindow(nullptr)
{
}

// The framework deletes the saver window and Run deletes the dialog.
TScrnSavApp::~TScrnSavApp() = default;

int TScrnSavApp::Run()
{
    const char* cmdLine = GetCmdLine().c_str();
    if (lstrcmpA(cmdLine, "/c") != 0 && lstrcmpA(cmdLine, "-c") != 0) {
        ConfigMode = false;
        return TApplication::Run();
    }

    ConfigMode = true;
    MakeConfigDialog();
    std::unique_ptr<TWindow> owner;
    if (HWND desktop = FindWindowA(MAKEINTATOM(kDialogClassAtom), "Desktop"))
        owner = std::make_unique<TWindow>(desktop, nullptr);
    // An application without a dialog has nothing to configure: the run
    // simply ends.
    if (ConfigDialog) {
        if (owner)
            ConfigDialog->SetParent(owner.get());
        ConfigDialog->Execute();
    }
    delete ConfigDialog;
    ConfigDialog = nullptr;
    owner.reset();  // the alias only: the window it stands for stays
    return 0;
}

bool TScrnSavApp::IdleAction(long)
{
    if (ConfigMode)
        return false;
    std::uint32_t elapsed = GetTickCount() - LastTick;
    bool step;
    if (PacingMode == 2)
        step = true;
    else if (PacingMode == 1 && elapsed > 10)
        step = true;
    else
        step = elapsed > 50;
    if (step) {
        SaverWindow->StepAnimation();
        // Measured from the end of the step: drawing time does not count.
        LastTick = GetTickCount();
    }
    return true;
}

DWORD TScrnSavApp::IdleDelay()
{
    if (ConfigMode)
        return INFINITE;
    DWORD pacing;
    if (PacingMode == 2) {
        // A step on every idle call: as often as the framework's loop would call.
        pacing = TApplication::IdleDelay();
    } else {
        // IdleAction steps once elapsed is past the threshold.
        std::uint32_t threshold = PacingMode == 1 ? 10 : 50;
        std::uint32_t elapsed = GetTickCount() - LastTick;
        pacing = elapsed > threshold ? 0 : threshold + 1 - elapsed;
    }
    // A step before the window has anything due would draw nothing, yet move
    // LastTick on and so delay the step that does draw.
    DWORD window = SaverWindow ? SaverWindow->NextStepDelay() : 0;
    return std::max(pacing, window);
}

void TScrnSavApp::InstallMainWindow()
{
    ConfigMode = false;
    MakeSaverWindow();
    if (SaverWindow)
        MainWindow = SaverWindow;
    LastTick = GetTickCount();
}

void TScrnSavApp::MakeSaverWindow()
{
    SaverWindow = new TScrnSavWindow(nullptr, nullptr, nullptr);
}

void TScrnSavApp::MakeConfigDialog() {}
