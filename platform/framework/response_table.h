// Response tables: how window messages reach member handlers.
//
// A class with a response table overrides Find(): it searches its own
// entries and, failing that, its base class's Find. Each entry holds the
// message number, the control id for commands, and a dispatcher that
// unpacks the message's parameters for the handler's signature.
#pragma once

#include <span>
#include <type_traits>

#include "system_api.h"
#include "framework/point_rect.h"

class TWindow;
struct TResponseTableEntry;

struct TEventInfo {
    UINT Msg;
    UINT Id;          // control id of a WM_COMMAND
    UINT NotifyCode;  // notification code of a WM_COMMAND
    WPARAM WParam;
    LPARAM LParam;
    const TResponseTableEntry* Entry = nullptr;  // set by Find
};

using TDispatcher = LRESULT (*)(TWindow& target, WPARAM wParam, LPARAM lParam);

struct TResponseTableEntry {
    UINT Msg;
    UINT Id;
    TDispatcher Dispatcher;
};

// Finds the entry for the event among entries; commands match their control
// id and notification code 0.
bool SearchEntries(std::span<const TResponseTableEntry> entries, TEventInfo& info);

namespace Dispatch {

template <class>
struct MemberOf;
template <class C, class F>
struct MemberOf<F C::*> {
    using Class = C;
};
template <auto Handler>
using ClassOf = typename MemberOf<decltype(Handler)>::Class;

template <auto Handler>
ClassOf<Handler>& Target(TWindow& w)
{
    return static_cast<ClassOf<Handler>&>(w);
}

// void Handler()
template <auto Handler>
LRESULT Void(TWindow& w, WPARAM, LPARAM)
{
    (Target<Handler>(w).*Handler)();
    return 0;
}
// void Handler(UINT modKeys, const TPoint& point): mouse messages
template <auto Handler>
LRESULT KeysPoint(TWindow& w, WPARAM wp, LPARAM lp)
{
    (Target<Handler>(w).*Handler)(static_cast<UINT>(wp), TPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
    return 0;
}
// void Handler(UINT state, bool minimized, HWND other): WM_ACTIVATE
template <auto Handler>
LRESULT Activate(TWindow& w, WPARAM wp, LPARAM lp)
{
    (Target<Handler>(w).*Handler)(LOWORD(wp), HIWORD(wp) != 0, reinterpret_cast<HWND>(lp));
    return 0;
}
// void Handler(bool active, DWORD threadId): WM_ACTIVATEAPP
template <auto Handler>
LRESULT ActivateApp(TWindow& w, WPARAM wp, LPARAM lp)
{
    (Target<Handler>(w).*Handler)(wp != 0, static_cast<DWORD>(lp));
    return 0;
}
// void Handler(UINT key, UINT repeatCount, UINT flags): key messages
template <auto Handler>
LRESULT Key(TWindow& w, WPARAM wp, LPARAM lp)
{
    (Target<Handler>(w).*Handler)(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
    return 0;
}
// void Handler(UINT command, const TPoint& point): WM_SYSCOMMAND
template <auto Handler>
LRESULT SysCommand(TWindow& w, WPARAM wp, LPARAM lp)
{
    (Target<Handler>(w).*Handler)(static_cast<UINT>(wp), TPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
    return 0;
}
// LRESULT Handler(WPARAM, LPARAM): any message, raw
template <auto Handler>
LRESULT Raw(TWindow& w, WPARAM wp, LPARAM lp)
{
    return (Target<Handler>(w).*Handler)(wp, lp);
}

}  // namespace Dispatch

// Entry builders, one per dispatcher kind.
template <UINT Msg, auto Handler>
constexpr TResponseTableEntry EvMessage()
{
    return {Msg, 0, &Dispatch::Raw<Handler>};
}
template <UINT Msg, auto Handler>
constexpr TResponseTableEntry EvMouse()
{
    return {Msg, 0, &Dispatch::KeysPoint<Handler>};
}
template <UINT Msg, auto Handler>
constexpr TResponseTableEntry EvKey()
{
    return {Msg, 0, &Dispatch::Key<Handler>};
}
template <auto Handler>
constexpr TResponseTableEntry EvActivate()
{
    return {WM_ACTIVATE, 0, &Dispatch::Activate<Handler>};
}
template <auto Handler>
constexpr TResponseTableEntry EvActivateApp()
{
    return {WM_ACTIVATEAPP, 0, &Dispatch::ActivateApp<Handler>};
}
template <auto Handler>
constexpr TResponseTableEntry EvSysCommand()
{
    return {WM_SYSCOMMAND, 0, &Dispatch::SysCommand<Handler>};
}
template <UINT Msg, auto Handler>
constexpr TResponseTableEntry EvVoid()
{
    return {Msg, 0, &Dispatch::Void<Handler>};
}
// The command from control Id, notification code 0.
template <UINT Id, auto Handler>
constexpr TResponseTableEntry EvCommand()
{
    return {WM_COMMAND, Id, &Dispatch::Void<Handler>};
}
