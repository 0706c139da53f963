// Modal dialogs on Windows: made with the Unicode call, so the template's
// Unicode captions stay Unicode whatever the code page of non-Unicode
// programs, and drawn with a font that has glyphs for them.
#include "framework/modal_dialog.h"

#include <string>

#include "win32/dialog_font.h"

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

std::wstring Widened(const char* text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

}  // namespace

INT_PTR RunModalDialog(HINSTANCE instance, const char* templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    ModalSession session{proc, param, {}};
    const std::wstring name = IS_INTRESOURCE(templateName) ? std::wstring() : Widened(templateName);
    LPCWSTR resource = IS_INTRESOURCE(templateName) ? reinterpret_cast<LPCWSTR>(templateName) : name.c_str();
    return DialogBoxParamW(instance, resource, owner, ForwardingProc, reinterpret_cast<LPARAM>(&session));
}
