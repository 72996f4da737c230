#include "reference/plain_records.h"

namespace quorvel::reference {

namespace {

class PlainReader {
public:
    PlainReader(std::string_view text, const CodePage& codePage)
        : text_(text.substr(0, text.find('\0'))), codePage_(codePage)
    {
    }

    std::vector<PlainRecord> Records()
    {
        std::vector<PlainRecord> records;
        while (p_ < text_.size()) {
            if (IsBreak(At(p_))) {
                StepOverBreak();
                continue;
            }
            PlainRecord record;
            record.line = line_;
            for (;;) {
                record.fields.push_back(Field());
                if (At(p_) != ',') break;
                ++p_;
            }
            records.push_back(record);
            if (IsBreak(At(p_))) StepOverBreak();
        }
        return records;
    }

private:
    // The byte at `i`, or 0x00 past the end.
    char At(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
    static bool IsBreak(char c) { return c == '\r' || c == '\n'; }

    size_t CharLength(size_t i) const
    {
        return codePage_.IsLeadByte(static_cast<uint8_t>(At(i))) && i + 1 < text_.size() ? 2 : 1;
    }

    void StepOverBreak()
    {
        if (At(p_) == '\r' && At(p_ + 1) == '\n') ++p_;
        ++p_;
        ++line_;
    }

    void Unquoted(std::string& field)
    {
        while (p_ < text_.size() && At(p_) != ',' && !IsBreak(At(p_))) {
            const size_t n = CharLength(p_);
            field.append(text_.substr(p_, n));
            p_ += n;
        }
    }

    std::string Field()
    {
        std::string field;
        if (At(p_) != '"') {
            Unquoted(field);
            return field;
        }
        ++p_;
        for (;;) {
            if (p_ >= text_.size()) return field;  // unterminated: to the end
            if (At(p_) == '"') {
                if (At(p_ + 1) == '"') {
                    field.push_back('"');
                    p_ += 2;
                    continue;
                }
                ++p_;
                break;
            }
            if (At(p_) == '\n' || (At(p_) == '\r' && At(p_ + 1) != '\n')) ++line_;
            const size_t n = CharLength(p_);
            field.append(text_.substr(p_, n));
            p_ += n;
        }
        Unquoted(field);  // text after the closing quote joins the field
        return field;
    }

    std::string_view text_;
    const CodePage& codePage_;
    size_t p_ = 0;
    uint64_t line_ = 1;
};

}  // namespace

std::vector<PlainRecord> ReadRecords(std::string_view text, const CodePage& codePage)
{
    return PlainReader(text, codePage).Records();
}

}  // namespace quorvel::reference
