#include "portable/runtime.h"

#include <cstdio>
#include <cstdlib>

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
