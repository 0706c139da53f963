#include "wayland/saver_claim.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vyla::wayland {

std::string ClaimFileName(const char* display)
{
    std::string name = display && *display ? display : "wayland-0";
    std::replace(name.begin(), name.end(), '/', '_');
    return "vyla-" + name + ".lock";
}

std::unique_ptr<SaverClaim> SaverClaim::Take(const char* runtimeDir, const char* display)
{
    if (!runtimeDir || *runtimeDir != '/')
        return std::unique_ptr<SaverClaim>(new SaverClaim(-1));
    const std::string path = std::string(runtimeDir) + "/" + ClaimFileName(display);
    // Not inherited: the per-output children are savers of this one claim.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return std::unique_ptr<SaverClaim>(new SaverClaim(-1));
    int locked;
    do
        locked = flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(fd);
        if (held)
            return nullptr;
        return std::unique_ptr<SaverClaim>(new SaverClaim(-1));
    }
    return std::unique_ptr<SaverClaim>(new SaverClaim(fd));
}

SaverClaim::~SaverClaim()
{
    if (fd_ >= 0)
        close(fd_);  // the lock goes with it; the file stays for the next saver
}

}  // namespace vyla::wayland
