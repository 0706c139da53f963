#include "framework/application.h"
#include <utility>

#include "framework/frame_window.h"
#include "framework/platform_hooks.h"

HINSTANCE TApplication::InitHInstance = nullptr;
std::string TApplication::InitCmdLine;
int TApplication::InitCmdShow = SW_SHOWNORMAL;

TApplication::TApplication(const char* name, TModule*& gModule)
    : TModule(name, InitHInstance), CmdLine(InitCmdLine), GlobalSlot(gModule), PreviousGlobal(gModule)
{
    GlobalSlot = this;
}

TApplication::~TApplication()
{
    DeleteMainWindow();
    if (GlobalSlot == this)
        GlobalSlot = PreviousGlobal;
}

void TApplication::DeleteMainWindow()
{
    delete MainWindow;
    MainWindow = nullptr;
}

void TApplication::InstallMainWindow() {}

void TApplication::InitInstance()
{
    InstallMainWindow();
    if (MainWindow) {
        MainWindow->Create();
        MainWindow->ShowWindow(InitCmdShow);
        ResumeThrow();
    }
}

int TApplication::Run()
{
    InitInstance();
    if (!MainWindow)
        return 1;
    int status = MessageLoop();
    DeleteMainWindow();
    return status;
}

bool TApplication::IdleAction(long)
{
    return false;
}

DWORD TApplication::IdleDelay()
{
    return 1;
}

int TApplication::MessageLoop()
{
    TIdleWait sleeper;
    long idleCount = 0;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            ResumeThrow();
            idleCount = 0;
        }
        // Sleep until a message comes or, while idle processing wants more
        // calls, until the next one can do something.
        if (!IdleAction(idleCount++))
            sleeper.Wait(INFINITE);
        else if (DWORD delay = IdleDelay(); delay > 0)
            sleeper.Wait(delay);
    }
}

void TApplication::SuspendThrow(std::exception_ptr e)
{
    if (!Pending)
        Pending = e;
}

void TApplication::ResumeThrow()
{
    if (Pending)
        std::rethrow_exception(std::exchange(Pending, nullptr));
}
