// The record reading written plainly, one character at a time: a line
// break outside quotes ends a record, every field is kept, blanks are value
// bytes, a quoted value may hold commas, doubled quotes and line breaks,
// text after a closing quote joins the field, an empty line is no record,
// the first 0x00 ends the input. Slow and plain; the block scanner must
// give the same records, on the same lines, for every input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/codepage.h"

namespace quorvel::reference {

struct PlainRecord {
    uint64_t line = 0;  // the file's line where the record begins
    std::vector<std::string> fields;
    bool operator==(const PlainRecord& other) const { return line == other.line && fields == other.fields; }
};

std::vector<PlainRecord> ReadRecords(std::string_view text, const CodePage& codePage);

}  // namespace quorvel::reference
