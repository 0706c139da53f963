// "IDD_CONFIGURE" as template data, from its one description.
#include "resources/configure_dialog.h"

#include "resources/dialogs.h"

namespace vyla {
namespace {

#define VYLA_TEMPLATE_CONTROL(id, windowClass, text, style, x, y, cx, cy) {id, windowClass, text, style, x, y, cx, cy},
constexpr DialogControl kConfigureControls[] = {VYLA_CONFIGURE_CONTROLS(VYLA_TEMPLATE_CONTROL)};
#undef VYLA_TEMPLATE_CONTROL

}  // namespace

const DialogTemplate kConfigureDialog = {
    "IDD_CONFIGURE",  VYLA_CONFIGURE_STYLE, 0, VYLA_CONFIGURE_X, VYLA_CONFIGURE_Y, VYLA_CONFIGURE_CX, VYLA_CONFIGURE_CY,
    VYLA_CONFIGURE_CAPTION, kConfigureControls,
};

}  // namespace vyla
