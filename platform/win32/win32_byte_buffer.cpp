// Buffers from operator new: the heap maps large ones in whole pages.
#include <new>

#include "byte_buffer.h"

namespace quorvel {

ByteBuffer AllocateBuffer(size_t size) { return ByteBuffer(static_cast<char*>(::operator new(size ? size : 1))); }

void* AllocateBufferBytes(size_t size) { return ::operator new(size ? size : 1); }

void FreeBufferBytes(void* bytes, size_t) { ::operator delete(bytes); }

void BufferFree::operator()(char* bytes) const
{
    if (keeper) keeper.reset();
    else ::operator delete(bytes);
}

}  // namespace quorvel
