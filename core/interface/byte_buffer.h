// Memory for large byte buffers, which the platform lays out for its pages.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace quorvel {

// Frees what AllocateBuffer gave, the way it was allocated.
struct BufferFree {
    bool aligned = false;  // from an aligned allocation, not operator new
    // Bytes that another object holds (a view of a file): freed by letting
    // it go, not by the allocator.
    mutable std::shared_ptr<void> keeper;
    void operator()(char* bytes) const;
};
using ByteBuffer = std::unique_ptr<char[], BufferFree>;

// Bytes that `keeper` holds, as a buffer that lets it go when freed.
inline ByteBuffer KeptBuffer(const char* bytes, std::shared_ptr<void> keeper)
{
    BufferFree free;
    free.keeper = std::move(keeper);
    // Never written through: a kept buffer is read only.
    return ByteBuffer(const_cast<char*>(bytes), std::move(free));
}

// Uninitialised bytes; raises std::bad_alloc when memory runs out. Large
// buffers are laid out for huge pages where the platform has them, which
// spares a page fault per 4 KiB on a file of megabytes. (Platform layer.)
ByteBuffer AllocateBuffer(size_t size);

// The same memory for containers: freed with the size it was asked for.
// (Platform layer.)
void* AllocateBufferBytes(size_t size);
void FreeBufferBytes(void* bytes, size_t size);

// An allocator that lays large arrays out as AllocateBuffer does, for the
// arrays of a million entries that sorting and splitting build.
template <typename T>
struct BufferAllocator {
    using value_type = T;
    BufferAllocator() = default;
    template <typename U>
    BufferAllocator(const BufferAllocator<U>&) noexcept
    {
    }
    T* allocate(size_t n) { return static_cast<T*>(AllocateBufferBytes(n * sizeof(T))); }
    void deallocate(T* p, size_t n) noexcept { FreeBufferBytes(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const BufferAllocator<U>&) const noexcept
    {
        return true;
    }
    template <typename U>
    bool operator!=(const BufferAllocator<U>&) const noexcept
    {
        return false;
    }
};

template <typename T>
using LargeVector = std::vector<T, BufferAllocator<T>>;

}  // namespace quorvel
