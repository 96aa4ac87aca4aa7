// Small text helpers shared by readers, writers and settings.
#pragma once

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

// printf-style formatting into a std::string (the program's fixed message texts use this form).
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, std::va_list args);

bool iequals(std::string_view a, std::string_view b);
std::string toLower(std::string_view s);
std::string toUpper(std::string_view s);
std::string_view trim(std::string_view s);

// Copies text into a fixed-width character field, zero-padding the rest; cuts at capacity.
void copyToField(char* field, std::size_t capacity, std::string_view text);
// Reads a fixed-width field that is zero-terminated unless it is full.
std::string fieldText(const char* field, std::size_t capacity);

std::vector<std::string> split(std::string_view s, char separator);

// The one line splitter of the program. Lines end at LF, a CR before it is dropped; a line
// longer than maxLength is cut there and the rest skipped, or, with LongLines::Continue (a C
// reader with a fixed buffer), handed out as the next line. Lines beginning with `comment`
// (when it is not 0) are passed over.
enum class LongLines { Cut, Continue };

class TextLines {
  public:
    explicit TextLines(std::string_view text, std::size_t maxLength = std::string_view::npos,
                       char comment = 0, LongLines longLines = LongLines::Cut)
        : text_(text), maxLength_(maxLength), comment_(comment), longLines_(longLines) {}
    bool next(std::string_view& line);
    bool atEnd() const { return pos_ >= text_.size(); }
    // Where the next line starts.
    const char* position() const { return text_.data() + std::min(pos_, text_.size()); }
    // How many lines have been handed out (comments included).
    int lineNumber() const { return number_; }

  private:
    std::string_view text_;
    std::size_t maxLength_;
    char comment_;
    LongLines longLines_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

// Bytes of a text file held in memory, seen as text.
inline std::string_view asText(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// The one number parser of the program. The whole text, blanks around it allowed, must be one
// finite decimal number: no inf, nan, hex, empty text or trailing characters; out of range fails.
bool parseDouble(std::string_view s, double& out);
bool parseInt(std::string_view s, long long& out);
bool parseInt(std::string_view s, int& out);

// Where a format reads the leading number of a longer field (C-library style): blanks skipped,
// then the longest prefix that is a number, converted by the parser above; 0 when none is.
// Integers are held inside the int range, doubles inside the finite range.
double leadingDouble(std::string_view s);
int leadingInt(std::string_view s);
// The leading number of `s` after blanks, through the parser above: false when there is none;
// `used` counts the characters taken, blanks included.
bool takeDouble(std::string_view s, double& out, std::size_t& used);
bool takeInt(std::string_view s, int& out, std::size_t& used);
// Length of the leading number token of `s` (after no blanks), 0 when it does not start with one.
std::size_t numberPrefixLength(std::string_view s, bool integer);

// Whitespace-separated words of a line.
std::vector<std::string_view> words(std::string_view s);
// Reads up to `count` whitespace-separated integers of "%d %d ..." form; returns how many parsed.
int scanInts(std::string_view s, int* out, int count);

std::string_view skipBlanks(std::string_view s);
std::string_view trimTrailingBlanks(std::string_view s);

// The shortest decimal text that reads back to the same double.
std::string shortestDouble(double value);

} // namespace tlx
