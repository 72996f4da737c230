#include "core/table/text_pool.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace quorvel {

namespace {
constexpr size_t kAppendBlockSize = size_t{1} << 20;
}  // namespace

uint64_t TextPool::NextBase() const
{
    if (blocks_.empty()) return 1;  // offset 0 with length 0 is the empty ref
    const Block& last = blocks_.back();
    return last.base + last.capacity;
}

uint64_t TextPool::AdoptBuffer(ByteBuffer bytes, size_t size)
{
    const uint64_t base = NextBase();
    blocks_.push_back(Block{base, size, size, false, std::move(bytes)});
    return base;
}

TextRef TextPool::WideRefAt(uint64_t offset, size_t length)
{
    if (length == 0) return TextRef();
    if (length < TextRef::kLongLength && offset <= kMaxOffset)
        return TextRef((offset << TextRef::kLengthBits) | length);
    longRefs_.push_back(LongRef{offset, length});
    return TextRef((static_cast<uint64_t>(longRefs_.size() - 1) << TextRef::kLengthBits) |
                   TextRef::kLongLength);
}

char* TextPool::Extend(size_t length, TextRef& ref)
{
    if (length == 0) {
        ref = TextRef();
        return nullptr;
    }
    if (blocks_.empty() || !blocks_.back().appendable ||
        blocks_.back().capacity - blocks_.back().used < length) {
        const size_t capacity = std::max(kAppendBlockSize, length);
        const uint64_t base = NextBase();
        blocks_.push_back(Block{base, capacity, 0, true, AllocateBuffer(capacity)});
    }
    Block& block = blocks_.back();
    char* at = block.bytes.get() + block.used;
    ref = RefAt(block.base + block.used, length);
    block.used += length;
    return at;
}

TextRef TextPool::Add(std::string_view text)
{
    TextRef ref;
    char* at = Extend(text.size(), ref);
    if (at != nullptr) std::memcpy(at, text.data(), text.size());
    return ref;
}

const TextPool::Block& TextPool::SearchBlock(uint64_t offset) const
{
    auto it = std::upper_bound(blocks_.begin(), blocks_.end(), offset,
                               [](uint64_t value, const Block& b) { return value < b.base; });
    return *(it - 1);
}

}  // namespace quorvel
