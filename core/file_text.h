// A whole input file in memory: the first step of reading CSV text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/interface/byte_buffer.h"
#include "core/interface/file_system.h"

namespace quorvel {

// A whole file in one buffer, followed by one 0x00 byte that is not part
// of `size`.
struct LoadedFile {
    ByteBuffer bytes;
    size_t size = 0;
};

// A buffer for `size` bytes plus the terminating 0x00; raises
// std::bad_alloc when memory runs out.
ByteBuffer AllocateFileBuffer(uint64_t size);

// Reads a file whole: open, one 64-bit size query, reads until the size
// is reached or the file ends early (a file that shrank gives the bytes
// that came). A failing open, size query or read raises FileOpenError.
LoadedFile LoadFileText(const std::string& path, FileSystem& files);

}  // namespace quorvel
