// TDialog: a dialog built by the system from a named template.
#pragma once

#include <string>

#include "framework/window.h"

class TDialog : public TWindow {
public:
    TDialog(TWindow* parent, const char* templateName, TModule* module = nullptr);
    ~TDialog() override;

    // Runs the dialog modally and gives its result: the value CloseWindow
    // or CmCancel ended it with, or -1 when it could not be made.
    virtual int Execute();
    // The OK path: ends the dialog with retValue.
    void CloseWindow(int retValue = IDOK) override;
    bool Find(TEventInfo& info) override;
    LRESULT DefaultProcessing() override;

    void CmOk();
    // Ends the dialog with IDCANCEL without passing through CloseWindow.
    void CmCancel();

    const std::string& GetTemplateName() const { return TemplateName; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    std::string TemplateName;
    bool Handled = false;
};
