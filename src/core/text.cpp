#include "core/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace tlx {

std::string vformat(const char* fmt, std::va_list args) {
    std::va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    return out;
}

std::string format(const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    std::string out = vformat(fmt, args);
    va_end(args);
    return out;
}

bool iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string toLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string toUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

void copyToField(char* field, std::size_t capacity, std::string_view text) {
    std::memset(field, 0, capacity);
    std::memcpy(field, text.data(), std::min(capacity, text.size()));
}

std::string fieldText(const char* field, std::size_t capacity) {
    const void* zero = std::memchr(field, 0, capacity);
    const std::size_t n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - field) : capacity;
    return std::string(field, n);
}

std::vector<std::string> split(std::string_view s, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = s.find(separator, start);
        if (at == std::string_view::npos) {
            parts.emplace_back(s.substr(start));
            return parts;
        }
        parts.emplace_back(s.substr(start, at - start));
        start = at + 1;
    }
}

bool TextLines::next(std::string_view& line) {
    while (pos_ < text_.size()) {
        std::size_t end = std::min(text_.find('\n', pos_), text_.size());
        std::size_t after = end + 1;
        if (longLines_ == LongLines::Continue && end - pos_ > maxLength_) {
            end = pos_ + maxLength_;
            after = end;
        }
        line = text_.substr(pos_, end - pos_);
        pos_ = after;
        ++number_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (comment_ != 0 && !line.empty() && line.front() == comment_) continue;
        line = line.substr(0, maxLength_);
        return true;
    }
    return false;
}

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A leading '+' is allowed once; from_chars does not take it.
bool dropPlus(std::string_view& s) {
    if (s.empty() || s.front() != '+') return true;
    s.remove_prefix(1);
    return !s.empty() && s.front() != '-' && s.front() != '+';
}
} // namespace

std::string_view skipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view trimTrailingBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool parseDouble(std::string_view s, double& out) {
    s = trimTrailingBlanks(skipBlanks(s));
    if (!dropPlus(s) || s.empty()) return false;
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

bool parseInt(std::string_view s, long long& out) {
    s = trimTrailingBlanks(skipBlanks(s));
    if (!dropPlus(s) || s.empty()) return false;
    long long v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, 10);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
    out = v;
    return true;
}

bool parseInt(std::string_view s, int& out) {
    long long v = 0;
    if (!parseInt(s, v) || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(v);
    return true;
}

std::size_t numberPrefixLength(std::string_view s, bool integer) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (!integer && i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (!integer && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

bool takeDouble(std::string_view s, double& out, std::size_t& used) {
    const std::string_view rest = skipBlanks(s);
    const std::size_t length = numberPrefixLength(rest, false);
    if (length == 0 || !parseDouble(rest.substr(0, length), out)) return false;
    used = s.size() - rest.size() + length;
    return true;
}

bool takeInt(std::string_view s, int& out, std::size_t& used) {
    const std::string_view rest = skipBlanks(s);
    const std::size_t length = numberPrefixLength(rest, true);
    if (length == 0 || !parseInt(rest.substr(0, length), out)) return false;
    used = s.size() - rest.size() + length;
    return true;
}

double leadingDouble(std::string_view s) {
    s = skipBlanks(s);
    const std::string_view token = s.substr(0, numberPrefixLength(s, false));
    if (token.empty()) return 0;
    double v = 0;
    if (parseDouble(token, v)) return v;
    // Out of range: a negative exponent underflows to 0, anything else is held at the largest value.
    const std::size_t e = token.find_first_of("eE");
    if (e != std::string_view::npos && e + 1 < token.size() && token[e + 1] == '-') return 0;
    const double big = std::numeric_limits<double>::max();
    return token.front() == '-' ? -big : big;
}

int leadingInt(std::string_view s) {
    s = skipBlanks(s);
    const std::string_view token = s.substr(0, numberPrefixLength(s, true));
    if (token.empty()) return 0;
    long long v = 0;
    if (!parseInt(token, v))
        v = token.front() == '-' ? std::numeric_limits<long long>::min()
                                 : std::numeric_limits<long long>::max();
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlank(s[i]))
            ++i;
        std::size_t j = i;
        while (j < s.size() && !isBlank(s[j]))
            ++j;
        if (j > i) out.push_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

int scanInts(std::string_view s, int* out, int count) {
    int n = 0;
    std::size_t used = 0;
    while (n < count && takeInt(s, out[n], used)) {
        ++n;
        s.remove_prefix(used);
    }
    return n;
}

std::string shortestDouble(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace tlx
