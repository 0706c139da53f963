#include "shell/scrnsavapp.h"

#include <algorithm>
#include <memory>

#include "framework/platform_hooks.h"
#include "shell/scrnsavwin.h"

namespace {
// The class atom of the system's dialog boxes.
constexpr WORD kDialogClassAtom = 0x8002;

HWND WindowFromNumber(std::uintptr_t number)
{
    return reinterpret_cast<HWND>(number);
}

// When a pacing mode lets StepAnimation run: on every idle call, or once
// more than Threshold milliseconds have passed since the end of the last step.
struct TPacingRule {
    bool EveryCall;
    std::uint32_t Threshold;
};

TPacingRule PacingRule(int pacingMode)
{
    switch (pacingMode) {
    case 2:
        return {true, 0};
    case 1:
        return {false, 10};
    default:
        return {false, 50};
    }
}
}  // namespace

TScrnSavApp::TScrnSavApp(const char* name) : TApplication(name, GlobalModule), ConfigDialog(nullptr), SaverWindow(nullptr)
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
    const TPacingRule rule = PacingRule(PacingMode);
    if (rule.EveryCall || now - LastTick > rule.Threshold) {
        SaverWindow->StepAnimation();
        // Measured from the end of the step: drawing time does not count.
        LastTick = GetTickCount();
    }
    return true;
}

// How long the message loop sleeps between idle calls: until IdleAction's
// pacing allows a step and the window has something due, whichever is later.
// (The window's own answer: TScrnSavWindow::NextStepDelay.)
DWORD TScrnSavApp::IdleDelay()
{
    if (ConfigMode)
        return INFINITE;
    const TPacingRule rule = PacingRule(PacingMode);
    DWORD pacing;
    if (rule.EveryCall) {
        // As often as the framework's loop would call.
        pacing = TApplication::IdleDelay();
    } else {
        const std::uint32_t elapsed = GetTickCount() - LastTick;
        pacing = elapsed > rule.Threshold ? 0 : rule.Threshold + 1 - elapsed;
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
    if (SaverWindow) {
        MainWindow = SaverWindow;
        PacingMode = SaverWindow->GetPacingMode();
    }
    LastTick = GetTickCount();
}

void TScrnSavApp::MakeSaverWindow()
{
    SaverWindow = new TScrnSavWindow(PreviewPane.get(), nullptr, nullptr);
}

void TScrnSavApp::MakeConfigDialog() {}
