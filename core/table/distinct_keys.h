// The distinct key texts of a column, each numbered in the order first
// met: the one table of keys for the split (a piece per key) and the sort
// (a sort key per distinct text).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quorvel {

// A hash for short texts, eight bytes at a step: keys are met once a row,
// so the hash is a good part of a split's time.
struct KeyTextHash {
    size_t operator()(std::string_view text) const noexcept
    {
        uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
        size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            uint64_t word;
            std::memcpy(&word, text.data() + i, 8);
            h = Mix(h ^ word);
        }
        if (i < text.size()) {
            uint64_t word = 0;
            std::memcpy(&word, text.data() + i, text.size() - i);
            h = Mix(h ^ word);
        }
        return static_cast<size_t>(h);
    }
    static uint64_t Mix(uint64_t h)
    {
        h *= 0xBF58476D1CE4E5B9ull;
        return h ^ (h >> 31);
    }
};

class DistinctKeys {
public:
    // `copyKeys`: the texts given are copied, since they do not outlive
    // the table (a stream's rows); otherwise they are kept as views (the
    // table's cells).
    explicit DistinctKeys(bool copyKeys) : copyKeys_(copyKeys) {}

    // The key's number, and whether it is new.
    std::pair<uint32_t, bool> Intern(std::string_view key)
    {
        const auto found = numberOf_.find(key);
        if (found != numberOf_.end()) return {found->second, false};
        const std::string_view kept = copyKeys_ ? Keep(key) : key;
        const auto number = static_cast<uint32_t>(keys_.size());
        numberOf_.emplace(kept, number);
        keys_.push_back(kept);
        return {number, true};
    }

    std::string_view Key(uint32_t number) const { return keys_[number]; }
    size_t Count() const { return keys_.size(); }

private:
    // A copy that stays where it is: blocks are never moved or resized.
    std::string_view Keep(std::string_view key)
    {
        constexpr size_t kBlockBytes = size_t{64} << 10;
        if (key.empty()) return {};
        if (blocks_.empty() || kBlockBytes - used_ < key.size()) {
            blocks_.push_back(std::make_unique<char[]>(std::max(kBlockBytes, key.size())));
            used_ = 0;
        }
        char* at = blocks_.back().get() + used_;
        std::copy(key.begin(), key.end(), at);
        used_ += key.size();
        if (key.size() > kBlockBytes) used_ = kBlockBytes;  // a block of its own, full
        return {at, key.size()};
    }

    bool copyKeys_;
    std::unordered_map<std::string_view, uint32_t, KeyTextHash> numberOf_;
    std::vector<std::string_view> keys_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t used_ = 0;
};

}  // namespace quorvel
