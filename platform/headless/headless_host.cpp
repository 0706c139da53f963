#include "headless/headless_host.h"

#include <algorithm>

#include "portable/winapi/functions.h"
#include "portable/raster/blit.h"

namespace vyla::headless {

HeadlessHost::HeadlessHost(Size screen, ResourceSet resources) : resources_(std::move(resources))
{
    auto surface = raster::Surface::Create(screen);
    if (surface)
        screen_ = std::move(*surface);
}

void HeadlessHost::SetDesktop(const raster::Surface& picture)
{
    screen_.Fill(0);
    raster::BitBlt(screen_, screen_.Bounds(), Point{}, picture.GetSize(), picture, Point{}, raster::Rop::SrcCopy);
}

void HeadlessHost::FillDesktop(raster::Pixel colour)
{
    screen_.Fill(colour);
}

void HeadlessHost::PollEvents()
{
    if (pollLimitReached_)
        return;
    if (++polls_ > pollLimit_) {
        pollLimitReached_ = true;
        PostQuitMessage(-1);
        return;
    }
    if (driver_)
        driver_(*this);
}

void HeadlessHost::WaitEvents(int timeoutMs)
{
    ++waits_;
    if (sleepsMoveClock_ && timeoutMs > 0)
        tick_ += static_cast<DWORD>(timeoutMs);
}

bool HeadlessHost::Inject(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND target = TopWindow();
    return target && PostMessageA(target, msg, wParam, lParam);
}

void HeadlessHost::WindowShown(HWND window, const Rect&)
{
    shown_.push_back(window);
}

void HeadlessHost::WindowHidden(HWND window)
{
    std::erase(shown_, window);
}

void HeadlessHost::RunModalDialog(portable::DialogSession& dialog)
{
    ++dialogsRun_;
    if (dialogScript_)
        dialogScript_(dialog);
    if (!dialog.Ended())
        dialog.CloseFromTitleBar();
    if (!dialog.Ended())
        EndDialog(dialog.Handle(), -1);
}

void HeadlessHost::Report(std::string_view caption, std::string_view text)
{
    reports_.push_back(std::string(caption) + ": " + std::string(text));
}

}  // namespace vyla::headless
