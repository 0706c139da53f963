#include "xvfb_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <utility>

namespace vyla::x11::testing {

namespace {
constexpr int kStartTimeoutMs = 10000;
}

std::unique_ptr<XvfbServer> XvfbServer::Start(Size screen, int depth)
{
    // -displayfd: Xvfb picks a free display itself and writes its number
    // once it accepts connections, so there is no guessing and no race.
    int fds[2];
    if (pipe(fds) != 0)
        return nullptr;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);  // only the write end goes to Xvfb
    std::string geometry = std::to_string(screen.width) + "x" + std::to_string(screen.height) + "x" + std::to_string(depth);
    auto process = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", geometry, "-nolisten", "tcp",
                                 "-noreset"},
        std::vector<std::string>{});
    close(fds[1]);
    std::string number;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (number.empty() || number.back() != '\n') {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fds[0], POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        char c;
        if (read(fds[0], &c, 1) != 1)
            break;
        number += c;
    }
    close(fds[0]);
    if (number.empty() || number.back() != '\n' || !process->Running())
        return nullptr;
    number.pop_back();
    return std::unique_ptr<XvfbServer>(new XvfbServer(std::move(process), ":" + number, screen));
}

XvfbServer::XvfbServer(std::unique_ptr<ChildProcess> process, std::string display, Size size)
    : process_(std::move(process)), display_(std::move(display)), size_(size)
{
}

XvfbServer::~XvfbServer()
{
    // Asked politely, the server removes its socket and lock file.
    process_->Signal(SIGTERM);
    process_->Wait(3000);
}

void XvfbServer::Kill()
{
    process_->Signal(SIGKILL);
    process_->Wait(5000);
}

}  // namespace vyla::x11::testing
