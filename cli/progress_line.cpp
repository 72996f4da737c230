#include "cli/progress_line.h"

#include <cstdio>
#include <string>

namespace quorvel::cli {

namespace {

constexpr auto kShowEvery = std::chrono::milliseconds(250);

// 1234567 as "1,234,567".
std::string Grouped(uint64_t n)
{
    std::string digits = std::to_string(n);
    for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return digits;
}

std::string Duration(double seconds)
{
    const auto s = static_cast<long long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

}  // namespace

ProgressLine::ProgressLine(std::ostream& err, const Console& console) : err_(err), console_(console)
{
    if (console_.listening) console_.listening->store(true);
}

ProgressLine::~ProgressLine()
{
    if (console_.listening) console_.listening->store(false);
    if (shownWidth_ == 0) return;
    err_ << '\r' << std::string(shownWidth_, ' ') << '\r';
    err_.flush();
}

void ProgressLine::Progress(const SplitProgress& progress)
{
    if (!console_.showProgress) return;
    const Clock::time_point now = Clock::now();
    if (now - lastShown_ < kShowEvery) return;
    lastShown_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double done = static_cast<double>(progress.bytesDone);
    const double total = static_cast<double>(progress.fileSize);
    const double percent = total > 0 ? 100.0 * done / total : 100.0;
    const double rate = seconds > 0 ? done / seconds : 0;
    char figures[64];
    std::snprintf(figures, sizeof figures, "%3.0f%%  ", percent);
    std::string line = figures + Grouped(progress.rows) + " rows  " + Grouped(progress.pieces) + " pieces  ";
    std::snprintf(figures, sizeof figures, "%.1f MB/s", rate / 1e6);
    line += figures;
    if (rate > 0 && total > done) line += "  " + Duration((total - done) / rate) + " left";
    // Shorter than the line before: blanks cover the rest of it.
    const size_t width = line.size();
    if (width < shownWidth_) line.append(shownWidth_ - width, ' ');
    shownWidth_ = std::max(shownWidth_, width);
    err_ << '\r' << line;
    err_.flush();
}

bool ProgressLine::StopRequested() { return console_.interrupted && console_.interrupted->load(); }

}  // namespace quorvel::cli
