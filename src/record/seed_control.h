// SEED control headers: the volume (10), data format (30), abbreviation (33) and unit (34)
// dictionaries, stations (50) with their channels (52) and sensitivities (58), and the
// hypocentre (71). Blockettes may continue across logical records.
#pragma once

#include "record/mseed_record.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace tlx {

constexpr std::size_t kMaxFormatKeys = 32;

enum class SeedDecoder { Unknown, Steim1, Steim2, Dwwssn, Usnsn };

// The decoder of a dictionary name, by prefix in the order STEIM2, STEIM, DWWSSN, USNSN
// (case, blanks and hyphens ignored: "Steim-2 Integer Compression Format" is Steim2).
SeedDecoder decoderFromName(const std::string& name);

struct SeedFormat {
    int key = 0;
    std::string name;
};

struct SeedChannel {
    std::string location, channel;
    std::string instrument; // the instrument's abbreviation text (blockette 33)
    int unitsKey = 0;
    int formatKey = 0; // 0: none given
    double latitude = 0, longitude = 0, elevation = 0, azimuth = 0, dip = 0, rate = 0;
    double sensitivity = 0; // 1 / (stage-0 sensitivity x 100)
};

struct SeedStation {
    std::string code, siteName, network;
    double latitude = 0, longitude = 0, elevation = 0;
    std::vector<SeedChannel> channels;
};

struct SeedHypocentre {
    bool present = false;
    BTime origin;
    double latitude = 0, longitude = 0, depth = 0;
    std::vector<std::pair<double, std::string>> magnitudes;
};

struct SeedControl {
    int recordLength = 0; // logical record length from blockette 10
    BTime start;          // volume start time from blockette 10
    std::vector<SeedFormat> formats;
    std::map<int, std::string> abbreviations;
    std::map<int, std::string> units;
    std::vector<SeedStation> stations;
    SeedHypocentre hypocentre;

    const SeedStation* findStation(const std::string& code) const;
    const SeedChannel* findChannel(const std::string& station, const std::string& channel) const;
    std::string unitName(int key) const;
    // The decoder for a channel's format key; a channel without one is Steim1.
    SeedDecoder decoderFor(const SeedChannel& channel) const;
};

// True when `bytes` starts like a SEED volume: "000001V " and a blockette 10 with a non-zero year.
bool isSeedVolume(std::span<const std::uint8_t> bytes, BTime* start = nullptr);

// Parses blockette 10 of the first record and every control record of the volume.
// Returns false when the volume header is unusable.
bool parseSeedControl(std::span<const std::uint8_t> bytes, SeedControl& control, std::string& error);

// "YYYY,DDD,HH:MM:SS.FFFF" (trailing parts optional) into a BTime; false when the year or day is missing.
bool parseSeedTime(const std::string& text, BTime& t);

} // namespace tlx
