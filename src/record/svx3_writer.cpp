#include "record/svx3_writer.h"

#include "core/byte_order.h"
#include "core/text.h"
#include "record/svx3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace tlx {
namespace {

using namespace svx3;

constexpr long long kTenthsPerDay = 864'000;
constexpr long long kPickRange = 65'500; // pick offsets in tenths must stay below this
constexpr int kMaxMdTenths = 30'000;

void putWord(std::uint8_t* h, std::size_t offset, long long value) {
    writeLE<std::int16_t>(h + offset, static_cast<std::int16_t>(value));
}

double roundHalfAway(double v) {
    return v >= 0 ? std::floor(v + 0.5) : std::ceil(v - 0.5);
}

std::int16_t toInt16(double v) {
    const double r = roundHalfAway(v);
    if (!(r >= -32768)) return -32768;
    return static_cast<std::int16_t>(std::min(r, 32767.0));
}

// The int16 values of the SVX Type 4 writer (mean of each group of N, less the DC value, inverted
// when asked), each divided by the compression factor before it is rounded and held in range.
std::vector<std::int16_t> compressedSamples(const WriteChannel& channel, const WriterOptions& options, int n,
                                            int y, std::size_t count) {
    const double dc = dcValue(channel, options);
    std::vector<std::int16_t> out(count);
    for (std::size_t i = 0; i < count; ++i)
        out[i] = toInt16(writtenValue(channel.samples, i, n, dc, options.invert) / y);
    return out;
}

void putAngle(std::uint8_t* h, std::size_t degreesWord, std::size_t thousandthsWord, double value) {
    std::int16_t degrees, thousandths;
    encodeSvx3Angle(value, degrees, thousandths);
    putWord(h, degreesWord, degrees);
    putWord(h, thousandthsWord, thousandths);
}

// Whole part and ten-thousandths; below 1 also a divisor code with a scaled value, which keeps
// four significant digits of a small correction.
void putMagCorrection(std::uint8_t* h, double v) {
    if (!std::isfinite(v) || v == 0) return;
    v = std::clamp(v, -32767.0, 32767.0);
    const double whole = std::trunc(v);
    putWord(h, kMagCorrWhole, static_cast<long long>(whole));
    putWord(h, kMagCorrFrac, static_cast<long long>(roundHalfAway((v - whole) * 10'000)));
    if (whole != 0) return;
    const double a = std::fabs(v);
    const int code = a >= 0.1 ? 0 : a >= 0.01 ? 10 : a >= 0.001 ? 100 : a >= 0.0001 ? 1'000 : 10'000;
    putWord(h, kSmallCorrCode, code);
    putWord(h, kSmallCorrValue, static_cast<long long>(roundHalfAway(v * std::max(code, 1) * 10'000)));
}

const PickEntry* firstPick(const ChannelInfo& info, std::string_view phase) {
    for (const PickEntry& p : info.picks)
        if (iequals(trimTrailingBlanks(fieldText(p.phase, sizeof p.phase)), phase)) return &p;
    return nullptr;
}

long long tenthsAfter(const EventTime& base, const EventTime& t) {
    const double tenths = secondsBetween(base, t) * 10;
    return std::isfinite(tenths) ? std::llround(tenths) : -1;
}

// P and S offsets, weights and flags, and the Md duration; nothing unless both P and S exist.
void putPicks(std::uint8_t* h, const EventRecord& record, const EventTime& base, bool regional,
              Messages& messages) {
    const PickEntry* p = firstPick(record.info, "P");
    const PickEntry* s = firstPick(record.info, "S");
    if (!p || !s) return;
    const long long pTenths = tenthsAfter(base, p->time), sTenths = tenthsAfter(base, s->time);
    // A pick before the start has no offset the reader could take back either.
    if (pTenths < 0 || pTenths >= kPickRange) {
        messages.warning("P Pick Time Out Of Range");
        return;
    }
    if (sTenths < 0 || sTenths >= kPickRange) {
        messages.warning("S Pick Time Out Of Range");
        return;
    }
    writeLE<std::uint16_t>(h + kPPick, static_cast<std::uint16_t>(pTenths));
    writeLE<std::uint16_t>(h + kSPick, static_cast<std::uint16_t>(sTenths));
    h[kPWeightByte] = static_cast<std::uint8_t>(std::clamp(p->weight / 4, 1, 255));
    h[kSWeightByte] = static_cast<std::uint8_t>(std::clamp(s->weight / 4, 1, 255));
    const int depth = std::clamp(p->value * 10, 0, 0x3FFF);
    writeLE<std::uint16_t>(h + kPickFlags,
                           static_cast<std::uint16_t>(0x8000 | (regional ? 0x4000 : 0) | depth));
    if (const PickEntry* md = firstPick(record.info, "Md")) {
        const long long duration = tenthsAfter(base, md->time) - pTenths;
        if (duration >= 1 && duration <= kMaxMdTenths) putWord(h, kMdDuration, duration);
    }
}

long long tenthsOfDay(const EventTime& t) {
    return ((t.hour * 60LL + t.minute) * 60 + t.second) * 10 + t.nanoseconds / 100'000'000;
}

} // namespace

bool writeSvx3File(const std::filesystem::path& path, const WriteChannel& channel,
                   const WriterOptions& options, const Svx3Options& svx3, Messages& messages) {
    const EventRecord& record = *channel.record;
    const ChannelHeader& rh = record.header;
    const int n = std::max(1, options.decimation);
    const int y = std::max(1, svx3.yCompression);
    const std::size_t count = channel.samples.size() / static_cast<std::size_t>(n);
    // The reader takes 50 or fewer samples for a damaged file.
    if (count < static_cast<std::size_t>(kMinSampleCount) ||
        count > static_cast<std::size_t>(kMaxSampleCount)) {
        messages.error(format("Can't write %zu samples to file %s", count, path.c_str()));
        return false;
    }

    // The header carries the start and the end to tenths; the reader divides the count by the
    // whole seconds between them, so a span it would read otherwise is refused.
    const double offset = std::fabs(rh.startTimeOffset) < 1e9 ? static_cast<double>(rh.startTimeOffset) : 0.0;
    EventTime start = addSeconds(rh.startTime, offset);
    start.nanoseconds = start.nanoseconds / 100'000'000 * 100'000'000;
    const double sps = (options.windowSps > 0 ? options.windowSps : static_cast<double>(rh.sps)) / n;
    const double spanTenths = static_cast<double>(count) / sps * 10;
    const long long startTod = tenthsOfDay(start);
    long long span = -1, endTod = 0;
    if (spanTenths > 0 && spanTenths < kTenthsPerDay) {
        span = static_cast<long long>(spanTenths + 1e-6); // whole tenths; the epsilon absorbs 299.99999...
        endTod = (startTod + span) % kTenthsPerDay;
    }
    const long long endHour = endTod / 36'000;
    const long long readSpan = endTod - startTod + (endHour < start.hour ? kTenthsPerDay : 0);
    if (span < 10 || readSpan != span ||
        static_cast<double>(count) / static_cast<double>(span / 10) > 1'000'000 || start.year < 1960 ||
        start.year > 2200) {
        messages.error(format("Start time or length of the record can't be stored in file %s", path.c_str()));
        return false;
    }
    if (!askBeforeOverwrite(path, options, messages)) return false;

    std::vector<std::uint8_t> bytes(kSvx3DataOffset + count * 2);
    bytes[0] = kSvx3FileMark;
    writeLE<std::int32_t>(&bytes[1], static_cast<std::int32_t>(count));
    const bool small = count < 65'001;
    writeLE<std::uint16_t>(&bytes[5], static_cast<std::uint16_t>(small ? count * 2 + 100 : 0));

    std::uint8_t* h = bytes.data() + kSvx3PreambleSize;
    putWord(h, kVersion, 3);
    putWord(h, kYear, start.year);
    putWord(h, kMonth, start.month);
    putWord(h, kDay, start.day);
    putWord(h, kHour, start.hour);
    putWord(h, kMinute, start.minute);
    putWord(h, kSecond, start.second);
    putWord(h, kTenths, start.nanoseconds / 100'000'000);
    putWord(h, kEndHour, endHour);
    putWord(h, kEndMinute, endTod / 600 % 60);
    putWord(h, kEndSecond, endTod / 10 % 60);
    putWord(h, kEndTenths, endTod % 10);
    writeLE<std::uint16_t>(h + kCountWord, static_cast<std::uint16_t>(small ? count + 100 : 0xFFFF));
    putWord(h, kOrientation, static_cast<unsigned char>(rh.orientation));
    putAngle(h, kLatDeg, kLatThou, rh.latitude);
    putAngle(h, kLonDeg, kLonThou, rh.longitude);
    const std::string& location =
        record.info.priorLocation.empty() ? record.info.sensorLocation : record.info.priorLocation;
    for (std::size_t i = 0; i < kLocationChars && i < location.size(); ++i)
        putWord(h, kLocation + 2 * i, static_cast<unsigned char>(location[i]));
    copyToField(reinterpret_cast<char*>(h + kComment), kCommentChars, record.info.comment);
    putWord(h, kAdBits, rh.adBits);
    putWord(h, kLock, static_cast<unsigned char>(rh.lockIndicator));
    putMagCorrection(h, rh.magCorrection * y);

    const auto& events = record.info.events;
    if (events.empty()) {
        putWord(h, kEventFlag, -1);
    } else {
        const int current = std::clamp<int>(record.info.currentEvent, 0, static_cast<int>(events.size()) - 1);
        storeSvx3Event(h, events[static_cast<std::size_t>(current)]);
    }
    putPicks(h, record, start, svx3.regionalTables, messages);

    const std::vector<std::int16_t> samples = compressedSamples(channel, options, n, y, count);
    std::memcpy(&bytes[kSvx3DataOffset], samples.data(), count * 2);
    const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
    putWord(h, kDataMin, *lo);
    putWord(h, kDataMax, *hi);
    return commitFile(path, bytes, messages);
}

} // namespace tlx
