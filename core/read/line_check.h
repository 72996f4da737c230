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
// The token scanner tells the check what it meets anyway: each token's
// start, the comma after it, the line breaks it steps over.
#pragma once

#include <cstdint>

namespace quorvel {

class LineCheck {
public:
    LineCheck() = default;
    explicit LineCheck(uint32_t columns) : columns_(columns) {}

    bool On() const { return columns_ != 0; }

    // The first line of the file that parts from the rows, or 0.
    uint64_t FirstPartedLine() const { return firstParted_; }

    // A token begins on the line the scan has reached.
    void Token()
    {
        if (tokens_ == 0) {
            recordLine_ = line_;
        } else if (!comma_) {
            Part();  // joined to the token before by blanks or nothing
        }
        ++tokens_;
        comma_ = false;
    }
    // The comma after a token.
    void Comma() { comma_ = true; }
    // A line break outside quotes: it ends the line's record, if it has one.
    void Break()
    {
        ++line_;
        EndRecord();
    }
    // A line break inside a quoted value: the record goes on.
    void QuotedBreaks(uint64_t count) { line_ += count; }
    // The text has ended.
    void End() { EndRecord(); }

private:
    void EndRecord()
    {
        if (tokens_ != 0 && tokens_ != columns_) Part();
        tokens_ = 0;
        comma_ = false;
    }
    void Part()
    {
        if (firstParted_ == 0) firstParted_ = recordLine_;
    }

    uint32_t columns_ = 0;
    uint64_t line_ = 1;
    uint64_t recordLine_ = 1;
    uint64_t tokens_ = 0;
    bool comma_ = false;
    uint64_t firstParted_ = 0;
};

}  // namespace quorvel
