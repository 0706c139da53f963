// The X11 backend's parts that need no X server: damage collection, pixel
// conversion, input translation, the settings directory, dialog layout.
#include <gtest/gtest.h>

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <map>
#include <vector>

#include "portable/winapi/types.h"
#include "resources/configure_dialog.h"
#include "resources/dialogs.h"
#include "common/damage_region.h"
#include "linux/dialog_layout.h"
#include "x11/input_messages.h"
#include "x11/pixel_format.h"
#include "linux/profile_location.h"

using namespace vyla::x11;
using namespace vyla::linux;
using vyla::DamageRegion;
using vyla::Point;
using vyla::Rect;
using vyla::Size;
using vyla::raster::Surface;

namespace {

// ---- DamageRegion ---------------------------------------------------------

TEST(DamageRegion, TakesExactlyThePixelsAddedInBands)
{
    DamageRegion damage(Rect{0, 0, 100, 100});
    damage.Add(Rect{0, 0, 10, 10});
    damage.Add(Rect{90, 90, 100, 100});
    damage.Add(Rect{5, 5, 20, 20});  // overlaps the first
    damage.Add(Rect{0, 0, 5, 5});    // inside the first
    auto rects = damage.Take();
    const std::vector<Rect> banded = {Rect{0, 0, 10, 5}, Rect{0, 5, 20, 10}, Rect{5, 10, 20, 20}, Rect{90, 90, 100, 100}};
    EXPECT_EQ(rects, banded);
    EXPECT_TRUE(damage.IsEmpty());
    EXPECT_TRUE(damage.Take().empty());

    // Many small areas stay apart: each is sent, the space between them is not.
    for (int i = 0; i < 40; ++i)
        damage.Add(Rect::FromXYWH(i * 2, i, 1, 1));
    EXPECT_EQ(damage.Take().size(), 40u);
}

TEST(DamageRegion, ClipsToItsBoundsAndDropsTheRest)
{
    DamageRegion damage(Rect{0, 0, 50, 40});
    damage.Add(Rect{-10, -10, 5, 5});
    damage.Add(Rect{60, 0, 70, 10});
    damage.Add(Rect{10, 10, 10, 20});  // empty
    auto rects = damage.Take();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0], (Rect{0, 0, 5, 5}));

    damage.Add(Rect{0, 0, 5, 5});
    damage.SetBounds(Rect{0, 0, 10, 10});
    EXPECT_TRUE(damage.IsEmpty());
}

// ---- PixelFormat ----------------------------------------------------------

TEST(PixelFormat, ChannelsOfCommonLayouts)
{
    Channel red565 = Channel::FromMask(0xF800);
    EXPECT_EQ(red565.shift, 11);
    EXPECT_EQ(red565.bits, 5);
    EXPECT_EQ(red565.ToByte(0xF800), 255u);
    EXPECT_EQ(red565.ToByte(0x0000), 0u);
    EXPECT_EQ(red565.FromByte(255), 0xF800ul);
    EXPECT_EQ(red565.FromByte(0x80), 0x8000ul);

    Channel none = Channel::FromMask(0);
    EXPECT_EQ(none.ToByte(0xFFFFFFFF), 0u);
    EXPECT_EQ(none.FromByte(255), 0ul);

    Channel wide = Channel::FromMask(0x3FF00000);  // 10 bits
    EXPECT_EQ(wide.ToByte(0x3FF00000), 255u);
    EXPECT_EQ(wide.FromByte(255), 0x3FC00000ul);
}

TEST(PixelFormat, ConvertsBothWays)
{
    PixelFormat rgb(0xFF0000, 0x00FF00, 0x0000FF);
    PixelFormat bgr(0x0000FF, 0x00FF00, 0xFF0000);
    PixelFormat rgb565(0xF800, 0x07E0, 0x001F);
    for (vyla::raster::Pixel p : {0x000000u, 0xFFFFFFu, 0x123456u, 0xFF0080u}) {
        EXPECT_EQ(rgb.FromRgb(p), p);
        EXPECT_EQ(rgb.ToRgb(rgb.FromRgb(p)), p);
        EXPECT_EQ(bgr.ToRgb(bgr.FromRgb(p)), p);
    }
    EXPECT_EQ(bgr.FromRgb(0x123456), 0x563412ul);
    EXPECT_EQ(rgb565.FromRgb(0xFF0000), 0xF800ul);
    EXPECT_EQ(rgb565.ToRgb(0x07E0), 0x00FF00u);
    EXPECT_EQ(rgb.ToRgb(0xFF123456), 0x123456u) << "bits beyond the channels are ignored";
}

// An image in memory, laid out as an X server would send it.
struct MemoryImage {
    MemoryImage(int width, int height, int depth, int bitsPerPixel, unsigned long r, unsigned long g, unsigned long b)
    {
        image.width = width;
        image.height = height;
        image.format = ZPixmap;
        image.byte_order = LSBFirst;
        image.bitmap_unit = 32;
        image.bitmap_bit_order = LSBFirst;
        image.bitmap_pad = 32;
        image.depth = depth;
        image.bits_per_pixel = bitsPerPixel;
        image.bytes_per_line = ((width * bitsPerPixel + 31) / 32) * 4;
        image.red_mask = r;
        image.green_mask = g;
        image.blue_mask = b;
        pixels.assign(static_cast<std::size_t>(image.bytes_per_line * height), 0);
        image.data = pixels.data();
        initialised = XInitImage(&image) != 0;
    }
    XImage image{};
    std::vector<char> pixels;
    bool initialised = false;
};

Surface Pattern(Size size)
{
    Surface s = *Surface::Create(size);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            s.Set(x, y, static_cast<vyla::raster::Pixel>((x * 40) << 16 | (y * 30) << 8 | (x * y * 7 & 0xFF)));
    return s;
}

TEST(PixelFormat, CopiesThroughImagesOfEveryLayout)
{
    struct Layout {
        int depth, bpp;
        unsigned long r, g, b;
        bool exact;
    };
    for (Layout l : {Layout{24, 32, 0xFF0000, 0xFF00, 0xFF, true}, Layout{24, 32, 0xFF, 0xFF00, 0xFF0000, true},
                     Layout{24, 24, 0xFF0000, 0xFF00, 0xFF, true}, Layout{16, 16, 0xF800, 0x07E0, 0x1F, false}}) {
        SCOPED_TRACE(testing::Message() << "depth " << l.depth << " bpp " << l.bpp << " red " << l.r);
        MemoryImage m(6, 5, l.depth, l.bpp, l.r, l.g, l.b);
        ASSERT_TRUE(m.initialised);
        PixelFormat format(l.r, l.g, l.b);
        Surface source = Pattern(Size{6, 5});
        CopyToImage(source, source.Bounds(), m.image, Point{}, format);
        Surface back = *Surface::Create(Size{6, 5});
        CopyFromImage(m.image, back, format);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                if (l.exact)
                    ASSERT_EQ(back.At(x, y), source.At(x, y)) << x << "," << y;
                else
                    ASSERT_EQ(back.At(x, y), format.ToRgb(format.FromRgb(source.At(x, y)))) << x << "," << y;
            }
    }
}

TEST(PixelFormat, CopyToImageClipsAndPlacesTheArea)
{
    MemoryImage m(4, 4, 24, 32, 0xFF0000, 0xFF00, 0xFF);
    ASSERT_TRUE(m.initialised);
    PixelFormat format(0xFF0000, 0xFF00, 0xFF);
    Surface source = *Surface::Create(Size{10, 10}, 0xABCDEF);
    // The image stands for surface pixels (5,5)..(9,9); the area reaches
    // beyond both the image and the surface.
    CopyToImage(source, Rect{3, 6, 20, 20}, m.image, Point{5, 5}, format);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(XGetPixel(&m.image, x, y), y >= 1 ? 0xABCDEFul : 0ul) << x << "," << y;
}

TEST(PixelFormat, CopyFromImageIgnoresTheUnusedByteAndKeepsUncoveredPixels)
{
    MemoryImage m(2, 1, 24, 32, 0xFF0000, 0xFF00, 0xFF);
    ASSERT_TRUE(m.initialised);
    XPutPixel(&m.image, 0, 0, 0xFF112233);
    XPutPixel(&m.image, 1, 0, 0x00445566);
    Surface target = *Surface::Create(Size{3, 2}, 0x777777);
    CopyFromImage(m.image, target, PixelFormat(0xFF0000, 0xFF00, 0xFF));
    EXPECT_EQ(target.At(0, 0), 0x112233u);
    EXPECT_EQ(target.At(1, 0), 0x445566u);
    EXPECT_EQ(target.At(2, 0), 0x777777u);
    EXPECT_EQ(target.At(0, 1), 0x777777u);
}

// ---- InputMessages --------------------------------------------------------

XEvent Event(int type)
{
    XEvent e{};
    e.type = type;
    return e;
}

XEvent Key(unsigned state, unsigned keycode = 38)
{
    XEvent e = Event(KeyPress);
    e.xkey.state = state;
    e.xkey.keycode = keycode;
    return e;
}

XEvent Focus(int mode, int detail = NotifyNonlinear)
{
    XEvent e = Event(FocusOut);
    e.xfocus.mode = mode;
    e.xfocus.detail = detail;
    return e;
}

TEST(InputMessages, PointerMotionIsAMouseMoveInWindowCoordinates)
{
    XEvent e = Event(MotionNotify);
    e.xmotion.x = 321;
    e.xmotion.y = 240;
    auto messages = InputMessages(e, NoSymbol);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(GET_X_LPARAM(messages[0].lParam), 321);
    EXPECT_EQ(GET_Y_LPARAM(messages[0].lParam), 240);
}

TEST(InputMessages, TheThreeButtonsPressAndTheWheelDoesNot)
{
    const std::pair<unsigned, UINT> buttons[] = {{Button1, WM_LBUTTONDOWN}, {Button2, WM_MBUTTONDOWN}, {Button3, WM_RBUTTONDOWN}};
    for (auto [button, message] : buttons) {
        XEvent e = Event(ButtonPress);
        e.xbutton.button = button;
        e.xbutton.x = 7;
        e.xbutton.y = 9;
        auto messages = InputMessages(e, NoSymbol);
        ASSERT_EQ(messages.size(), 1u) << button;
        EXPECT_EQ(messages[0].message, message);
        EXPECT_EQ(messages[0].lParam, MAKELPARAM(7, 9));
    }
    for (unsigned button : {4u, 5u, 6u, 7u, 8u, 9u}) {
        XEvent e = Event(ButtonPress);
        e.xbutton.button = button;
        EXPECT_TRUE(InputMessages(e, NoSymbol).empty()) << button;
    }
}

TEST(InputMessages, KeysAreKeyDownsAndAltMakesThemSystemKeys)
{
    auto a = InputMessages(Key(0), XK_a);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0], (InputMessage{WM_KEYDOWN, 'A', 1 | (30 << 16)}));

    auto shift = InputMessages(Key(0, 50), XK_Shift_L);
    ASSERT_EQ(shift.size(), 1u);
    EXPECT_EQ(shift[0].message, WM_KEYDOWN);
    EXPECT_EQ(shift[0].wParam, VK_SHIFT);

    // The Alt key itself, before Alt counts as held.
    auto alt = InputMessages(Key(0, 64), XK_Alt_L);
    ASSERT_EQ(alt.size(), 1u);
    EXPECT_EQ(alt[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(alt[0].wParam, VK_MENU);

    auto altA = InputMessages(Key(Mod1Mask), XK_a);
    ASSERT_EQ(altA.size(), 1u);
    EXPECT_EQ(altA[0].message, WM_SYSKEYDOWN);
    EXPECT_TRUE(altA[0].lParam & (LPARAM{1} << 29));

    auto ctrl = InputMessages(Key(ControlMask, 37), XK_Control_L);
    ASSERT_EQ(ctrl.size(), 1u);
    EXPECT_EQ(ctrl[0].message, WM_KEYDOWN);

    auto unknown = InputMessages(Key(0, 200), 0x1008FF12 /* XF86AudioMute */);
    ASSERT_EQ(unknown.size(), 1u) << "a key without a virtual key still counts";
    EXPECT_EQ(unknown[0].message, WM_KEYDOWN);
}

TEST(InputMessages, LosingTheFocusDeactivatesButOurOwnGrabDoesNot)
{
    for (int mode : {NotifyNormal, NotifyUngrab}) {
        auto messages = InputMessages(Focus(mode), NoSymbol);
        ASSERT_EQ(messages.size(), 2u) << mode;
        EXPECT_EQ(messages[0], (InputMessage{WM_ACTIVATE, WA_INACTIVE, 0}));
        EXPECT_EQ(messages[1], (InputMessage{WM_ACTIVATEAPP, FALSE, 0}));
    }
    for (int mode : {NotifyGrab, NotifyWhileGrabbed})
        EXPECT_TRUE(InputMessages(Focus(mode), NoSymbol).empty()) << mode;
    EXPECT_TRUE(InputMessages(Focus(NotifyNormal, NotifyInferior), NoSymbol).empty());
    // Someone else's grab ending: the focus comes back to the pointer's window.
    EXPECT_TRUE(InputMessages(Focus(NotifyUngrab, NotifyPointer), NoSymbol).empty());
    // The focus set elsewhere while it followed the pointer is a real loss.
    EXPECT_EQ(InputMessages(Focus(NotifyNormal, NotifyPointer), NoSymbol).size(), 2u);
}

TEST(InputMessages, OtherEventsMeanNothing)
{
    for (int type : {KeyRelease, ButtonRelease, EnterNotify, LeaveNotify, FocusIn, Expose, MapNotify})
        EXPECT_TRUE(InputMessages(Event(type), XK_a).empty()) << type;
}

// ---- ProfileDirectoryFrom -------------------------------------------------

TEST(ProfileDirectory, FollowsTheXdgRules)
{
    EXPECT_EQ(ProfileDirectoryFrom("/cfg", "/home/u", "/pw"), "/cfg");
    EXPECT_EQ(ProfileDirectoryFrom("relative/cfg", "/home/u", "/pw"), "/home/u/.config");
    EXPECT_EQ(ProfileDirectoryFrom("", "/home/u", "/pw"), "/home/u/.config");
    EXPECT_EQ(ProfileDirectoryFrom(nullptr, "/home/u", "/pw"), "/home/u/.config");
    EXPECT_EQ(ProfileDirectoryFrom(nullptr, nullptr, "/pw"), "/pw/.config");
    EXPECT_EQ(ProfileDirectoryFrom(nullptr, "", "/pw"), "/pw/.config");
    EXPECT_EQ(ProfileDirectoryFrom(nullptr, nullptr, nullptr), ".");
}

// ---- Dialog layout --------------------------------------------------------

TEST(DialogLayout, BaseUnitsFromTheFont)
{
    EXPECT_EQ(BaseUnitsFromFont(52 * 7, 17), (DialogBaseUnits{7, 17}));
    EXPECT_EQ(BaseUnitsFromFont(52 * 7 + 26, 15), (DialogBaseUnits{8, 15})) << "the average rounds";
    EXPECT_EQ(BaseUnitsFromFont(52 * 6 + 25, 15), (DialogBaseUnits{6, 15}));
    EXPECT_EQ(BaseUnitsFromFont(0, 15), (DialogBaseUnits{8, 16}));
    EXPECT_EQ(BaseUnitsFromFont(300, -1), (DialogBaseUnits{8, 16}));
    EXPECT_EQ(BaseUnitsFromFont(10, 12), (DialogBaseUnits{1, 12}));
}

TEST(DialogLayout, DialogUnitsToPixels)
{
    // The system font: 8 x 16, two pixels per unit each way.
    EXPECT_EQ(DialogUnitsToPixels(DialogBaseUnits{8, 16}, 12, 16, 40, 12), (Rect{24, 32, 104, 56}));
    // Odd units round each edge: 7 px per 4 units across, 17 per 8 down.
    DialogBaseUnits odd{7, 17};
    EXPECT_EQ(DialogUnitsToPixels(odd, 1, 1, 1, 1), (Rect{2, 2, 4, 4}));
    // Controls that touch in dialog units touch in pixels.
    Rect left = DialogUnitsToPixels(odd, 8, 4, 56, 48);
    Rect right = DialogUnitsToPixels(odd, 64, 4, 10, 48);
    EXPECT_EQ(left.right, right.left);
    EXPECT_EQ(DialogUnitsToPixels(odd, -3, 0, 3, 1).left, -5);
}

TEST(DialogLayout, KindsAndRadioGroupsOfTheSettingsDialog)
{
    std::map<int, ControlKind> kinds;
    int texts = 0;
    for (const auto& c : vyla::kConfigureDialog.controls) {
        if (c.id == IDC_STATIC)
            texts += KindOf(c) == ControlKind::Text;
        else
            kinds[c.id] = KindOf(c);
    }
    EXPECT_EQ(texts, 2);
    EXPECT_EQ(kinds[IDC_CRIMSON], ControlKind::RadioButton);
    EXPECT_EQ(kinds[IDC_FAST], ControlKind::RadioButton);
    EXPECT_EQ(kinds[IDC_COLOR_GROUP], ControlKind::GroupBox);
    EXPECT_EQ(kinds[IDC_SPEED_GROUP], ControlKind::GroupBox);
    EXPECT_EQ(kinds[IDOK], ControlKind::DefaultPushButton);
    EXPECT_EQ(kinds[IDCANCEL], ControlKind::PushButton);
    EXPECT_EQ(kinds[IDC_GIRLS], ControlKind::CheckBox);
    EXPECT_EQ(kinds[IDC_INTERVAL], ControlKind::Edit);

    auto groups = RadioGroups(vyla::kConfigureDialog);
    EXPECT_EQ(groups, (std::vector<std::vector<int>>{{IDC_CRIMSON, IDC_WHITE}, {IDC_SLOW, IDC_NORMAL, IDC_FAST}}));
}

TEST(DialogLayout, GroupsFollowTheGroupStyleOnAnyControl)
{
    constexpr std::uint32_t kRadio = 0x50000009, kStart = kRadio | 0x00020000;
    const vyla::DialogControl controls[] = {
        {1, "button", "a", kRadio, 0, 0, 1, 1},  {2, "BUTTON", "b", kRadio, 0, 0, 1, 1},
        {3, "BUTTON", "c", kStart, 0, 0, 1, 1},  {4, "BUTTON", "d", 0x50000004, 0, 0, 1, 1},
        {5, "STATIC", "", 0x50020000, 0, 0, 1, 1}, {6, "LISTBOX", "", 0x50020000, 0, 0, 1, 1},
    };
    const vyla::DialogTemplate t{"T", 0, 0, 0, 0, 10, 10, "T", controls};
    EXPECT_EQ(RadioGroups(t), (std::vector<std::vector<int>>{{1, 2}, {3, 4}}));
    EXPECT_EQ(KindOf(controls[5]), ControlKind::Other);
}

}  // namespace
