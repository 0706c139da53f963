// Whole files as text, for tests that write inputs and read outputs.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vyla::testing {

inline std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteText(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

}  // namespace vyla::testing
