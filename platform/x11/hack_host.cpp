#include "x11/hack_host.h"

namespace vyla::x11 {

std::unique_ptr<HackHost> HackHost::Attach(std::unique_ptr<XConnection> connection, std::optional<::Window> window,
                                           std::string* error)
{
    auto target = HackTarget::Attach(*connection, window.value_or(connection->Root()), error);
    if (!target)
        return nullptr;
    std::unique_ptr<HackHost> host(new HackHost(std::move(connection), std::move(target)));
    if (!host->ResizeScreen(host->target_->GetSize())) {
        *error = "the window is too large";
        return nullptr;
    }
    return host;
}

HackHost::HackHost(std::unique_ptr<XConnection> connection, std::unique_ptr<HackTarget> target)
    : X11Host(std::move(connection)), target_(std::move(target))
{
}

void HackHost::WindowShown(HWND window, const Rect&)
{
    if (DisplayLost() || IsDialog(window) || saver_ || target_->Gone())
        return;
    StartPresenting();
    target_->ReadDesktop(Screen());
    saver_ = window;
    // The window is on screen already: no exposure will ask for the picture.
    ShowAgain(Screen().Bounds());
}

void HackHost::WindowHidden(HWND window)
{
    if (window == saver_)
        saver_ = nullptr;
}

std::optional<X11Host::View> HackHost::ShownIn() const
{
    if (!saver_ || target_->Gone())
        return std::nullopt;
    return View{target_->Id(), Point{}};
}

void HackHost::HandleEvent(XEvent& event)
{
    Rect exposed;
    switch (target_->Take(event, &exposed)) {
    case HackTarget::Change::Exposed:
        ShowAgain(exposed);
        break;
    case HackTarget::Change::Resized:
        rerunPending_ = true;
        RequestClose();
        break;
    case HackTarget::Change::Destroyed:
        RequestClose();
        break;
    case HackTarget::Change::Nothing:
        break;
    }
}

bool HackHost::PrepareRerun()
{
    if (!rerunPending_ || Signalled() || target_->Gone() || DisplayLost())
        return false;
    rerunPending_ = false;
    saver_ = nullptr;
    // The next run's scene is built for the window's new size.
    return ResizeScreen(target_->GetSize());
}

}  // namespace vyla::x11
