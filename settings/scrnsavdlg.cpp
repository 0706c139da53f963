#include "settings/scrnsavdlg.h"

#include "resources/configure_dialog.h"
#include "settings/decimal.h"
#include "settings/save_failure.h"
#include "settings/settings.h"

namespace {

constexpr UINT kMessageIconStop = 0x10;  // MB_ICONSTOP with an OK button

// The button a stored value selects in a radio group. A value outside the
// group (only possible by editing the file) selects none, so the group
// shows nothing checked; computed without overflow for any stored value.
int ButtonFor(int first, int last, int value)
{
    long long id = static_cast<long long>(first) + value;
    return id >= first && id <= last ? static_cast<int>(id) : 0;
}

}  // namespace

TScrnSavDlg::TScrnSavDlg(TWindow* parent, const char* templateName, TModule* module) : TDialog(parent, templateName, module) {}

TScrnSavDlg::~TScrnSavDlg() = default;

bool TScrnSavDlg::Find(TEventInfo& info)
{
    static constexpr TResponseTableEntry entries[] = {
        EvCommand<IDCANCEL, &TScrnSavDlg::CmCancel>(),
    };
    return SearchEntries(entries, info) || TDialog::Find(info);
}

void TScrnSavDlg::SetupWindow()
{
    TDialog::SetupWindow();
    TProfile profile(Settings::kSection, Settings::kFileName);
    HWND dlg = GetHandle();
    CheckRadioButton(dlg, IDC_CRIMSON, IDC_WHITE, ButtonFor(IDC_CRIMSON, IDC_WHITE, profile.GetInt(Settings::kColor, 0)));
    CheckRadioButton(dlg, IDC_SLOW, IDC_FAST, ButtonFor(IDC_SLOW, IDC_FAST, profile.GetInt(Settings::kSpeed, 0)));
    CheckDlgButton(dlg, IDC_GIRLS, static_cast<UINT>(profile.GetInt(Settings::kGirls, 0)));
    char text[16];
    wsprintfA(text, "%d", profile.GetInt(Settings::kInterval, 0));
    SetDlgItemTextA(dlg, IDC_INTERVAL, text);
}

// The four values go in one replacement of the file, so that a failure can
// never leave some of them saved; when none could be, the user is told where
// and why and the dialog ends as Cancel ends it.
void TScrnSavDlg::CloseWindow(int retValue)
{
    TProfileBatch profile(Settings::kSection, Settings::kFileName);
    HWND dlg = GetHandle();
    profile.WriteInt(Settings::kColor, IsDlgButtonChecked(dlg, IDC_WHITE) ? 1 : 0);
    profile.WriteInt(Settings::kSpeed, IsDlgButtonChecked(dlg, IDC_FAST) ? 2 : IsDlgButtonChecked(dlg, IDC_NORMAL) ? 1 : 0);
    profile.WriteInt(Settings::kGirls, IsDlgButtonChecked(dlg, IDC_GIRLS) ? 1 : 0);
    char text[16];
    GetDlgItemTextA(dlg, IDC_INTERVAL, text, sizeof text);
    profile.WriteInt(Settings::kInterval, DecimalToLong(text));
    if (!profile.Commit()) {
        MessageBox(SaveFailureText(profile.GetResult()).c_str(), kSaveFailureCaption, kMessageIconStop);
        CmCancel();
        return;
    }
    TDialog::CloseWindow(retValue);
}
