// The scene as the program makes it: the application installs its saver
// window on a headless screen, and the test (or benchmark) calls its steps
// at ticks of its choosing and reads its state.
#pragma once

#include <memory>
#include <string>

#include "scene/vylaapp.h"
#include "scene/vylawin.h"
#include "support/headless_system.h"
#include "support/scene_probe.h"
#include "support/text_files.h"

namespace vyla::testing {

class SceneRun {
public:
    // settings: the text of vyla.ini, none for nullptr. The desktop is what
    // the host's screen holds once prepareDesktop has drawn it.
    template <typename PrepareDesktop>
    SceneRun(Size screen, const char* settings, ResourceSet resources, PrepareDesktop prepareDesktop)
        : sys(screen, std::move(resources))
    {
        if (settings)
            WriteText(sys.SettingsFile(), settings);
        prepareDesktop(sys.host);
        TApplication::InitCmdLine = "/s";
        app = std::make_unique<TVylaScrnSavApp>("Vyla Screen Saver");
        app->InstallMainWindow();
        win = static_cast<TVylaScrnSavWindow*>(app->SaverWindow);
        win->Create();
        win->ShowWindow(SW_SHOW);
        state = std::make_unique<TVylaScrnSavWindowProbe>(*win);
    }
    SceneRun(Size screen, const char* settings, ResourceSet resources = BuiltinResources())
        : SceneRun(screen, settings, std::move(resources), [](headless::HeadlessHost&) {})
    {
    }

    void Step(DWORD tick)
    {
        sys.host.SetTick(tick);
        win->StepAnimation();
    }
    DWORD DelayAt(DWORD tick)
    {
        sys.host.SetTick(tick);
        return win->NextStepDelay();
    }

    HeadlessSystem sys;
    std::unique_ptr<TVylaScrnSavApp> app;
    TVylaScrnSavWindow* win = nullptr;  // the application's main window
    std::unique_ptr<TVylaScrnSavWindowProbe> state;
};

}  // namespace vyla::testing
