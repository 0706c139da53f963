#include "framework/dialog.h"

#include "framework/application.h"
#include "framework/platform_hooks.h"
#include "framework/module.h"

TDialog::TDialog(TWindow* parent, const char* templateName, TModule* module)
    : TWindow(parent, nullptr, module), TemplateName(templateName ? templateName : "")
{
}

TDialog::~TDialog() = default;

int TDialog::Execute()
{
    HINSTANCE instance = GetModule() ? GetModule()->GetHandle() : nullptr;
    HWND owner = Parent ? Parent->GetHandle() : nullptr;
    INT_PTR result = RunModalDialog(instance, TemplateName.c_str(), owner, DialogProc, reinterpret_cast<LPARAM>(this));
    HWindow = nullptr;
    if (TApplication* app = GetApplication())
        app->ResumeThrow();
    return static_cast<int>(result);
}

void TDialog::CloseWindow(int retValue)
{
    if (HWindow)
        EndDialog(HWindow, retValue);
}

void TDialog::CmOk()
{
    CloseWindow(IDOK);
}

void TDialog::CmCancel()
{
    if (HWindow)
        EndDialog(HWindow, IDCANCEL);
}

bool TDialog::Find(TEventInfo& info)
{
    // Closing from the title bar or the system menu cancels: nothing the
    // user changed is applied unless OK is chosen.
    static constexpr TResponseTableEntry entries[] = {
        EvCommand<IDOK, &TDialog::CmOk>(),
        EvCommand<IDCANCEL, &TDialog::CmCancel>(),
        EvVoid<WM_CLOSE, &TDialog::CmCancel>(),
    };
    return SearchEntries(entries, info) || TWindow::Find(info);
}

LRESULT TDialog::DefaultProcessing()
{
    // In a dialog, the system's handling is the dialog manager's, which runs
    // when the dialog procedure says it did not handle the message.
    Handled = false;
    return 0;
}

LRESULT TDialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    Handled = true;
    LRESULT result = TWindow::WindowProc(msg, wParam, lParam);
    return Handled ? (result ? result : TRUE) : FALSE;
}

INT_PTR CALLBACK TDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<TDialog*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
        self->HWindow = hwnd;
        try {
            self->SetupWindow();
        } catch (...) {
            self->SuspendThrow();
            EndDialog(hwnd, -1);
        }
        return TRUE;
    }
    if (!self)
        return FALSE;
    try {
        LRESULT result = self->WindowProc(msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->HWindow = nullptr;
        }
        return result;
    } catch (...) {
        self->SuspendThrow();
        EndDialog(hwnd, -1);
        return TRUE;
    }
}
