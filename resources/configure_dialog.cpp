// "IDD_CONFIGURE": the settings dialog. Control order is creation and tab
// order; WS_GROUP on the group boxes closes the radio groups before them.
#include "resources/dialogs.h"

namespace vyla {
namespace {

constexpr std::uint32_t kRadio = 0x50010009;     // child, visible, tab stop, auto radio button
constexpr std::uint32_t kGroupBox = 0x50020007;  // child, visible, group, group box

constexpr DialogControl kConfigureControls[] = {
    {111, "BUTTON", "真紅", kRadio, 12, 16, 40, 12},
    {112, "BUTTON", "純白", kRadio, 12, 32, 40, 12},
    {110, "BUTTON", "Vylaの色", kGroupBox, 8, 4, 56, 48},
    {121, "BUTTON", "遅い", kRadio, 76, 16, 40, 12},
    {122, "BUTTON", "普通", kRadio, 76, 32, 40, 12},
    {123, "BUTTON", "速い", kRadio, 76, 48, 40, 12},
    {120, "BUTTON", "回転速度", kGroupBox, 72, 4, 56, 64},
    {1, "BUTTON", "OK", 0x50010001, 16, 92, 48, 14},
    {2, "BUTTON", "ｷｬﾝｾﾙ", 0x50010000, 72, 92, 48, 14},
    {101, "BUTTON", "影絵少女", 0x50010003, 8, 74, 48, 12},
    {-1, "STATIC", "更新間隔", 0x50000000, 56, 76, 32, 8},
    {102, "EDIT", "", 0x50810000, 88, 74, 20, 12},
    {-1, "STATIC", "秒", 0x50000000, 112, 76, 16, 8},
};

}  // namespace

const DialogTemplate kConfigureDialog = {
    "IDD_CONFIGURE", 0x90C80080, 0, 32, 24, 136, 112, "Orvane", kConfigureControls,
};

}  // namespace vyla
