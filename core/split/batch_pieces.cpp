#include "core/split/batch_pieces.h"

#include <cstring>

namespace quorvel {

BatchPieces::BatchPieces(const std::vector<size_t>& rowCount, std::pair<size_t, size_t> batch, double lineBytes,
                         const std::string& header, BatchArena spare)
    : first_(batch.first), stretches_(batch.second - batch.first)
{
    size_t total = 0;
    for (size_t i = 0; i < stretches_.size(); ++i) {
        Stretch& s = stretches_[i];
        s.begin = total;
        s.capacity = header.size() + kSlack +
                     static_cast<size_t>(static_cast<double>(rowCount[first_ + i]) * lineBytes * kLineGrowth);
        total += s.capacity;
    }
    if (spare.size >= total && spare.bytes) {
        arena_ = std::move(spare);
    } else {
        spare = BatchArena();  // freed before the new one is taken
        arena_ = {AllocateBuffer(total), total};
    }
    for (Stretch& s : stretches_) {
        std::memcpy(arena_.bytes.get() + s.begin, header.data(), header.size());
        s.used = header.size();
    }
}

void BatchPieces::AppendLine(size_t group, const CellTable& table, int32_t row, RowLineBuilder& lines)
{
    Stretch& s = stretches_[group - first_];
    s.lastLine = s.used;
    if (!s.overflowed) {
        char* out = arena_.bytes.get() + s.begin + s.used;
        const size_t room = s.capacity - s.used;
        const size_t length = room >= 2 ? lines.AppendTo(table, row, out, room - 2) : RowLineBuilder::kNoRoom;
        if (length != RowLineBuilder::kNoRoom) {
            std::memcpy(out + length, "\r\n", 2);
            s.used += length + 2;
            return;
        }
        s.overflow.assign(arena_.bytes.get() + s.begin, s.used);
        s.overflowed = true;
    }
    lines.Append(table, row, s.overflow);
    s.overflow.append("\r\n");
    s.used = s.overflow.size();
}

std::string_view BatchPieces::Piece(size_t group) const
{
    const Stretch& s = stretches_[group - first_];
    return s.overflowed ? std::string_view(s.overflow) : std::string_view(arena_.bytes.get() + s.begin, s.used);
}

std::string_view BatchPieces::LastLine(size_t group) const
{
    const Stretch& s = stretches_[group - first_];
    return Piece(group).substr(s.lastLine, s.used - s.lastLine - 2);
}

}  // namespace quorvel
