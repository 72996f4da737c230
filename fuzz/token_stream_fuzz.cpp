// The streaming readers give the whole-file readers' tokens and records
// for every input, wherever the parts end: the first byte chooses the
// code page and the part size (64 to 191 bytes), the rest is the file.
#include <algorithm>
#include <memory>
#include <vector>

#include "core/read/record_reader.h"
#include "core/read/row_stream.h"
#include "core/read/token_stream.h"
#include "fuzz_support.h"

namespace {

using namespace quorvel;

// One file in memory, read in steps of `step` bytes.
class OneFileSystem final : public FileSystem {
public:
    OneFileSystem(std::string_view bytes, size_t step) : bytes_(bytes), step_(step) {}

    std::unique_ptr<InputFile> OpenForReading(const std::string&) override
    {
        struct Reader final : InputFile {
            std::string_view bytes;
            size_t step;
            size_t at = 0;
            bool QuerySize(uint64_t& size) override
            {
                size = bytes.size();
                return true;
            }
            bool Read(char* into, size_t count, size_t& got) override
            {
                got = std::min(std::min(count, step), bytes.size() - at);
                std::copy(bytes.data() + at, bytes.data() + at + got, into);
                at += got;
                return true;
            }
        };
        auto reader = std::make_unique<Reader>();
        reader->bytes = bytes_;
        reader->step = step_;
        return reader;
    }
    std::unique_ptr<PieceFile> OpenPiece(const std::string&) override { return nullptr; }
    std::optional<FileIdentity> IdentityOf(const std::string&) override { return std::nullopt; }
    bool IsFolder(const std::string&) override { return false; }
    bool RemoveFile(const std::string&) override { return false; }
    bool ReplaceFile(const std::string&, const std::string&) override { return false; }

private:
    std::string_view bytes_;
    size_t step_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const CodePage codePage = fuzz::ChosenCodePage(data[0]);
    const size_t part = 64 + (data[0] >> 1);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    OneFileSystem files(bytes, 1 + data[0] % 97);

    const std::vector<std::string> whole = fuzz::ReadTokens(bytes, codePage).ToStrings();
    std::vector<std::string> streamed;
    CsvTokenStream tokens("in.csv", EncodingChoice::Forced(codePage), files, part);
    std::vector<std::string_view> some;
    while (tokens.Next(some))
        for (const std::string_view token : some) streamed.emplace_back(token);
    if (streamed != whole) fuzz::Fail("streamed tokens differ from the whole file's");

    LoadedFile text;
    text.bytes = AllocateFileBuffer(bytes.size());
    std::copy(bytes.begin(), bytes.end(), text.bytes.get());
    text.size = bytes.size();
    try {
        const RecordTokens records = SplitCsvRecords(text, codePage, 7);
        RecordRowStream rows("in.csv", EncodingChoice::Forced(codePage), files, 7, part);
        std::vector<std::string_view> row;
        size_t at = 0;
        while (rows.NextRow(row))
            for (const std::string_view cell : row)
                if (at >= records.tokens.size() || records.tokens[at++] != cell) fuzz::Fail("streamed records differ");
        if (at != records.tokens.size()) fuzz::Fail("streamed records end early");
    } catch (const RecordWidthError&) {
        // Wider than 7 fields: the stream meets the same record (checked
        // by the tests); nothing to compare here.
    }
    return 0;
}
