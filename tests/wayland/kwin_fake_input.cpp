// A test helper: input as a user's would come, through KWin's fake-input
// protocol (which KWin offers a test client when its permission checks
// are off). "key" presses and releases A; "move" moves the pointer a few
// pixels twice.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <thread>

#include "fake-input-client.h"

namespace {

org_kde_kwin_fake_input* fakeInput = nullptr;

void Global(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version)
{
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0)
        fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, version < 4 ? version : 4));
}

void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view action = argc > 1 ? argv[1] : "";
    if (action != "key" && action != "move") {
        std::fputs("usage: vyla_kwin_fake_input key|move\n", stderr);
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("vyla_kwin_fake_input: no Wayland display\n", stderr);
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    static const wl_registry_listener listener{&Global, &GlobalRemove};
    wl_registry_add_listener(registry, &listener, nullptr);
    wl_display_roundtrip(display);
    if (!fakeInput) {
        std::fputs("vyla_kwin_fake_input: the compositor offers no fake input\n", stderr);
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fakeInput, "vyla tests", "input for the saver under test");
    wl_display_roundtrip(display);
    // The seat may gain a device now: its clients take it first.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (action == "key") {
        if (org_kde_kwin_fake_input_get_version(fakeInput) < 4) {
            std::fputs("vyla_kwin_fake_input: the compositor's fake input has no keys\n", stderr);
            return 1;
        }
        org_kde_kwin_fake_input_keyboard_key(fakeInput, KEY_A, WL_KEYBOARD_KEY_STATE_PRESSED);
        org_kde_kwin_fake_input_keyboard_key(fakeInput, KEY_A, WL_KEYBOARD_KEY_STATE_RELEASED);
        wl_display_roundtrip(display);
    } else {
        for (int i = 0; i < 2; ++i) {
            org_kde_kwin_fake_input_pointer_motion(fakeInput, wl_fixed_from_int(7), wl_fixed_from_int(5));
            wl_display_roundtrip(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    org_kde_kwin_fake_input_destroy(fakeInput);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return 0;
}
