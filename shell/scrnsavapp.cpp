#include "shell/scrnsavapp.h"

#include <algorithm>
#include <memory>

#include "framework/system_conventions.h"
#include "shell/scrnsavwin.h"

namespace {
// The class atom of the system's dialog boxes.
constexpr WORD kDialogClassAtom = 0x8002;

HWND WindowFromNumber(std::uintptr_t number)
{
    return reinterpret_cast<HWND>(number);
}
}  // namespace

TScrnSavApp::TScrnSavApp(const char* name) : TApplication(name, GlobalModule, nullptr), ConfigDialog(nullptr), SaverWindow(nullptr)
{
}

// The framework deletes the saver window and Run deletes the dialog.
TScrnSavApp::~TScrnSavApp() = default;

int TScrnSavApp::Run()
{
    const TSaverRequest request = ParseSaverCommandLine(GetCmdLine().c_str(), EmptyCommandLineConfigures());
    switch (request.Command) {
    case TSaverCommand::Nothing:
        return 0;
    case TSaverCommand::Preview:
        return RunPreview(WindowFromNumber(request.Window));
    case TSaverCommand::Configure:
        return RunConfiguration(request);
    case TSaverCommand::Run:
        break;
    }
    ConfigMode = false;
    return TApplication::Run();
}

int TScrnSavApp::RunConfiguration(const TSaverRequest& request)
{
    ConfigMode = true;
    MakeConfigDialog();
    std::unique_ptr<TWindow> owner;
    if (request.HasWindow) {
        // The window the system named owns the dialog; a number that is no
        // window leaves it without an owner.
        if (HWND named = WindowFromNumber(request.Window); IsWindow(named))
            owner = std::make_unique<TWindow>(named, nullptr);
    } else if (HWND desktop = FindWindowA(MAKEINTATOM(kDialogClassAtom), "Desktop")) {
        owner = std::make_unique<TWindow>(desktop, nullptr);
    }
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

int TScrnSavApp::RunPreview(HWND pane)
{
    // A pane that is already gone, or has no area, has nothing to show.
    RECT area{};
    if (!IsWindow(pane) || !GetClientRect(pane, &area) || area.right <= 0 || area.bottom <= 0)
        return 0;
    ConfigMode = false;
    PreviewPane = std::make_unique<TWindow>(pane, nullptr);
    int status = TApplication::Run();
    PreviewPane.reset();
    return status;
}

bool TScrnSavApp::IdleAction(long)
{
    if (ConfigMode)
        return false;
    const std::uint32_t now = GetTickCount();
    // The system destroys the preview with its pane; should it not, the
    // preview ends all the same. Asked now and then only: the pane belongs
    // to another process, and asking about it is a trip to the system.
    if (PreviewPane && now - LastPaneCheck >= kPaneCheckInterval) {
        LastPaneCheck = now;
        if (!IsWindow(PreviewPane->GetHandle())) {
            PostQuitMessage(0);
            return true;
        }
    }
    std::uint32_t elapsed = now - LastTick;
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
    SaverWindow = new TScrnSavWindow(PreviewPane.get(), nullptr, nullptr);
}

void TScrnSavApp::MakeConfigDialog() {}
