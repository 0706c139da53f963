// The dialog templates compiled into the program.
#pragma once

#include "common/dialog_template.h"

namespace vyla {

extern const DialogTemplate kConfigureDialog;

}  // namespace vyla
