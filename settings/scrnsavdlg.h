// TScrnSavDlg: the configuration dialog. It shows the four settings when it
// opens and writes all four when confirmed with OK; Cancel writes nothing.
#pragma once

#include "framework/framework.h"

class TScrnSavDlg : public TDialog {
public:
    TScrnSavDlg(TWindow* parent, const char* templateName, TModule* module);
    ~TScrnSavDlg() override;

    void CloseWindow(int retValue) override;
    void SetupWindow() override;
    bool Find(TEventInfo& info) override;
};
