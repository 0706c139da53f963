// TApplication: the application object, its start-up slots and its message loop.
#pragma once

#include <exception>
#include <string>

#include "system_api.h"
#include "framework/module.h"

class TFrameWindow;

class TApplication : public TModule {
public:
    // Points gModule at the application for its lifetime.
    explicit TApplication(const char* name, TModule*& gModule = GlobalModule);
    ~TApplication() override;

    // Initialises the instance (InstallMainWindow, then the main window is
    // created and shown), runs the message loop until the main window is
    // gone, deletes the main window and returns the loop's exit status. With
    // no main window installed there is nothing to run: the result is 1.
    virtual int Run();
    // Called whenever no message waits, again and again while it returns
    // true; between such calls the loop sleeps for IdleDelay().
    virtual bool IdleAction(long idleCount);
    // How long, in milliseconds, the loop may sleep after an IdleAction that
    // asked for more before the next call is worth making; INFINITE: only a
    // message makes it worth making. Messages end the sleep at once. The
    // framework's own answer is a millisecond, for idle work that cannot say.
    virtual DWORD IdleDelay();
    // The main-window hook: installs MainWindow. The framework's own does nothing.
    virtual void InstallMainWindow();

    TFrameWindow* GetMainWindow() const { return MainWindow; }
    const std::string& GetCmdLine() const { return CmdLine; }

    void SuspendThrow(std::exception_ptr e);
    void ResumeThrow();

    // Start-up slots, filled by the entry function before the application exists.
    static HINSTANCE InitHInstance;
    static std::string InitCmdLine;
    static int InitCmdShow;

protected:
    virtual void InitInstance();
    virtual int MessageLoop();

    // The main window; the framework owns and deletes it.
    TFrameWindow* MainWindow = nullptr;

private:
    void DeleteMainWindow();

    std::string CmdLine;
    TModule*& GlobalSlot;
    TModule* PreviousGlobal;
    std::exception_ptr Pending;
};
