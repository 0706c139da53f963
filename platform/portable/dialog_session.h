// A modal dialog while it runs, as the host shows it and a user works it.
// Every user action goes through the same window messages a real dialog
// manager sends, so the application's dialog code cannot tell the difference.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/dialog_template.h"
#include "portable/winapi/types.h"

namespace vyla::portable {

class Runtime;

class DialogSession {
public:
    DialogSession(Runtime& runtime, HWND dialog, const DialogTemplate& dialogTemplate, std::vector<HWND> controls);

    HWND Handle() const { return dialog_; }
    const DialogTemplate& Template() const { return template_; }
    // The control windows, in template order.
    const std::vector<HWND>& Controls() const { return controls_; }
    bool Ended() const;
    INT_PTR Result() const;

    // What a user does.
    void Click(int id);  // a button: an auto radio button checks itself and clears the others of its group, a check box toggles
    void SetText(int id, std::string_view text);  // replaces an edit box's text, as typing would
    void PressReturn();                           // the default push button
    void PressEscape();                           // cancel
    void CloseFromTitleBar();                     // the caption's close box

    // What a user sees.
    bool IsChecked(int id) const;
    std::string Text(int id) const;

private:
    HWND Control(int id) const;
    void Command(int id);

    Runtime& runtime_;
    HWND dialog_;
    const DialogTemplate& template_;
    std::vector<HWND> controls_;
};

}  // namespace vyla::portable
