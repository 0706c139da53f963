// A test helper: a fullscreen window of a known picture (bands of colour
// and a gradient), so that a compositor's screen shows something the
// saver must keep under its scene, and so that the saver is seen to cover
// fullscreen windows. Runs until killed.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "xdg-shell-client.h"

namespace {

wl_compositor* compositor = nullptr;
wl_shm* shm = nullptr;
xdg_wm_base* wmBase = nullptr;
int width = 0, height = 0;
bool configured = false;

void Global(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t)
{
    if (std::strcmp(interface, wl_compositor_interface.name) == 0)
        compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
    else if (std::strcmp(interface, wl_shm_interface.name) == 0)
        shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0)
        wmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
}

void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

void Ping(void*, xdg_wm_base* base, std::uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}

void SurfaceConfigure(void*, xdg_surface* surface, std::uint32_t serial)
{
    xdg_surface_ack_configure(surface, serial);
    configured = true;
}

void ToplevelConfigure(void*, xdg_toplevel*, std::int32_t w, std::int32_t h, wl_array*)
{
    if (w > 0 && h > 0)
        width = w, height = h;
}

void ToplevelClose(void*, xdg_toplevel*) {}

void ToplevelBounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}

void ToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

wl_buffer* Picture(int w, int h)
{
    const std::size_t size = static_cast<std::size_t>(w) * h * 4;
    int fd = memfd_create("vyla-test-window", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0)
        return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    if (pixels == MAP_FAILED)
        return nullptr;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint32_t band = (x * 6 / w) % 3;
            std::uint32_t level = static_cast<std::uint32_t>(y * 255 / h);
            pixels[y * w + x] = band == 0 ? (level << 16) | 0x2040 : band == 1 ? (level << 8) | 0x600000 : level | 0x406000;
        }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(size));
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, w, h, w * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fputs("vyla_test_window: no Wayland display\n", stderr);
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    static const wl_registry_listener registryListener{&Global, &GlobalRemove};
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (!compositor || !shm || !wmBase) {
        std::fputs("vyla_test_window: the compositor lacks xdg-shell or shm\n", stderr);
        return 1;
    }
    static const xdg_wm_base_listener baseListener{&Ping};
    xdg_wm_base_add_listener(wmBase, &baseListener, nullptr);
    wl_surface* surface = wl_compositor_create_surface(compositor);
    xdg_surface* xdgSurface = xdg_wm_base_get_xdg_surface(wmBase, surface);
    static const xdg_surface_listener surfaceListener{&SurfaceConfigure};
    xdg_surface_add_listener(xdgSurface, &surfaceListener, nullptr);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdgSurface);
    static const xdg_toplevel_listener toplevelListener{&ToplevelConfigure, &ToplevelClose, &ToplevelBounds,
                                                        &ToplevelCapabilities};
    xdg_toplevel_add_listener(toplevel, &toplevelListener, nullptr);
    xdg_toplevel_set_title(toplevel, "vyla test window");
    xdg_toplevel_set_fullscreen(toplevel, nullptr);
    wl_surface_commit(surface);
    while (!configured || width == 0)
        if (wl_display_dispatch(display) < 0)
            return 1;
    wl_buffer* buffer = Picture(width, height);
    if (!buffer)
        return 1;
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_damage_buffer(surface, 0, 0, width, height);
    wl_surface_commit(surface);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
