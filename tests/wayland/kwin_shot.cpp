// A test helper: what an output of KWin shows, through KWin's screenshot
// interface (as the saver takes it), written as a binary PPM.
//
//   vyla_kwin_shot OUTPUT FILE
#include <cstdio>
#include <fstream>

#include "wayland/kwin_capture.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: vyla_kwin_shot OUTPUT FILE\n", stderr);
        return 2;
    }
    auto capture = vyla::wayland::KWinCapture::Connect();
    if (!capture) {
        std::fputs("vyla_kwin_shot: no KWin screenshot interface on the session bus\n", stderr);
        return 1;
    }
    auto picture = capture->Capture(nullptr, argv[1]);
    if (!picture) {
        std::fputs("vyla_kwin_shot: KWin gave no picture\n", stderr);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << "P6\n" << picture->Width() << ' ' << picture->Height() << "\n255\n";
    for (int y = 0; y < picture->Height(); ++y)
        for (int x = 0; x < picture->Width(); ++x) {
            auto p = picture->At(x, y);
            const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
            out.write(rgb, 3);
        }
    return out ? 0 : 1;
}
