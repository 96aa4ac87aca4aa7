// Line-by-line scanning of text event files held in memory, and the lenient number reading
// that old recorders' files need (leading blanks, trailing junk, C-library style).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tlx {

// Walks the lines of a byte span. A line ends at '\n'; a '\r' before it is dropped and a line
// longer than maxLength is cut there (the rest of that line is skipped, never read as a new line).
class LineScanner {
public:
    LineScanner(std::span<const std::uint8_t> bytes, std::size_t maxLength)
        : p_(reinterpret_cast<const char*>(bytes.data())), end_(p_ + bytes.size()), maxLength_(maxLength) {}

    bool next(std::string_view& line);
    bool atEnd() const { return p_ >= end_; }
    const char* position() const { return p_; }

private:
    const char* p_;
    const char* end_;
    std::size_t maxLength_;
};

std::string_view skipBlanks(std::string_view s);
std::string_view trimTrailingBlanks(std::string_view s);

// The leading number of a text like atof/atoi: leading blanks skipped, optional sign, then as much
// as parses; 0 when nothing does. Integers are held inside the int range.
double leadingDouble(std::string_view s);
int leadingInt(std::string_view s);

// Strict forms: the whole text (blanks around allowed) must be one number.
bool parseDouble(std::string_view s, double& out);
bool parseInt(std::string_view s, long long& out);

// Reads up to `count` whitespace-separated integers of "%d %d ..." form; returns how many parsed.
int scanInts(std::string_view s, int* out, int count);

} // namespace tlx
