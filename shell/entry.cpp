// The process entry: start-up values into the framework's slots, then the
// application main function.
#include <memory>

#include "framework/framework.h"

namespace {
// The module made here when no one else made one; destroyed at process exit.
std::unique_ptr<TModule> gEntryModule;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    if (!GlobalModule) {
        if (!gEntryModule)
            gEntryModule = std::make_unique<TModule>(nullptr, instance);
        GlobalModule = gEntryModule.get();
    }
    TApplication::InitHInstance = instance;
    TApplication::InitCmdLine = commandLine ? commandLine : "";
    TApplication::InitCmdShow = showCommand;
    try {
        return AppMain(RuntimeArgc(), RuntimeArgv());
    } catch (xmsg& x) {
        return HandleGlobalException(x, nullptr);
    }
}
