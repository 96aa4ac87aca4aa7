#include "browser/search_criteria.h"

#include "core/civil_time.h"
#include "core/text.h"

#include <vector>

namespace tlx::browser {
namespace {

std::vector<std::string> fields(std::string_view line) {
    std::vector<std::string> out;
    std::string current;
    for (char ch : line) {
        if (ch == ',' || ch == '\n' || ch == '\r') {
            out.push_back(current);
            current.clear();
        } else {
            current += ch;
        }
    }
    out.push_back(current);
    return out;
}

bool flag(const std::string& text, bool fallback) {
    int v = 0;
    return parseInt(text, v) ? v != 0 : fallback;
}

std::string textField(const std::string& text) {
    return !text.empty() && text[0] == ' ' ? std::string() : text;
}

std::string written(const std::string& text) {
    return text.empty() ? std::string(" ") : text;
}

} // namespace

SearchCriteria parseCriteria(std::string_view line) {
    SearchCriteria c;
    const std::vector<std::string> f = fields(line);
    auto at = [&](std::size_t i) -> const std::string* { return i < f.size() ? &f[i] : nullptr; };
    if (auto* s = at(0)) c.subdirectories = flag(*s, c.subdirectories);
    if (auto* s = at(1)) c.useDatabase = flag(*s, c.useDatabase);
    if (auto* s = at(2)) {
        int n = 0;
        if (parseInt(*s, n) && n > 0) c.maxFiles = n;
    }
    std::string* texts[] = {&c.minMag,   &c.maxMag, &c.minDist,       &c.maxDist,
                            &c.fromDate, &c.toDate, &c.channelPattern};
    for (std::size_t i = 0; i < std::size(texts); ++i)
        if (auto* s = at(3 + i)) *texts[i] = textField(*s);
    if (auto* s = at(10)) c.acceptZ = flag(*s, c.acceptZ);
    if (auto* s = at(11)) c.acceptN = flag(*s, c.acceptN);
    if (auto* s = at(12)) c.acceptE = flag(*s, c.acceptE);
    if (auto* s = at(13)) c.minDepth = textField(*s);
    if (auto* s = at(14)) c.maxDepth = textField(*s);
    return c;
}

std::string formatCriteria(const SearchCriteria& c) {
    return format("%d,%d,%d,%s,%s,%s,%s,%s,%s,%s,%d,%d,%d,%s,%s", c.subdirectories, c.useDatabase, c.maxFiles,
                  written(c.minMag).c_str(), written(c.maxMag).c_str(), written(c.minDist).c_str(),
                  written(c.maxDist).c_str(), written(c.fromDate).c_str(), written(c.toDate).c_str(),
                  written(c.channelPattern).c_str(), c.acceptZ, c.acceptN, c.acceptE,
                  written(c.minDepth).c_str(), written(c.maxDepth).c_str());
}

double criterionValue(std::string_view text) {
    if (text.empty() || text[0] == ' ') return 0;
    double v = 0;
    return parseDouble(text, v) ? v : 0;
}

bool rangeTest(double value, double lo, double hi, bool zeroAllowed) {
    if (lo == 0 && hi == 0) return true;
    const bool positive = zeroAllowed ? value >= 0 : value > 0;
    if (!positive) return false;
    if (lo != 0 && value < lo) return false;
    if (hi != 0 && value > hi) return false;
    return true;
}

std::optional<std::int64_t> parseSearchDate(std::string_view text) {
    text = skipBlanks(text);
    const std::size_t blank = text.find(' ');
    if (blank != std::string_view::npos) text = text.substr(0, blank);
    const std::vector<std::string> parts = split(text, '/');
    if (parts.size() != 3) return std::nullopt;
    int month = 0, day = 0, year = 0;
    if (!parseInt(parts[0], month) || !parseInt(parts[1], day) || !parseInt(parts[2], year))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 0) return std::nullopt;
    const std::size_t digits = trim(parts[2]).size();
    if (digits <= 2) year += year >= 80 ? 1900 : 2000;
    return daysFromCivil(year, month, day);
}

CandidateFilter::CandidateFilter(const SearchCriteria& c)
    : minMag(criterionValue(c.minMag)), maxMag(criterionValue(c.maxMag)), minDist(criterionValue(c.minDist)),
      maxDist(criterionValue(c.maxDist)), minDepth(criterionValue(c.minDepth)),
      maxDepth(criterionValue(c.maxDepth)), from_(parseSearchDate(c.fromDate)),
      to_(parseSearchDate(c.toDate)), z_(c.acceptZ), n_(c.acceptN), e_(c.acceptE),
      pattern_(toUpper(trim(c.channelPattern))) {}

bool CandidateFilter::dateTest(std::int64_t day) const {
    if (from_ && day < *from_) return false;
    if (to_ && day > *to_) return false;
    return true;
}

bool CandidateFilter::componentTest(char letter) const {
    if (!z_ && !n_ && !e_) return true;
    switch (letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter) {
    case 'Z':
        return z_;
    case 'N':
        return n_;
    case 'E':
        return e_;
    default:
        return false;
    }
}

bool CandidateFilter::stationTest(std::string_view station) const {
    if (pattern_.empty() || pattern_[0] == '*') return true;
    const std::size_t star = pattern_.find('*');
    const std::string name = toUpper(trim(station));
    if (star == std::string::npos) return name == pattern_;
    return name.compare(0, star, pattern_, 0, star) == 0;
}

} // namespace tlx::browser
