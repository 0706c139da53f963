// vyla-artgen --out DIR [--contact-sheet PNG]
// Draws every bitmap of the saver into DIR as NAME.bmp, the program's icon as
// vyla.ico, and optionally an overview picture of them all.
#include "art_set.h"
#include "bmp_writer.h"
#include "contact_sheet.h"
#include "flower.h"
#include "ico_writer.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

using vyla::artgen::Canvas;

struct Options {
    std::filesystem::path out;
    std::optional<std::filesystem::path> contactSheet;
};

std::optional<Options> ParseArgs(int argc, char** argv)
{
    Options options;
    bool haveOut = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (i + 1 >= argc || argv[i + 1][0] == '\0')
            return std::nullopt;
        if (arg == "--out" && !haveOut) {
            options.out = argv[++i];
            haveOut = true;
        } else if (arg == "--contact-sheet" && !options.contactSheet) {
            options.contactSheet = argv[++i];
        } else {
            return std::nullopt;
        }
    }
    if (!haveOut)
        return std::nullopt;
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> options = ParseArgs(argc, argv);
    if (!options) {
        std::cerr << "usage: vyla-artgen --out DIR [--contact-sheet PNG]\n";
        return 2;
    }

    std::error_code ec;
    std::filesystem::create_directories(options->out, ec);
    if (!std::filesystem::is_directory(options->out)) {
        std::cerr << "vyla-artgen: cannot create directory " << options->out << "\n";
        return 1;
    }

    const auto art = vyla::artgen::DrawAllArt();
    for (const auto& item : art) {
        const auto path = options->out / (item.name + ".bmp");
        if (!vyla::artgen::WriteBmp(path, item.bitmap)) {
            std::cerr << "vyla-artgen: cannot write " << path << "\n";
            return 1;
        }
    }
    {
        std::vector<Canvas> icons;
        for (int size : {16, 32, 48, 256})
            icons.push_back(vyla::artgen::DrawFlowerIcon(size));
        std::vector<const Canvas*> images;
        for (const Canvas& icon : icons)
            images.push_back(&icon);
        const auto path = options->out / "vyla.ico";
        if (!vyla::artgen::WriteIco(path, images)) {
            std::cerr << "vyla-artgen: cannot write " << path << "\n";
            return 1;
        }
    }
    const bool sheetOk = !options->contactSheet || vyla::artgen::WriteContactSheet(art, *options->contactSheet);
    // Let go of Cairo's font caches so that leak checkers see a clean exit.
    cairo_debug_reset_static_data();
    FcFini();
    if (!sheetOk) {
        std::cerr << "vyla-artgen: cannot write " << *options->contactSheet << "\n";
        return 1;
    }
    return 0;
}
