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

// The shortest decimal text that reads back to the same double.
std::string shortestDouble(double value);

} // namespace tlx
