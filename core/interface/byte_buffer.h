// Memory for large byte buffers, which the platform lays out for its pages.
#pragma once

#include <cstddef>
#include <memory>

namespace quorvel {

// Frees what AllocateBuffer gave, the way it was allocated.
struct BufferFree {
    bool aligned = false;  // from an aligned allocation, not operator new
    void operator()(char* bytes) const;
};
using ByteBuffer = std::unique_ptr<char[], BufferFree>;

// Uninitialised bytes; raises std::bad_alloc when memory runs out. Large
// buffers are laid out for huge pages where the platform has them, which
// spares a page fault per 4 KiB on a file of megabytes. (Platform layer.)
ByteBuffer AllocateBuffer(size_t size);

}  // namespace quorvel
