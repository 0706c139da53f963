// One saver per Wayland display. The running saver holds an exclusive lock
// on a file in the user's runtime directory named after the display; a
// saver started while another runs (an idle watcher and swayidle both
// firing) finds it held and stands down. The kernel drops the lock when
// its holder exits, however it ends, so no stale claim is left behind.
#pragma once

#include <memory>
#include <string>

namespace vyla::wayland {

class SaverClaim {
public:
    // The claim for display (WAYLAND_DISPLAY: a name in runtimeDir, or a
    // path), or nullptr when another saver holds it. Where no lock can be
    // kept (no runtime directory, a file that cannot be opened) the claim
    // holds nothing: a saver that cannot tell runs rather than stays away.
    static std::unique_ptr<SaverClaim> Take(const char* runtimeDir, const char* display);
    ~SaverClaim();
    SaverClaim(const SaverClaim&) = delete;
    SaverClaim& operator=(const SaverClaim&) = delete;

    bool HoldsLock() const { return fd_ >= 0; }

private:
    explicit SaverClaim(int fd) : fd_(fd) {}

    int fd_;
};

// The lock file's name for a display: "vyla-<display>.lock", with any '/'
// of a display given as a path turned into '_'.
std::string ClaimFileName(const char* display);

}  // namespace vyla::wayland
