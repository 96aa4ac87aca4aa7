#include "record/text_scan.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace tlx {

bool LineScanner::next(std::string_view& line) {
    if (p_ >= end_) return false;
    const void* nl = std::memchr(p_, '\n', static_cast<std::size_t>(end_ - p_));
    const char* stop = nl ? static_cast<const char*>(nl) : end_;
    std::size_t length = static_cast<std::size_t>(stop - p_);
    if (length > 0 && p_[length - 1] == '\r') --length;
    if (length > maxLength_) length = maxLength_;
    line = std::string_view(p_, length);
    p_ = nl ? stop + 1 : end_;
    return true;
}

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
} // namespace

std::string_view skipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.substr(i);
}

std::string_view trimTrailingBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

double leadingDouble(std::string_view s) {
    s = skipBlanks(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range) {
        // from_chars leaves v untouched on overflow: take the sign of the text
        return !s.empty() && s.front() == '-' ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    }
    return r.ec == std::errc() && std::isfinite(v) ? v : 0;
}

int leadingInt(std::string_view s) {
    s = skipBlanks(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    long long v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec == std::errc::result_out_of_range)
        return !s.empty() && s.front() == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    if (r.ec != std::errc()) return 0;
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

bool parseDouble(std::string_view s, double& out) {
    s = trimTrailingBlanks(skipBlanks(s));
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(out);
}

bool parseInt(std::string_view s, long long& out) {
    s = trimTrailingBlanks(skipBlanks(s));
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

int scanInts(std::string_view s, int* out, int count) {
    int n = 0;
    while (n < count) {
        s = skipBlanks(s);
        if (!s.empty() && s.front() == '+') s.remove_prefix(1);
        long long v = 0;
        const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        if (r.ec != std::errc() || v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
            return n;
        out[n++] = static_cast<int>(v);
        s.remove_prefix(static_cast<std::size_t>(r.ptr - s.data()));
    }
    return n;
}

} // namespace tlx
