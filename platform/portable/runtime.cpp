#include "portable/runtime.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace vyla::portable {

namespace {
Runtime* gCurrent = nullptr;
}

Runtime::Runtime(Host& host) : host_(host), previous_(gCurrent)
{
    gCurrent = this;
    SetArguments({"vyla"});
}

Runtime::~Runtime()
{
    gCurrent = previous_;
}

Runtime& Runtime::Current()
{
    if (!gCurrent) {
        std::fputs("vyla: a system call was made with no portable runtime active\n", stderr);
        std::abort();
    }
    return *gCurrent;
}

namespace {
bool SameName(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}
}  // namespace

const std::string* Runtime::FindProfileOverride(const char* file, const char* section, const char* key) const
{
    for (auto it = profileOverrides.rbegin(); it != profileOverrides.rend(); ++it)
        if (SameName(it->file, file) && SameName(it->section, section) && SameName(it->key, key))
            return &it->value;
    return nullptr;
}

bool Runtime::HasCurrent()
{
    return gCurrent != nullptr;
}

void Runtime::SetArguments(std::vector<std::string> args)
{
    arguments = std::move(args);
    argumentPointers.clear();
    for (auto& a : arguments)
        argumentPointers.push_back(a.data());
    argumentPointers.push_back(nullptr);
}

}  // namespace vyla::portable
