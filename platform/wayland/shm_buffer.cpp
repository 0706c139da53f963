#include "wayland/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

#include <limits>

namespace vyla::wayland {

std::unique_ptr<ShmBuffer> ShmBuffer::Create(wl_shm* shm, Size size, std::size_t stride, std::uint32_t format,
                                             std::function<void()> released)
{
    if (!shm || size.IsEmpty() || stride == 0)
        return nullptr;
    // wl_shm takes sizes and strides as 32-bit signed values.
    constexpr auto kLimit = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    const auto height = static_cast<std::size_t>(size.height);
    if (stride > kLimit || height > kLimit / stride)
        return nullptr;
    const std::size_t bytes = stride * height;

    int fd = memfd_create("vyla-buffer", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return nullptr;
    if (ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
        close(fd);
        return nullptr;
    }
    void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    std::unique_ptr<ShmBuffer> buffer(new ShmBuffer);
    buffer->memory_ = memory;
    buffer->bytes_ = bytes;
    buffer->size_ = size;
    buffer->stride_ = stride;
    buffer->released_ = std::move(released);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes));
    buffer->buffer_ = wl_shm_pool_create_buffer(pool, 0, size.width, size.height, static_cast<std::int32_t>(stride), format);
    wl_shm_pool_destroy(pool);
    close(fd);
    static const wl_buffer_listener listener{&ShmBuffer::Release};
    wl_buffer_add_listener(buffer->buffer_, &listener, buffer.get());
    return buffer;
}

ShmBuffer::~ShmBuffer()
{
    if (buffer_)
        wl_buffer_destroy(buffer_);
    if (memory_)
        munmap(memory_, bytes_);
}

void ShmBuffer::Release(void* data, wl_buffer*)
{
    auto* self = static_cast<ShmBuffer*>(data);
    self->busy_ = false;
    if (self->released_)
        self->released_();
}

}  // namespace vyla::wayland
