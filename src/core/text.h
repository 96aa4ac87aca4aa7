// Small text helpers shared by readers, writers and settings.
#pragma once

#include <cstdarg>
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

// The lines of a text held in memory: split at LF with a CR before it dropped, each cut to
// maxLength characters; lines beginning with `comment` (when it is not 0) are passed over.
class TextLines {
public:
    explicit TextLines(std::string_view text, std::size_t maxLength = std::string_view::npos, char comment = 0)
        : text_(text), maxLength_(maxLength), comment_(comment) {}
    bool next(std::string_view& line);

private:
    std::string_view text_;
    std::size_t maxLength_;
    char comment_;
    std::size_t pos_ = 0;
};

// The shortest decimal text that reads back to the same double.
std::string shortestDouble(double value);

} // namespace tlx
