// The dialog manager of the portable runtime: dialogs built from template
// data, their controls' state, and the modal run through the host.
#include <algorithm>
#include <cstring>

#include "portable/winapi/functions.h"
#include "portable/dialog_session.h"
#include "portable/runtime.h"

using vyla::DialogTemplate;
using vyla::Rect;
using vyla::portable::DialogSession;
using vyla::portable::Runtime;
using vyla::portable::Window;

namespace {

constexpr DWORD kErrorResourceNotFound = 1814;

// Dialog units of the system font: a quarter of the average character
// width across and an eighth of its height down.
constexpr int kBaseUnitX = 8;
constexpr int kBaseUnitY = 16;

Rect DialogUnitsToPixels(int x, int y, int cx, int cy)
{
    return Rect::FromXYWH(x * kBaseUnitX / 4, y * kBaseUnitY / 8, cx * kBaseUnitX / 4, cy * kBaseUnitY / 8);
}

Window* DialogWindow(HWND dialog)
{
    Window* w = Runtime::Current().Windows().Find(dialog);
    return w && w->dialogProc ? w : nullptr;
}

Window* DialogControl(HWND dialog, int id)
{
    Runtime& rt = Runtime::Current();
    if (!rt.Windows().Find(dialog))
        return nullptr;
    for (Window* c : rt.Windows().Children(dialog))
        if (c->id == id)
            return c;
    return nullptr;
}

bool IsTwoStateButton(const Window& w)
{
    DWORD type = w.style & BS_TYPEMASK;
    return type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON || type == 0x2 /*check box*/ || type == 0x4 /*radio*/;
}

// The default dialog procedure: the application's procedure first, then the
// system's handling of closing.
LRESULT DialogWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = DialogWindow(hwnd);
    if (!w)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (w->dialogProc(hwnd, msg, wParam, lParam))
        return TRUE;
    switch (msg) {
    case WM_CLOSE:
        // Closing a dialog is its cancel command.
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        return 0;
    case WM_NCDESTROY:
    case WM_DESTROY:
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param)
{
    Runtime& rt = Runtime::Current();
    if (!templateName || IS_INTRESOURCE(templateName) || !proc) {
        rt.lastError = kErrorResourceNotFound;
        return -1;
    }
    const auto& dialogs = rt.GetHost().Resources().dialogs;
    auto found = dialogs.find(std::string_view(templateName));
    if (found == dialogs.end()) {
        rt.lastError = kErrorResourceNotFound;
        return -1;
    }
    const DialogTemplate& t = *found->second;
    if (owner && !rt.Windows().Find(owner))
        owner = nullptr;

    Window& d = rt.Windows().Create();
    d.windowClass = rt.Windows().FindClass(MAKEINTATOM(vyla::portable::WindowTable::kDialogClassAtom));
    d.proc = DialogWindowProc;
    d.dialogProc = proc;
    d.text = t.caption;
    d.style = t.style & ~WS_VISIBLE;
    d.exStyle = t.exStyle;
    d.owner = owner;
    Rect base = owner ? rt.Windows().Find(owner)->rect : rt.ScreenRect();
    d.rect = DialogUnitsToPixels(t.x, t.y, t.cx, t.cy).Translated(base.left, base.top);
    HWND hwnd = d.handle;

    std::vector<HWND> controls;
    for (const auto& c : t.controls) {
        Window& cw = rt.Windows().Create();
        cw.windowClass = rt.Windows().FindClass(c.windowClass);
        cw.proc = DefWindowProcA;
        cw.text = c.text;
        cw.style = c.style;
        cw.parent = hwnd;
        cw.id = c.id;
        cw.rect = DialogUnitsToPixels(c.x, c.y, c.cx, c.cy).Translated(d.rect.left, d.rect.top);
        cw.visible = (c.style & WS_VISIBLE) != 0;
        controls.push_back(cw.handle);
    }

    HWND focus = nullptr;
    for (HWND c : controls)
        if (Window* cw = rt.Windows().Find(c); cw && (cw->style & WS_TABSTOP)) {
            focus = c;
            break;
        }
    proc(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param);

    Window* dw = DialogWindow(hwnd);
    if (!dw)
        return -1;  // destroyed during set-up
    if (!dw->dialogEnded) {
        if (t.style & WS_VISIBLE) {
            dw->visible = true;
            rt.GetHost().WindowShown(hwnd, dw->rect);
        }
        DialogSession session(rt, hwnd, t, controls);
        rt.GetHost().RunModalDialog(session);
    }
    dw = DialogWindow(hwnd);
    INT_PTR result = dw ? dw->dialogResult : -1;
    if (dw)
        DestroyWindow(hwnd);
    return result;
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    Window* w = DialogWindow(dialog);
    if (!w)
        return FALSE;
    w->dialogEnded = true;
    w->dialogResult = result;
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id)
{
    Window* c = DialogControl(dialog, id);
    return c ? c->handle : nullptr;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
    Runtime& rt = Runtime::Current();
    if (!rt.Windows().Find(dialog))
        return FALSE;
    for (Window* c : rt.Windows().Children(dialog))
        if (c->id >= first && c->id <= last)
            c->checkState = c->id == check ? BST_CHECKED : BST_UNCHECKED;
    return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    Window* c = DialogControl(dialog, id);
    if (!c)
        return FALSE;
    // A two-state button takes any state above "checked" as checked.
    c->checkState = IsTwoStateButton(*c) ? std::min<UINT>(check, BST_CHECKED) : check;
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    Window* c = DialogControl(dialog, id);
    return c ? c->checkState : 0;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text)
{
    Window* c = DialogControl(dialog, id);
    if (!c)
        return FALSE;
    c->text = text ? text : "";
    return TRUE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int max)
{
    if (!buffer || max <= 0)
        return 0;
    Window* c = DialogControl(dialog, id);
    if (!c) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t n = std::min(c->text.size(), static_cast<std::size_t>(max - 1));
    std::memcpy(buffer, c->text.data(), n);
    buffer[n] = '\0';
    return static_cast<UINT>(n);
}

namespace vyla::portable {

DialogSession::DialogSession(Runtime& runtime, HWND dialog, const DialogTemplate& dialogTemplate, std::vector<HWND> controls)
    : runtime_(runtime), dialog_(dialog), template_(dialogTemplate), controls_(std::move(controls))
{
}

bool DialogSession::Ended() const
{
    Window* w = runtime_.Windows().Find(dialog_);
    return !w || w->dialogEnded;
}

INT_PTR DialogSession::Result() const
{
    Window* w = runtime_.Windows().Find(dialog_);
    return w ? w->dialogResult : -1;
}

HWND DialogSession::Control(int id) const
{
    return GetDlgItem(dialog_, id);
}

void DialogSession::Command(int id)
{
    if (Ended())
        return;
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)));
}

void DialogSession::Click(int id)
{
    Window* c = runtime_.Windows().Find(Control(id));
    if (!c || Ended())
        return;
    DWORD type = c->style & BS_TYPEMASK;
    if (c->windowClass && c->windowClass->atom == 0x0080) {
        if (type == BS_AUTORADIOBUTTON) {
            // The group runs from the control that opens it (WS_GROUP, or the
            // first control) to the next one that opens a group.
            auto self = std::find(controls_.begin(), controls_.end(), c->handle);
            auto start = self;
            while (start != controls_.begin()) {
                Window* w = runtime_.Windows().Find(*start);
                if (w && (w->style & WS_GROUP))
                    break;
                --start;
            }
            for (auto it = start; it != controls_.end(); ++it) {
                Window* w = runtime_.Windows().Find(*it);
                if (!w)
                    continue;
                if (it != start && (w->style & WS_GROUP))
                    break;
                if ((w->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                    w->checkState = w == c ? BST_CHECKED : BST_UNCHECKED;
            }
        } else if (type == BS_AUTOCHECKBOX) {
            c->checkState = c->checkState ? BST_UNCHECKED : BST_CHECKED;
        } else if (type == BS_GROUPBOX) {
            return;  // a frame, not a button
        }
    } else {
        return;
    }
    Command(id);
}

void DialogSession::SetText(int id, std::string_view text)
{
    Window* c = runtime_.Windows().Find(Control(id));
    if (!c || Ended())
        return;
    c->text = std::string(text);
}

void DialogSession::PressReturn()
{
    // Return presses the default push button, IDOK when there is none.
    int id = IDOK;
    for (HWND h : controls_)
        if (Window* w = runtime_.Windows().Find(h); w && (w->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
                                                    w->windowClass && w->windowClass->atom == 0x0080) {
            id = w->id;
            break;
        }
    Command(id);
}

void DialogSession::PressEscape()
{
    Command(IDCANCEL);
}

void DialogSession::CloseFromTitleBar()
{
    if (Ended())
        return;
    SendMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool DialogSession::IsChecked(int id) const
{
    return IsDlgButtonChecked(dialog_, id) != BST_UNCHECKED;
}

std::string DialogSession::Text(int id) const
{
    Window* c = runtime_.Windows().Find(Control(id));
    return c ? c->text : std::string();
}

}  // namespace vyla::portable
