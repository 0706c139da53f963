#include "scene/vylaapp.h"

#include "scene/vylawin.h"
#include "settings/scrnsavdlg.h"

TVylaScrnSavApp::TVylaScrnSavApp(const char* name) : TScrnSavApp(name) {}

TVylaScrnSavApp::~TVylaScrnSavApp() = default;

void TVylaScrnSavApp::MakeSaverWindow()
{
    SaverWindow = new TVylaScrnSavWindow(PreviewPane.get(), "Vyla Screen Saver", nullptr);
}

void TVylaScrnSavApp::MakeConfigDialog()
{
    ConfigDialog = new TScrnSavDlg(nullptr, "IDD_CONFIGURE", this);
}

// The application main function.
int AppMain(int, char*[])
{
    TVylaScrnSavApp app("Vyla Screen Saver");
    return app.Run();
}
