// A test helper: a pointer device of its own on the compositor's seat
// (wlr-virtual-pointer), as a user's mouse would be. "move" moves it a few
// pixels twice; "button" presses and releases the left button. It waits a
// moment after the device appears, so that clients can take the new
// pointer before it acts.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <thread>

#include "wlr-virtual-pointer-unstable-v1-client.h"

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;

void Global(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

std::uint32_t Now()
{
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view action = argc > 1 ? argv[1] : "";
    if (action != "move" && action != "button") {
        std::fputs("usage: vyla_virtual_pointer move|button\n", stderr);
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("vyla_virtual_pointer: no Wayland display\n", stderr);
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    static const wl_registry_listener listener{&Global, &GlobalRemove};
    wl_registry_add_listener(registry, &listener, nullptr);
    wl_display_roundtrip(display);
    if (!manager) {
        std::fputs("vyla_virtual_pointer: the compositor offers no virtual pointer\n", stderr);
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
    wl_display_roundtrip(display);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    if (action == "move") {
        // The first move may only bring the pointer onto a surface.
        for (int i = 0; i < 2; ++i) {
            zwlr_virtual_pointer_v1_motion(pointer, Now(), wl_fixed_from_int(7), wl_fixed_from_int(5));
            zwlr_virtual_pointer_v1_frame(pointer);
            wl_display_roundtrip(display);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    } else {
        zwlr_virtual_pointer_v1_button(pointer, Now(), BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
        zwlr_virtual_pointer_v1_frame(pointer);
        zwlr_virtual_pointer_v1_button(pointer, Now(), BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(manager);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
