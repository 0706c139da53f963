// What the dialog tells the user when OK could not save the settings.
#pragma once

#include <string>

#include "framework/profile.h"

// The message box's caption and text: which file, and why, in the
// dialog's language.
inline constexpr const char* kSaveFailureCaption = "Vyla";
std::string SaveFailureText(const TProfileWriteResult& result);
