// The file-search criteria (the "FileSearch" setting's 15 fields) and the tests a candidate file
// must pass: ranges, dates, components and the channel ID pattern.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tlx::browser {

struct SearchCriteria {
    bool subdirectories = true;
    bool useDatabase = false;
    int maxFiles = 100;
    // Texts as typed; an empty text (or one beginning with a blank) is the number 0, no limit.
    std::string minMag = "0.1", maxMag = "10.0";
    std::string minDist = "0.1", maxDist = "12000.0";
    std::string fromDate, toDate; // month/day/year
    std::string channelPattern;
    bool acceptZ = true, acceptN = true, acceptE = true;
    std::string minDepth = "0.1", maxDepth = "800.0";
};

inline constexpr std::string_view kDefaultFileSearch = "1,0,100,0.1,10.0,0.1,12000.0, , , ,1,1,1,0.1,800.0";

// Reads the setting's line (split on comma, LF and CR); missing fields keep their defaults.
SearchCriteria parseCriteria(std::string_view line);
// The same 15-field form, empty texts written as a single blank.
std::string formatCriteria(const SearchCriteria& c);

// A criterion text as a number: empty, blank-led or unparsable texts are 0 (no limit).
double criterionValue(std::string_view text);

// lo/hi of 0 are unset. With zeroAllowed a value of exactly 0 is accepted where > 0 is asked.
bool rangeTest(double value, double lo, double hi, bool zeroAllowed = false);

// "month/day/year" up to the first blank, as days since 1970-01-01; none when it does not parse.
// Years 80..99 are 1980..1999, 0..79 are 2000..2079, three or more digits are taken as they are.
std::optional<std::int64_t> parseSearchDate(std::string_view text);

// The prepared tests of one search.
class CandidateFilter {
  public:
    explicit CandidateFilter(const SearchCriteria& c);

    double minMag, maxMag, minDist, maxDist, minDepth, maxDepth;
    bool anyMagOrDistBound() const { return minMag > 0 || maxMag > 0 || minDist > 0 || maxDist > 0; }

    // `day`: the candidate's start date, days since 1970-01-01.
    bool dateTest(std::int64_t day) const;
    bool componentTest(char letter) const;
    bool stationTest(std::string_view station) const;

  private:
    std::optional<std::int64_t> from_, to_;
    bool z_, n_, e_;
    std::string pattern_; // upper-cased
};

} // namespace tlx::browser
