// Fixed-column text lines (the locator's phase and station files): fields read and written by
// their 0-based columns.
#pragma once

#include <string>
#include <string_view>

namespace tlx {

// Columns start..start+length of a line, fewer where the line is shorter.
inline std::string_view columns(std::string_view line, std::size_t start, std::size_t length) {
    return start >= line.size() ? std::string_view() : line.substr(start, length);
}

// A name field: its columns up to the first blank.
inline std::string wordAt(std::string_view line, std::size_t start, std::size_t length) {
    const std::string_view field = columns(line, start, length);
    return std::string(field.substr(0, field.find(' ')));
}

// Text cut or blank-padded to a field's width.
inline std::string fixedWidth(std::string_view text, std::size_t width) {
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

// Writes text at a column, lengthening the line with blanks where needed.
inline void placeAt(std::string& line, std::size_t at, std::string_view text) {
    if (line.size() < at + text.size()) line.resize(at + text.size(), ' ');
    line.replace(at, text.size(), text);
}

} // namespace tlx
