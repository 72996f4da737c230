// Whether the rows of the flat token reading follow the lines of the file.
// The token reader lays tokens out C to a row whatever the lines say, so a
// line of the file (a record: a line break inside quotes does not end it)
// parts from the rows when it gives other than C tokens, or when two of
// its tokens stand with only blanks, or nothing, between them (a blank
// inside an unquoted value, text right after a closing quote): such a line
// has C tokens but not its C fields. A line that ends with a comma and
// still gives C tokens does not part. From the first line that parts on,
// the table's rows are no longer the file's lines.
//
// The token scanner tells the check what it meets anyway, at no cost per
// token: the line breaks it steps over (with the count of tokens given by
// then, so that the check knows each line's tokens), the breaks inside
// quoted values, and two tokens with no comma and no break between them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvel {

class LineCheck {
public:
    LineCheck() = default;
    explicit LineCheck(uint32_t columns) : columns_(columns) {}

    bool On() const { return columns_ != 0; }

    // The first line of the file that parts from the rows, or 0.
    uint64_t FirstPartedLine() const { return firstParted_; }

    // A scan of the text (whole, or a part of it) begins, its sink holding
    // `count` tokens.
    void Begin(size_t count) { recordFirst_ = count; }
    // A line break outside quotes, after `count` tokens of the scan: it
    // ends the line's record, if the line has one.
    void Break(size_t count)
    {
        EndRecord(count);
        recordLine_ = ++line_;
    }
    // Line breaks inside a quoted value: the record goes on.
    void QuotedBreaks(uint64_t count) { line_ += count; }
    // Two tokens of a line with only blanks, or nothing, between them.
    void Joined() { Part(); }
    // The scan of a part stops after `count` tokens; the line's record
    // goes on in the next part.
    void Pause(size_t count)
    {
        carried_ += count - recordFirst_;
        recordFirst_ = 0;
    }
    // The text has ended, after `count` tokens of the scan.
    void End(size_t count) { EndRecord(count); }

private:
    void EndRecord(size_t count)
    {
        const uint64_t tokens = carried_ + (count - recordFirst_);
        if (tokens != 0 && tokens != columns_) Part();
        carried_ = 0;
        recordFirst_ = count;
    }
    void Part()
    {
        if (firstParted_ == 0) firstParted_ = recordLine_;
    }

    uint64_t columns_ = 0;
    size_t recordFirst_ = 0;   // the sink's count where the line's record began in this scan
    uint64_t carried_ = 0;     // the record's tokens in parts before this one
    uint64_t line_ = 1;        // the line the scan has reached
    uint64_t recordLine_ = 1;  // where the line's record begins
    uint64_t firstParted_ = 0;
};

}  // namespace quorvel
