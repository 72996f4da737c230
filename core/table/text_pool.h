// Byte storage for cells and tokens. A loaded file's buffer is adopted
// whole, so that most tokens are views into it; texts that differ from
// the file's bytes are copied into append blocks. A `TextRef` names a
// stretch of the pool in 8 bytes, so a million-row table costs little
// beside its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/interface/byte_buffer.h"
#include "core/table/prefaulted_buffers.h"

namespace quorvel {

// Offset into the pool's address space (40 bits) and length (24 bits).
// Lengths that do not fit are kept in a side table of the pool.
class TextRef {
public:
    constexpr TextRef() = default;
    bool operator==(TextRef other) const { return bits_ == other.bits_; }

private:
    friend class TextPool;
    static constexpr unsigned kLengthBits = 24;
    static constexpr uint64_t kLongLength = (uint64_t{1} << kLengthBits) - 1;
    explicit constexpr TextRef(uint64_t bits) : bits_(bits) {}
    uint64_t bits_ = 0;
};

class TextPool {
public:
    TextPool() = default;
    TextPool(TextPool&&) noexcept = default;
    TextPool& operator=(TextPool&&) noexcept = default;

    // Takes ownership of `size` bytes; returns the offset of their first
    // byte, for use with `RefAt`.
    uint64_t AdoptBuffer(ByteBuffer bytes, size_t size);

    // A reference to bytes already in the pool.
    TextRef RefAt(uint64_t offset, size_t length)
    {
        // Short texts, nearly all of them, fit the reference itself.
        if (length - 1 < TextRef::kLongLength - 1 && offset <= kMaxOffset)
            return TextRef((offset << TextRef::kLengthBits) | length);
        return WideRefAt(offset, length);
    }

    // Copies `text` into the pool. Views handed out earlier stay valid:
    // blocks never move.
    TextRef Add(std::string_view text);

    // Reserves `length` bytes in an append block for the caller to fill;
    // the returned pointer stays valid as long as the pool.
    char* Extend(size_t length, TextRef& ref);

    std::string_view View(TextRef ref) const
    {
        if (ref.bits_ == 0) return {};
        uint64_t offset = ref.bits_ >> TextRef::kLengthBits;
        uint64_t length = ref.bits_ & TextRef::kLongLength;
        if (length == TextRef::kLongLength) {
            const LongRef& big = longRefs_[offset];
            offset = big.offset;
            length = big.length;
        }
        const Block& block = BlockOf(offset);
        return {block.bytes.get() + (offset - block.base), static_cast<size_t>(length)};
    }

private:
    struct Block {
        uint64_t base;
        size_t capacity;
        size_t used;
        bool appendable;
        ByteBuffer bytes;
    };
    struct LongRef {
        uint64_t offset;
        uint64_t length;
    };

    const Block& BlockOf(uint64_t offset) const
    {
        const Block& first = blocks_.front();
        if (offset - first.base < first.capacity) return first;
        return SearchBlock(offset);
    }
    static constexpr uint64_t kMaxOffset = (uint64_t{1} << (64 - TextRef::kLengthBits)) - 1;
    TextRef WideRefAt(uint64_t offset, size_t length);
    const Block& SearchBlock(uint64_t offset) const;
    uint64_t NextBase() const;

    std::vector<Block> blocks_;
    std::vector<LongRef> longRefs_;
};

// An array of fixed-size chunks: past the first chunk, appending never
// moves what is stored, so growth costs no copy and no doubling of memory.
// The first chunk grows by doubling up to its full size, so that a short
// array costs little. Chunks are left uninitialised; every element is
// written by push_back before it is read.
template <typename T>
class ChunkedArray {
    static_assert(std::is_trivially_copyable_v<T>, "chunks hold plain values");

public:
    static constexpr size_t kChunkBits = 18;
    static constexpr size_t kChunkSize = size_t{1} << kChunkBits;

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    const T& operator[](size_t i) const { return Chunk(i >> kChunkBits)[i & (kChunkSize - 1)]; }
    T& operator[](size_t i) { return Chunk(i >> kChunkBits)[i & (kChunkSize - 1)]; }

    static constexpr size_t kChunkBytes = kChunkSize * sizeof(T);

    void push_back(const T& value)
    {
        if (size_ == capacity_) Grow();
        (*this)[size_++] = value;
    }

    // Where new chunks come from while it is set: buffers of kChunkBytes.
    void SetSupply(PrefaultedBuffers* supply) { supply_ = supply; }

    void clear()
    {
        chunks_.clear();
        size_ = 0;
        capacity_ = 0;
    }

private:
    T* Chunk(size_t i) const { return reinterpret_cast<T*>(chunks_[i].get()); }

    void Grow()
    {
        constexpr size_t kFirstCapacity = 64;
        if (capacity_ >= kChunkSize || (supply_ && capacity_ == 0)) {
            chunks_.push_back(supply_ ? supply_->Take() : AllocateBuffer(kChunkBytes));
            capacity_ = chunks_.size() * kChunkSize;
            return;
        }
        const size_t grown = capacity_ == 0 ? kFirstCapacity : 2 * capacity_;
        ByteBuffer first = AllocateBuffer(grown * sizeof(T));
        if (size_ > 0) std::memcpy(first.get(), chunks_[0].get(), size_ * sizeof(T));
        if (chunks_.empty()) chunks_.push_back(std::move(first));
        else chunks_[0] = std::move(first);
        capacity_ = grown;
    }

    std::vector<ByteBuffer> chunks_;
    size_t size_ = 0;
    size_t capacity_ = 0;  // elements that fit the chunks as they are
    PrefaultedBuffers* supply_ = nullptr;
};

}  // namespace quorvel
