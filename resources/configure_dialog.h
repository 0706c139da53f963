/* The settings dialog "IDD_CONFIGURE", once: its control numbers and its
   layout. The resource compiler builds the Windows module's dialog from it
   (vyla.rc), every other backend builds its dialog from the template data
   made from it (configure_dialog.cpp), the settings code addresses the
   controls by these numbers, and the Wine tests read them from here.
   Plain C preprocessor only, so that the resource compiler can read it. */
#ifndef VYLA_RESOURCES_CONFIGURE_DIALOG_H
#define VYLA_RESOURCES_CONFIGURE_DIALOG_H

#define IDC_GIRLS 101
#define IDC_INTERVAL 102
#define IDC_COLOR_GROUP 110
#define IDC_CRIMSON 111
#define IDC_WHITE 112
#define IDC_SPEED_GROUP 120
#define IDC_SLOW 121
#define IDC_NORMAL 122
#define IDC_FAST 123
/* Controls nobody addresses. */
#define IDC_STATIC -1

/* Popup, visible, caption, system menu, modal frame; no font of its own, so
   the system font sets the dialog units. Place and size in dialog units. */
#define VYLA_CONFIGURE_STYLE 0x90C80080
#define VYLA_CONFIGURE_X 32
#define VYLA_CONFIGURE_Y 24
#define VYLA_CONFIGURE_CX 136
#define VYLA_CONFIGURE_CY 112
#define VYLA_CONFIGURE_CAPTION "Orvane"

/* Child, visible, tab stop, auto radio button; child, visible, group, group
   box: WS_GROUP on the group boxes closes the radio groups before them. */
#define VYLA_RADIO 0x50010009
#define VYLA_GROUP_BOX 0x50020007

/* CONTROL(id, class, text, style, x, y, cx, cy) for every control, in
   creation and tab order. Texts are UTF-8. */
#define VYLA_CONFIGURE_CONTROLS(CONTROL)                                        \
    CONTROL(IDC_CRIMSON, "BUTTON", "真紅", VYLA_RADIO, 12, 16, 40, 12)            \
    CONTROL(IDC_WHITE, "BUTTON", "純白", VYLA_RADIO, 12, 32, 40, 12)              \
    CONTROL(IDC_COLOR_GROUP, "BUTTON", "Vylaの色", VYLA_GROUP_BOX, 8, 4, 56, 48)  \
    CONTROL(IDC_SLOW, "BUTTON", "遅い", VYLA_RADIO, 76, 16, 40, 12)               \
    CONTROL(IDC_NORMAL, "BUTTON", "普通", VYLA_RADIO, 76, 32, 40, 12)             \
    CONTROL(IDC_FAST, "BUTTON", "速い", VYLA_RADIO, 76, 48, 40, 12)               \
    CONTROL(IDC_SPEED_GROUP, "BUTTON", "回転速度", VYLA_GROUP_BOX, 72, 4, 56, 64) \
    CONTROL(1, "BUTTON", "OK", 0x50010001, 16, 92, 48, 14)                       \
    CONTROL(2, "BUTTON", "ｷｬﾝｾﾙ", 0x50010000, 72, 92, 48, 14)                    \
    CONTROL(IDC_GIRLS, "BUTTON", "影絵少女", 0x50010003, 8, 74, 48, 12)           \
    CONTROL(IDC_STATIC, "STATIC", "更新間隔", 0x50000000, 56, 76, 32, 8)          \
    CONTROL(IDC_INTERVAL, "EDIT", "", 0x50810000, 88, 74, 20, 12)                \
    CONTROL(IDC_STATIC, "STATIC", "秒", 0x50000000, 112, 76, 16, 8)

#endif
