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

    // Control identifiers of "IDD_CONFIGURE".
    enum : int {
        IdGirls = 101,
        IdInterval = 102,
        IdColorGroup = 110,
        IdCrimson = 111,
        IdWhite = 112,
        IdSpeedGroup = 120,
        IdSlow = 121,
        IdNormal = 122,
        IdFast = 123,
    };
};
