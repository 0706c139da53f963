// vyla_x11_setroot: puts the sample desktop picture on the root window of
// $DISPLAY, for `make run` and the benchmark.
#include <cstdio>

#include "desktop_picture.h"

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "vyla_x11_setroot: cannot open the X display \"%s\"\n", XDisplayName(nullptr));
        return 1;
    }
    int screen = DefaultScreen(display);
    auto picture = vyla::x11::testing::DesktopPicture(vyla::Size{DisplayWidth(display, screen), DisplayHeight(display, screen)});
    bool ok = vyla::x11::testing::SetRootPicture(display, picture);
    XCloseDisplay(display);
    if (!ok) {
        std::fputs("vyla_x11_setroot: the picture could not be made\n", stderr);
        return 1;
    }
    return 0;
}
