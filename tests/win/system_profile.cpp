// The system's own reader and writer of settings files, called as a program
// so that tests can compare Vyla's with them.
//
//   vyla_system_profile int SECTION KEY DEFAULT FILE
//   vyla_system_profile string SECTION KEY DEFAULT FILE [SIZE]
//   vyla_system_profile keys SECTION FILE
//   vyla_system_profile write SECTION KEY VALUE FILE
//   vyla_system_profile -
//
// int: "int N", N what GetPrivateProfileIntA returns, as the unsigned number
// it is. string: "string N TEXT", GetPrivateProfileStringA's count and
// buffer (SIZE bytes, 4096 unless given). keys: "keys N LIST", the names
// GetPrivateProfileStringA lists for a null key, each ended by a zero byte. write: "write 1", or
// "write 0 ERROR" with GetLastError, for WritePrivateProfileStringA.
//
// Any argument may hold \xNN escapes (and \\ for a backslash), and every
// printed text is escaped that way, so that any byte goes in and comes out
// on one line. With "-" the commands come from standard input, one a line,
// their fields separated by tabs: a corpus of files in one process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            out += static_cast<char>(std::strtoul(text.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Escaped(const char* text, std::size_t size)
{
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c > ' ' && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

// One command; false for one this program does not know.
bool Run(const std::vector<std::string>& args)
{
    const std::size_t n = args.size();
    if (n == 5 && args[0] == "int") {
        const UINT value = GetPrivateProfileIntA(args[1].c_str(), args[2].c_str(), std::atoi(args[3].c_str()),
                                                 args[4].c_str());
        std::printf("int %u\n", value);
    } else if ((n == 5 || n == 6) && args[0] == "string") {
        std::vector<char> buffer(n == 6 ? std::strtoul(args[5].c_str(), nullptr, 10) : 4096, '\x7F');
        const DWORD got = GetPrivateProfileStringA(args[1].c_str(), args[2].c_str(), args[3].c_str(), buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), args[4].c_str());
        std::printf("string %lu %s\n", static_cast<unsigned long>(got), Escaped(buffer.data(), got).c_str());
    } else if (n == 3 && args[0] == "keys") {
        std::vector<char> buffer(1 << 16, '\0');
        const DWORD got = GetPrivateProfileStringA(args[1].c_str(), nullptr, "", buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), args[2].c_str());
        std::printf("keys %lu %s\n", static_cast<unsigned long>(got), Escaped(buffer.data(), got).c_str());
    } else if (n == 5 && args[0] == "write") {
        if (WritePrivateProfileStringA(args[1].c_str(), args[2].c_str(), args[3].c_str(), args[4].c_str()))
            std::printf("write 1\n");
        else
            std::printf("write 0 %lu\n", static_cast<unsigned long>(GetLastError()));
    } else {
        return false;
    }
    std::fflush(stdout);
    return true;
}

int Usage()
{
    std::fprintf(stderr, "usage: vyla_system_profile int SECTION KEY DEFAULT FILE\n"
                         "       vyla_system_profile string SECTION KEY DEFAULT FILE [SIZE]\n"
                         "       vyla_system_profile keys SECTION FILE\n"
                         "       vyla_system_profile write SECTION KEY VALUE FILE\n"
                         "       vyla_system_profile -   (commands from standard input, fields separated by tabs)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "-") == 0) {
        char line[1 << 16];
        while (std::fgets(line, sizeof line, stdin)) {
            std::string text(line);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            std::vector<std::string> args;
            for (std::size_t start = 0;;) {
                const std::size_t tab = text.find('\t', start);
                args.push_back(Unescape(text.substr(start, tab - start)));
                if (tab == std::string::npos)
                    break;
                start = tab + 1;
            }
            if (!Run(args)) {
                std::printf("error unknown command\n");
                std::fflush(stdout);
            }
        }
        return 0;
    }
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Unescape(argv[i]));
    return Run(args) ? 0 : Usage();
}
