// A heap array of plain pixel data that owns its memory through malloc/free.
// A zeroed buffer comes from calloc, which hands out fresh pages without
// writing them: memory the program never draws on is never made resident.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <type_traits>
#include <utility>

namespace vyla::raster {

template <class T>
class PixelBuffer {
    static_assert(std::is_trivially_copyable_v<T>, "pixel data is copied as bytes");

public:
    PixelBuffer() = default;  // no elements

    // count elements, all zero bits; nullopt when the memory is not available.
    static std::optional<PixelBuffer> Zeroed(std::size_t count)
    {
        if (count == 0)
            return PixelBuffer{};
        T* data = static_cast<T*>(std::calloc(count, sizeof(T)));
        if (!data)
            return std::nullopt;
        return PixelBuffer(data, count);
    }

    // count elements the caller writes before reading; nullopt when the
    // memory is not available.
    static std::optional<PixelBuffer> Uninitialised(std::size_t count)
    {
        if (count == 0)
            return PixelBuffer{};
        if (count > SIZE_MAX / sizeof(T))
            return std::nullopt;
        T* data = static_cast<T*>(std::malloc(count * sizeof(T)));
        if (!data)
            return std::nullopt;
        return PixelBuffer(data, count);
    }

    // Throws std::bad_alloc when the memory for the copy is not available.
    PixelBuffer(const PixelBuffer& other) : size_(other.size_)
    {
        if (size_ == 0)
            return;
        data_.reset(static_cast<T*>(std::malloc(size_ * sizeof(T))));
        if (!data_)
            throw std::bad_alloc();
        std::memcpy(data_.get(), other.data_.get(), size_ * sizeof(T));
    }
    PixelBuffer& operator=(const PixelBuffer& other)
    {
        if (this != &other)
            *this = PixelBuffer(other);
        return *this;
    }
    PixelBuffer(PixelBuffer&& other) noexcept : data_(std::move(other.data_)), size_(std::exchange(other.size_, 0)) {}
    PixelBuffer& operator=(PixelBuffer&& other) noexcept
    {
        data_ = std::move(other.data_);
        size_ = std::exchange(other.size_, 0);
        return *this;
    }
    ~PixelBuffer() = default;

    T* Data() { return data_.get(); }
    const T* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }

    // Gives the memory back; the buffer is empty afterwards.
    void Release()
    {
        data_.reset();
        size_ = 0;
    }

private:
    struct Free {
        void operator()(T* p) const noexcept { std::free(p); }
    };

    PixelBuffer(T* data, std::size_t count) : data_(data), size_(count) {}

    std::unique_ptr<T[], Free> data_;
    std::size_t size_ = 0;
};

}  // namespace vyla::raster
