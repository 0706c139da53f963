// One standalone saver per X screen. The running saver owns the selection
// VYLA_SAVER_<screen>; a saver started while another runs (an idle watcher
// starting a second) finds it owned and stands down. The server drops the
// selection when its owner's window goes, so a saver that dies leaves no
// stale claim behind.
#pragma once

#include <X11/Xlib.h>

#include <memory>

#include "x11/x_connection.h"

namespace vyla::x11 {

class SaverClaim {
public:
    // The claim, or nullptr when another saver already holds it.
    static std::unique_ptr<SaverClaim> Take(XConnection& connection);
    ~SaverClaim();
    SaverClaim(const SaverClaim&) = delete;
    SaverClaim& operator=(const SaverClaim&) = delete;

    // Answers a request to convert the selection (it has no contents to
    // give); false for any other event.
    bool Answer(const XEvent& event);

private:
    SaverClaim(XConnection& connection, ::Window owner);

    XConnection& connection_;
    ::Window owner_;
};

}  // namespace vyla::x11
