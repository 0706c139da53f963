// Text between the framework's narrow strings and the system's wide ones.
#pragma once

#include <string>

#include "system_api.h"

namespace vyla::win32 {

// text (null or empty gives an empty string) read in the code page.
std::wstring Widened(const char* text, UINT codePage);
// text written in the code page.
std::string Narrowed(const std::wstring& text, UINT codePage);

}  // namespace vyla::win32
