// STA/LTA ratio list of the current record and its list file.
#pragma once

#include "core/messages.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

// Setting "StaLta": the three texts as typed.
struct StaLtaSettings {
    std::string sta = "1.0";
    std::string lta = "20.0";
    std::string ratio = "0.0";
};
StaLtaSettings parseStaLtaSetting(std::string_view line);
std::string formatStaLtaSetting(const StaLtaSettings& s);

struct StaLtaEntry {
    long long index = 0; // sample at which the STA block completed
    double timeMs = 0;   // time of day in ms
    double ratio = 0;
    std::string text; // "%s = %3.2f"
};

struct StaLtaResult {
    int staSamples = 0;
    int ltaSamples = 0;
    std::vector<StaLtaEntry> entries;
    int maxEntry = -1;       // index into entries of the largest ratio
    std::string maximumText; // "%3.2f at %s", empty when none
};

enum class StaLtaField { None, Sta, Lta, Ratio };

// Validates the three texts; on failure names the field and, when `messages` is given, shows its message.
StaLtaField validateStaLta(const StaLtaSettings& s, double sampleRate, Messages* messages, double& sta,
                           double& lta, double& ratio);

// "&Calculate" (messages given) or the silent run at dialog start (no messages). startMs is the
// record's start as time of day in ms.
bool computeStaLta(std::span<const double> samples, double sampleRate, double startMs,
                   const StaLtaSettings& s, Messages* messages, StaLtaResult& result);

// Time of day as the waveform view writes it: "%02d:%02d:%02d.%03d".
std::string timeOfDayText(double ms);

bool saveStaLtaFile(const std::filesystem::path& file, const StaLtaResult& result, Messages& messages);

} // namespace tlx
