// An Xvfb server of the test's own on a free display number, with local
// connections only, gone when the object goes.
#pragma once

#include <memory>
#include <string>

#include "child_process.h"
#include "common/geometry.h"

namespace vyla::x11::testing {

class XvfbServer {
public:
    // nullptr if Xvfb could not be started (or did not answer in time).
    // depth: bits per pixel of the screen (8 gives a PseudoColor screen).
    static std::unique_ptr<XvfbServer> Start(Size screen, int depth = 24);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& DisplayName() const { return display_; }
    // "DISPLAY=:n", for a child's environment.
    std::string DisplayVariable() const { return "DISPLAY=" + display_; }
    Size ScreenSize() const { return size_; }
    // Ends the server abruptly, as a crash would.
    void Kill();

private:
    XvfbServer(std::unique_ptr<ChildProcess> process, std::string display, Size size);

    std::unique_ptr<ChildProcess> process_;
    std::string display_;
    Size size_;
};

}  // namespace vyla::x11::testing
