#include "platform/file_system.h"

namespace quorvel {

std::unique_ptr<char[]> AllocateFileBuffer(size_t size)
{
    // Left uninitialised on purpose: only the bytes that are read are used.
    std::unique_ptr<char[]> bytes(new char[size + 1]);
    bytes[size] = 0;
    return bytes;
}

}  // namespace quorvel
