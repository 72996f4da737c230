// Large buffers on huge pages: 2 MiB-aligned and advised as such, which
// spares a page fault per 4 KiB while a file of megabytes is read.
#include <sys/mman.h>

#include <cstdlib>
#include <new>

#include "byte_buffer.h"

namespace quorvel {

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
}

ByteBuffer AllocateBuffer(size_t size)
{
    if (size < kHugePage) return ByteBuffer(static_cast<char*>(::operator new(size ? size : 1)));
    void* bytes = nullptr;
    if (::posix_memalign(&bytes, kHugePage, size) != 0 || !bytes) throw std::bad_alloc();
    ::madvise(bytes, size, MADV_HUGEPAGE);
    return ByteBuffer(static_cast<char*>(bytes), BufferFree{true, nullptr});
}

void* AllocateBufferBytes(size_t size) { return AllocateBuffer(size).release(); }

void FreeBufferBytes(void* bytes, size_t size) { BufferFree{size >= kHugePage, nullptr}(static_cast<char*>(bytes)); }

void BufferFree::operator()(char* bytes) const
{
    if (keeper) keeper.reset();
    else if (aligned) std::free(bytes);
    else ::operator delete(bytes);
}

}  // namespace quorvel
