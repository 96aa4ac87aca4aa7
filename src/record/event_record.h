// One channel of one seismic event as the program holds it: the 154-byte fixed header (kept as
// the very image of the SVX Type 4 header), the extended information, and the file name.
// The samples live beside the record, owned by whoever holds it (the event document).
#pragma once

#include "core/civil_time.h"
#include "core/units.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tlx {

static_assert(std::endian::native == std::endian::little,
              "record structures are kept as little-endian file images");

constexpr int kMinSampleCount = 51;       // 50 or fewer is "Invalid data count in file"
constexpr int kMaxSampleCount = 0x500000; // 5,242,880
constexpr std::size_t kMaxInfoText = 255;
constexpr std::size_t kMaxPriorLocation = 23;
constexpr std::size_t kMaxFileName = 255;

#pragma pack(push, 1)

struct EventTime {
    std::uint16_t year;
    std::uint8_t month;
    std::uint8_t day;
    std::uint8_t hour;
    std::uint8_t minute;
    std::uint8_t second;
    std::uint8_t reserved;
    std::int32_t nanoseconds;
};

struct ChannelHeader {
    char magic[8];
    std::int32_t varHeaderLength;
    EventTime startTime;
    double startTimeOffset;
    double sps;
    std::int32_t sampleCount;
    std::int32_t headerFlags;
    char timeRefType[3];
    char lockIndicator;
    std::uint8_t sampleType;
    std::uint8_t reserved;
    double incident;
    double azimuth;
    char orientation;
    std::uint8_t sensorType;
    double latitude;
    double longitude;
    double elevation;
    char sensorId[6];
    char componentName[4];
    char network[6];
    double sensitivity;
    double magCorrection;
    std::int16_t adBits;
    double dataMin;
    double dataMax;
    double dataMean;
};

struct EventEntry {
    EventTime originTime;
    double latitude;
    double longitude;
    double depth;
    std::int16_t magMs;
    std::int16_t magMb;
    std::int16_t magMw;
    std::int16_t magMl;
    std::int16_t magMd;
    std::int16_t magOther;
    char magOtherType[4];
    std::uint8_t eventType;
    std::uint8_t quality;
    std::uint16_t codeC;
    char source[6];
};

struct PickEntry {
    EventTime time;
    char phase[8];
    std::uint16_t pickFlags;
    std::int16_t weight;
    char text[16];
    std::int16_t value;
};

#pragma pack(pop)

static_assert(sizeof(EventTime) == 12);
static_assert(sizeof(ChannelHeader) == 154);
static_assert(offsetof(ChannelHeader, varHeaderLength) == 8);
static_assert(offsetof(ChannelHeader, startTime) == 12);
static_assert(offsetof(ChannelHeader, startTimeOffset) == 24);
static_assert(offsetof(ChannelHeader, sps) == 32);
static_assert(offsetof(ChannelHeader, sampleCount) == 40);
static_assert(offsetof(ChannelHeader, headerFlags) == 44);
static_assert(offsetof(ChannelHeader, timeRefType) == 48);
static_assert(offsetof(ChannelHeader, lockIndicator) == 51);
static_assert(offsetof(ChannelHeader, sampleType) == 52);
static_assert(offsetof(ChannelHeader, incident) == 54);
static_assert(offsetof(ChannelHeader, azimuth) == 62);
static_assert(offsetof(ChannelHeader, orientation) == 70);
static_assert(offsetof(ChannelHeader, sensorType) == 71);
static_assert(offsetof(ChannelHeader, latitude) == 72);
static_assert(offsetof(ChannelHeader, longitude) == 80);
static_assert(offsetof(ChannelHeader, elevation) == 88);
static_assert(offsetof(ChannelHeader, sensorId) == 96);
static_assert(offsetof(ChannelHeader, componentName) == 102);
static_assert(offsetof(ChannelHeader, network) == 106);
static_assert(offsetof(ChannelHeader, sensitivity) == 112);
static_assert(offsetof(ChannelHeader, magCorrection) == 120);
static_assert(offsetof(ChannelHeader, adBits) == 128);
static_assert(offsetof(ChannelHeader, dataMin) == 130);
static_assert(offsetof(ChannelHeader, dataMax) == 138);
static_assert(offsetof(ChannelHeader, dataMean) == 146);
static_assert(sizeof(EventEntry) == 62);
static_assert(offsetof(EventEntry, latitude) == 12);
static_assert(offsetof(EventEntry, magMs) == 36);
static_assert(offsetof(EventEntry, magOtherType) == 48);
static_assert(offsetof(EventEntry, eventType) == 52);
static_assert(offsetof(EventEntry, codeC) == 54);
static_assert(offsetof(EventEntry, source) == 56);
static_assert(sizeof(PickEntry) == 42);
static_assert(offsetof(PickEntry, phase) == 12);
static_assert(offsetof(PickEntry, pickFlags) == 20);
static_assert(offsetof(PickEntry, weight) == 22);
static_assert(offsetof(PickEntry, text) == 24);
static_assert(offsetof(PickEntry, value) == 40);

// A variable header block the reader did not recognise, kept with its 6-byte block header.
using RawBlock = std::vector<std::uint8_t>;

struct ChannelInfo {
    std::string comment;
    std::string sensorLocation;
    std::string priorLocation;
    std::string sensorDescription;
    std::string dataLogger;
    std::vector<EventEntry> events;
    std::vector<PickEntry> picks;
    std::vector<std::string> history;
    std::vector<RawBlock> extraBlocks;
    double sensorOutput = 0;
    double ampGain = 0;
    double adVolts = 0;
    char seedNetwork[4] = {};
    char seedLocation[4] = {};
    std::int32_t currentEvent = 0;
    std::vector<std::uint8_t> opaqueBlock;
};

struct EventRecord {
    ChannelHeader header;
    ChannelInfo info;
    std::string fileName;

    EventRecord() { clear(); }
    // Every reader starts from a cleared record.
    void clear();

    void addEvent(const EventEntry& entry) { info.events.push_back(entry); }
    void addPick(const PickEntry& pick) { info.picks.push_back(pick); }
    void addHistory(const std::string& line) { info.history.push_back(line); }

    std::string stationName() const;
    std::string component() const;
};

// Sample width in an SVX Type 4 file for a sampleType code: 2, 4, 4, else 8.
int sampleWidth(int sampleType);

// Sets the orientation letter together with its incident and azimuth angles (Z, N, E).
void setOrientation(ChannelHeader& header, char letter);

// Sensitivity from the recorder's electrical description; 0 when a factor is unknown.
double sensitivityFromElectrical(double adVolts, double sensorOutput, double ampGain, int adBits);

// EventTime <-> calendar arithmetic (UTC).
CivilTime toCivil(const EventTime& t);
EventTime fromCivil(const CivilTime& t);
EventTime addSeconds(const EventTime& t, double seconds);
double secondsBetween(const EventTime& from, const EventTime& to);
std::int64_t timeOfDayMs(const EventTime& t);
// "%02d/%02d/%02d %02d:%02d:%02d.%03d": month, day, year, hour, minute, second, ms.
std::string formatStartTime(const EventTime& t);
// ISO 8601 with milliseconds, UTC ("2024-03-01T12:00:05.250Z").
std::string formatIsoTime(const EventTime& t);

// Magnitudes are stored as hundredths: integer part of (m + 0.005) x 100.
std::int16_t storedMagnitude(double m);
// Stores m by type name (ms, mb, mw, ml, md, or any other name into magOther when non-zero).
void setMagnitude(EventEntry& entry, double m, const std::string& typeName);
struct ShownMagnitude {
    bool present = false;
    double value = 0;
    std::string label;
};
// The first non-zero magnitude in the order Ms, Mb, Mw, Ml, Md, other.
ShownMagnitude shownMagnitude(const EventEntry& entry);
// One line for an event: origin "mm/dd/yyyy hh:mm:ss", the shown magnitude and the depth.
std::string eventSummary(const EventEntry& entry);

} // namespace tlx
