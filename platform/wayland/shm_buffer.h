// A buffer in shared memory that the compositor reads: one wl_buffer over
// its own memory. It is busy from being committed until the compositor
// releases it; nobody writes it meanwhile.
#pragma once

#include <wayland-client.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "common/geometry.h"

namespace vyla::wayland {

class ShmBuffer {
public:
    // A buffer of size in format with rows stride bytes apart; nullptr when
    // the memory cannot be had. released: called when the compositor lets
    // the buffer go.
    static std::unique_ptr<ShmBuffer> Create(wl_shm* shm, Size size, std::size_t stride, std::uint32_t format,
                                             std::function<void()> released = {});
    ~ShmBuffer();
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;

    wl_buffer* Get() const { return buffer_; }
    Size GetSize() const { return size_; }
    std::size_t Stride() const { return stride_; }
    std::span<std::byte> Bytes() const { return {static_cast<std::byte*>(memory_), bytes_}; }

    bool Busy() const { return busy_; }
    // Committed: the compositor holds it until it releases it.
    void MarkBusy() { busy_ = true; }

private:
    ShmBuffer() = default;
    static void Release(void* data, wl_buffer* buffer);

    wl_buffer* buffer_ = nullptr;
    void* memory_ = nullptr;
    std::size_t bytes_ = 0;
    Size size_;
    std::size_t stride_ = 0;
    bool busy_ = false;
    std::function<void()> released_;
};

}  // namespace vyla::wayland
