// Code page text decoded by iconv. A converter is opened once per code
// page and kept, since tables are built one character at a time.
#include <iconv.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "text_conversion.h"

namespace quorvel {

namespace {

std::string IconvName(int number)
{
    if (number == 20127) return "ASCII";
    if (number == 65001) return "UTF-8";
    if (number >= 28591 && number <= 28606) return "ISO-8859-" + std::to_string(number - 28590);
    return "CP" + std::to_string(number);
}

class Converters {
public:
    ~Converters()
    {
        for (auto& [number, cd] : open_)
            if (cd != Failed()) iconv_close(cd);
    }

    bool Decode(int codePage, std::string_view text, std::u32string& out)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto [it, added] = open_.try_emplace(codePage, Failed());
        if (added) it->second = iconv_open("UTF-32LE", IconvName(codePage).c_str());
        iconv_t cd = it->second;
        if (cd == Failed()) return false;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
        std::string input(text);
        std::string output(input.size() * 4 + 16, '\0');
        char* in = input.data();
        size_t inLeft = input.size();
        char* at = output.data();
        size_t outLeft = output.size();
        if (iconv(cd, &in, &inLeft, &at, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) return false;
        // Some converters stand in for what they cannot map instead of failing.
        const size_t bytes = output.size() - outLeft;
        out.clear();
        for (size_t i = 0; i + 3 < bytes; i += 4) {
            const auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(output[i + k])); };
            out.push_back(b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24);
        }
        return true;
    }

private:
    static iconv_t Failed() { return reinterpret_cast<iconv_t>(-1); }
    std::mutex mutex_;
    std::map<int, iconv_t> open_;
};

}  // namespace

bool DecodeCodePageText(int codePage, std::string_view text, std::u32string& out)
{
    static Converters converters;
    return converters.Decode(codePage, text, out);
}

}  // namespace quorvel
