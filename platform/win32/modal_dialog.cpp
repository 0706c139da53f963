// Modal dialogs on Windows: made with the Unicode call, so the template's
// Unicode captions stay Unicode whatever the code page of non-Unicode
// programs, and drawn with a font that has glyphs for them.
#include "win32/modal_dialog.h"

#include <string>

#include "win32/dialog_font.h"
#include "win32/wide_text.h"

namespace {

constexpr const wchar_t* kSessionProperty = L"VylaModalDialog";

// One running dialog: the procedure and parameter it was asked for, and the
// font its controls draw with, which must outlive the controls.
struct ModalSession {
    DLGPROC proc;
    LPARAM param;
    vyla::win32::DialogFont font;
};

INT_PTR CALLBACK ForwardingProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        auto* session = reinterpret_cast<ModalSession*>(lParam);
        SetPropW(dialog, kSessionProperty, session);
        session->font.Apply(dialog);
        return session->proc(dialog, msg, wParam, session->param);
    }
    auto* session = static_cast<ModalSession*>(GetPropW(dialog, kSessionProperty));
    if (!session)
        return FALSE;
    if (msg == WM_NCDESTROY)
        RemovePropW(dialog, kSessionProperty);
    return session->proc(dialog, msg, wParam, lParam);
}

}  // namespace

namespace vyla::win32 {

INT_PTR RunUnicodeDialog(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    ModalSession session{proc, param, {}};
    const std::wstring name = IS_INTRESOURCE(templateName) ? std::wstring() : Widened(templateName, CP_ACP);
    LPCWSTR resource = IS_INTRESOURCE(templateName) ? reinterpret_cast<LPCWSTR>(templateName) : name.c_str();
    return DialogBoxParamW(instance, resource, owner, ForwardingProc, reinterpret_cast<LPARAM>(&session));
}

}  // namespace vyla::win32
