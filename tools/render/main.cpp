// vyla-render: runs the screen saver on a virtual screen with a scripted
// clock and writes what the screen shows, frame by frame.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "options.h"
#include "render_command.h"
#include "usage_error.h"

namespace {

// Messages go out on one line, whatever file names they quote.
std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

}  // namespace

int main(int argc, char* argv[])
{
    using namespace vyla::render;
    std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        bool help = false;
        RenderOptions options = ParseOptions(args, &help);
        if (help) {
            std::cout << UsageText();
            return 0;
        }
        return RunRenderCommand(options, std::cout, std::cerr);
    } catch (const UsageError& e) {
        std::cerr << "vyla-render: " << OneLine(e.what()) << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "vyla-render: " << OneLine(e.what()) << '\n';
        return 1;
    }
}
