// A running dialog shown with GTK 3: the template's controls laid out as
// Windows would lay them out, each user action passed to the session, the
// widgets showing exactly the session's state.
#pragma once

#include <functional>
#include <string_view>

namespace vyla::portable {
class DialogSession;
}

namespace vyla::linux {

// Runs until the session has ended. When cancelFd becomes readable and
// cancelRequested() says so, the dialog is closed as from its title bar.
// False (and the session untouched) when GTK cannot reach a display.
bool RunGtkDialog(portable::DialogSession& session, int cancelFd, const std::function<bool()>& cancelRequested);

// A modal message box with an OK button, shown until the user closes it.
// False when GTK cannot reach a display.
bool ShowGtkMessage(std::string_view caption, std::string_view text);

}  // namespace vyla::linux
