// The GSE2.0 CM6 compression (six-bit characters carrying integers, applied to second
// differences) and the CHK2 checksum.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

// Decodes CM6 characters fed in pieces (one data line at a time): a number may go on across
// a line end. Blanks, line ends and characters outside the CM6 set are skipped.
class Cm6Decoder {
  public:
    // Appends decoded values to out while it holds fewer than `limit`; later values are dropped.
    void feed(std::string_view text, std::vector<std::int32_t>& out, std::size_t limit);
    // True when the last character fed promised a continuation that has not come.
    bool inNumber() const { return inNumber_; }

  private:
    bool inNumber_ = false;
    bool negative_ = false;
    std::uint32_t value_ = 0;
};

// The integers as CM6 text, 80 characters a line with '\n' after each line (the last one too).
std::string encodeCm6(const std::vector<std::int32_t>& values);

// Running sums, in place (two passes undo the second differences of CM6 data). Sums wrap as
// 32-bit integers do in the format's reference code.
void integrate(std::vector<std::int32_t>& values);
std::vector<std::int32_t> secondDifferences(const std::vector<std::int32_t>& values);

// The CHK2 checksum: values and running sum reduced modulo 100,000,000, signed.
std::int64_t chk2Checksum(const std::vector<std::int32_t>& values);
// Writers store the checksum either signed or as its absolute value; both count as a match.
bool chk2Matches(std::int64_t stored, std::int64_t computed);

} // namespace tlx
