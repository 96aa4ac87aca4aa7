#include "record/gse2_reader.h"

#include "core/debug_log.h"
#include "core/text.h"
#include "record/cm6.h"
#include "record/geography.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tlx {
namespace {

constexpr std::size_t kMaxLine = 199;
constexpr int kBeginLineWindow = 80;
constexpr int kDat2Window = 100;
constexpr int kMaxDeclaredCount = 1'999'999;

std::string column(std::string_view line, std::size_t start, std::size_t width) {
    if (start >= line.size()) return {};
    return std::string(line.substr(start, width));
}

long toLong(const std::string& s) {
    return leadingInt(s);
}

double toDouble(const std::string& s, double fallback) {
    double v = 0;
    std::size_t used = 0;
    return takeDouble(s, v, used) ? v : fallback;
}

bool startsWith(std::string_view line, std::string_view tag) {
    return line.substr(0, tag.size()) == tag;
}

// A CHK2 line: the tag alone or followed by a blank. CM6 data never hold blanks inside a line,
// so a data line that merely begins with the characters "CHK2" is not taken for one.
bool isChecksumLine(std::string_view line) {
    return startsWith(line, "CHK2") && (line.size() == 4 || line[4] == ' ' || line[4] == '\t');
}

bool isWid2Line(std::string_view line) {
    return startsWith(line, "WID2") && (line.size() == 4 || line[4] == ' ');
}

Gse2Waveform parseWid2(std::string_view line) {
    Gse2Waveform w;
    w.year = static_cast<int>(toLong(column(line, 5, 4)));
    w.month = static_cast<int>(toLong(column(line, 10, 2)));
    w.day = static_cast<int>(toLong(column(line, 13, 2)));
    w.hour = static_cast<int>(toLong(column(line, 16, 2)));
    w.minute = static_cast<int>(toLong(column(line, 19, 2)));
    w.second = toDouble(column(line, 22, 6), 0);
    w.station = column(line, 29, 5);
    w.channel = column(line, 35, 3);
    w.auxId = column(line, 39, 4);
    w.dataFormat = column(line, 44, 3);
    const long count = toLong(column(line, 48, 8));
    w.sampleCount = count < 0 || count > kMaxDeclaredCount + 1L ? -1 : static_cast<int>(count);
    w.sampleRate = toDouble(column(line, 57, 11), 0);
    w.calibration = column(line, 69, 10);
    w.calibrationPeriod = column(line, 80, 7);
    w.instrumentType = column(line, 88, 6);
    w.horizontalAngle = toDouble(column(line, 95, 5), kUnknownValue);
    w.verticalAngle = toDouble(column(line, 101, 4), kUnknownValue);
    return w;
}

void appendIntegers(std::string_view line, std::vector<std::int32_t>& out, std::size_t limit) {
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t')
            ++j;
        if (j > i) {
            long long v = 0;
            if (parseInt(line.substr(i, j - i), v) && out.size() < limit)
                out.push_back(static_cast<std::int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)));
        }
        i = j;
    }
}

std::string stationCode(const std::string& station) {
    std::string s = station;
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
}

} // namespace

std::string Gse2Waveform::calibrationText() const {
    std::string t = "                         nm/count @          Hz ";
    const auto over = [&t](std::size_t from, std::size_t width, const std::string& text) {
        for (std::size_t i = 0; i < width && i < text.size(); ++i)
            t[from + i] = text[i];
    };
    over(0, 6, instrumentType);
    over(8, 3, channel);
    over(13, 10, calibration);
    over(36, 7, calibrationPeriod);
    return t;
}

bool CGse20::hasBeginLine(std::string_view text) {
    TextLines lines(text, kMaxLine, 0, LongLines::Continue); // a text-mode reader with a 200-byte buffer
    std::string_view line;
    while (lines.lineNumber() < kBeginLineWindow && lines.next(line)) {
        if (startsWith(line, "CONTINUATION")) return true;
        if (!startsWith(line, "BEGIN")) continue;
        const std::string_view rest = trim(line.substr(5));
        if (line.size() > 5 && (line[5] == ' ' || line[5] == '\t') && startsWith(rest, "GSE2.0")) return true;
    }
    return false;
}

void CGse20::parse(std::string_view text, const StationTable& stations, std::size_t stopAfter) {
    waveforms_.clear();
    enum class State { Outside, Header, Data } state = State::Outside;
    Gse2Waveform current;
    Cm6Decoder decoder;
    bool cm6 = false;
    int wid2Line = 0;

    const auto finish = [&] {
        if (cm6) {
            integrate(current.samples);
            integrate(current.samples);
        }
        // A waveform without its checksum line cannot be verified.
        current.checksumError =
            !current.checksumSeen || !chk2Matches(current.storedChecksum, chk2Checksum(current.samples));
        current.countError = current.samples.size() != static_cast<std::size_t>(current.sampleCount);
        if (const auto found = stations.find(stationCode(current.station))) {
            current.stationFound = true;
            current.latitude = found->latitude;
            current.longitude = found->longitude;
            current.elevation = found->elevation;
        }
        if (current.checksumError || current.countError)
            logFormat("GSE2.0 %s %s: %zu of %d samples, checksum %s", stationCode(current.station).c_str(),
                      current.channel.c_str(), current.samples.size(), current.sampleCount,
                      current.checksumSeen ? "differs" : "missing");
        waveforms_.push_back(std::move(current));
        current = Gse2Waveform{};
        state = State::Outside;
    };
    const auto done = [&] { return stopAfter > 0 && waveforms_.size() >= stopAfter; };

    TextLines lines(text, kMaxLine, 0, LongLines::Continue); // a text-mode reader with a 200-byte buffer
    std::string_view line;
    while (!done() && lines.next(line)) {
        // Short lines are skipped, except in data: one CM6 character or one digit is a value.
        if (line.size() <= 1 && state != State::Data) continue;
        if (state != State::Outside) {
            if (isChecksumLine(line)) {
                current.checksumSeen = true;
                current.storedChecksum = toLong(column(line, 4, 11));
                finish();
                continue;
            }
            if (!isWid2Line(line)) {
                if (state == State::Header) {
                    if (startsWith(line, "DAT2") && lines.lineNumber() - wid2Line <= kDat2Window)
                        state = State::Data;
                } else if (cm6) {
                    decoder.feed(line, current.samples, static_cast<std::size_t>(current.sampleCount));
                } else {
                    appendIntegers(line, current.samples, static_cast<std::size_t>(current.sampleCount));
                }
                continue;
            }
            finish(); // a new waveform begins where this one's checksum line should have been
            if (done()) break;
        }
        if (!startsWith(line, "WID2")) continue;
        Gse2Waveform w = parseWid2(line);
        cm6 = w.dataFormat.find("CM6") != std::string::npos;
        if (!cm6 && w.dataFormat.find("INT") == std::string::npos) continue;
        if (w.sampleCount < 1 || w.sampleCount > kMaxDeclaredCount) continue;
        current = std::move(w);
        decoder = Cm6Decoder{};
        wid2Line = lines.lineNumber();
        state = State::Header;
    }
    if (state != State::Outside && !done()) finish();
}

std::vector<std::string> CGse20::listing() const {
    std::vector<std::string> out;
    for (const Gse2Waveform& w : waveforms_) {
        const std::string time =
            format("%02d/%02d/%02d %02d:%02d:%02d", w.month, w.day, ((w.year % 100) + 100) % 100, w.hour,
                   w.minute, static_cast<int>(std::lround(w.second)));
        out.push_back(format("GSE2.0 Data Set\t%s\t%s %s", time.c_str(), w.station.c_str(),
                             w.calibrationText().c_str()));
    }
    return out;
}

bool gse2WaveformToRecord(const Gse2Waveform& w, EventRecord& record, const Geography* geography) {
    if (w.year < 1 || w.year > 9999 || w.month < 1 || w.month > 12 || w.day < 1 ||
        w.day > daysInMonth(w.year, w.month) || w.hour < 0 || w.hour > 23 || w.minute < 0 || w.minute > 59 ||
        !(w.second >= 0 && w.second < 61) || !(w.sampleRate > 0 && w.sampleRate <= 1e6))
        return false;
    record.clear();
    ChannelHeader& h = record.header;
    CivilTime start;
    start.year = w.year;
    start.month = w.month;
    start.day = w.day;
    start.hour = w.hour;
    start.minute = w.minute;
    const std::int64_t ms = epochSeconds(start) * 1000 + std::llround(w.second * 1000);
    h.startTime = fromCivil(civilFromEpoch(ms / 1000, static_cast<std::int32_t>(ms % 1000) * 1'000'000));
    h.sps = w.sampleRate;
    h.sampleCount = static_cast<std::int32_t>(w.samples.size());
    h.sampleType = 1;

    // The third letter of the channel, else the second, else the first (one-letter channels).
    char letter = 0;
    for (int i : {2, 1, 0})
        if (static_cast<std::size_t>(i) < w.channel.size() && w.channel[i] != ' ' && w.channel[i] != '\0') {
            letter = static_cast<char>(std::toupper(static_cast<unsigned char>(w.channel[i])));
            break;
        }
    if (letter == 'Z' || letter == 'N' || letter == 'E')
        setOrientation(h, letter);
    else
        h.orientation = letter;
    if (w.horizontalAngle != kUnknownValue) {
        const bool none = w.horizontalAngle == -1;
        h.azimuth = none ? 0 : w.horizontalAngle;
        h.incident = none ? 0 : w.verticalAngle;
    }
    copyToField(h.componentName, sizeof h.componentName, stationCode(w.channel));

    h.latitude = w.latitude;
    h.longitude = w.longitude;
    h.elevation = w.elevation;
    const std::string code = stationCode(w.station);
    std::string region;
    if (w.stationFound && geography)
        region = std::string(trim(geography->regionName(w.latitude, w.longitude)));
    record.info.sensorLocation = (region.empty() ? code : region).substr(0, kMaxInfoText);
    record.info.comment = w.calibrationText();
    std::string id;
    for (char c : code)
        if (c != ' ') id += c;
    copyToField(h.sensorId, sizeof h.sensorId, id.substr(0, 6));
    record.info.sensorDescription = stationCode(w.instrumentType.substr(0, 6));

    // "-1.00e+000" (or -1 in any spelling) marks an unknown calibration; none is negative.
    const double calibration = toDouble(w.calibration, 0);
    if (calibration > 0) {
        h.sensitivity = calibration * 0.000001;
        h.sensorType = 2;
    }
    return true;
}

HeaderStatus Gse2Reader::readHeader(LoadContext& context, LoadResult& result, std::string&) const {
    const auto bytes = context.bytes();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const bool forced = context.forcedKind == kForceGse2;
    // A forced load has been told the format; recognition needs the message's begin line.
    if (!forced && !CGse20::hasBeginLine(text)) return HeaderStatus::NotThisFormat;
    const std::size_t index =
        forced && context.channelIndex > 0 ? static_cast<std::size_t>(context.channelIndex) : 0;
    StationTable stations;
    stations.load(context.settings());
    CGse20 gse;
    gse.parse(text, stations, index + 1);
    if (gse.waveforms().size() <= index) return HeaderStatus::NotThisFormat;
    const Gse2Waveform& w = gse.waveforms()[index];
    LoadedChannel channel;
    if (w.samples.empty() || w.samples.size() > static_cast<std::size_t>(kMaxSampleCount) ||
        !gse2WaveformToRecord(w, channel.record, context.settings().geography))
        return HeaderStatus::NotThisFormat;
    channel.record.fileName = context.path();
    channel.samples.assign(w.samples.begin(), w.samples.end());
    result.kind = kKindGse2;
    result.subKind = SubKind::Binary;
    result.commonCount = static_cast<int>(w.samples.size());
    result.gseChecksumError = w.checksumError;
    result.gseCountError = w.countError;
    result.channels.push_back(std::move(channel));
    return HeaderStatus::Ok;
}

bool Gse2Reader::readHeaderOnly(LoadContext& context, LoadResult& result) const {
    const auto bytes = context.bytes();
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!CGse20::hasBeginLine(text)) return false;
    StationTable stations;
    stations.load(context.settings());
    CGse20 gse;
    gse.parse(text, stations);
    for (const Gse2Waveform& w : gse.waveforms()) {
        LoadedChannel channel;
        if (w.samples.empty() || w.samples.size() > static_cast<std::size_t>(kMaxSampleCount) ||
            !gse2WaveformToRecord(w, channel.record, context.settings().geography))
            break; // later waveforms would no longer match their index in a forced load
        channel.record.fileName = context.path();
        result.channels.push_back(std::move(channel));
    }
    if (result.channels.empty()) return false;
    result.kind = kKindGse2;
    result.commonCount = result.channels.front().record.header.sampleCount;
    return true;
}

bool Gse2Reader::readSamples(LoadContext&, LoadResult& result, int count) const {
    std::vector<double>& samples = result.channels.front().samples;
    samples.resize(static_cast<std::size_t>(count));
    // The integers minus their exact mean.
    std::int64_t sum = 0;
    for (double v : samples)
        sum += static_cast<std::int64_t>(v);
    const double mean = samples.empty() ? 0 : static_cast<double>(sum) / static_cast<double>(samples.size());
    for (double& v : samples)
        v -= mean;
    return true;
}

} // namespace tlx
