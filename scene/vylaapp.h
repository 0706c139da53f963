// TVylaScrnSavApp: this saver's application: the scene window in saver
// mode, the settings dialog in configuration mode.
#pragma once

#include "shell/scrnsavapp.h"

class TVylaScrnSavApp : public TScrnSavApp {
public:
    explicit TVylaScrnSavApp(const char* name);
    ~TVylaScrnSavApp() override;

    void MakeSaverWindow() override;
    void MakeConfigDialog() override;
};
