#include "dsp/sta_lta.h"

#include "core/atomic_file.h"
#include "core/civil_time.h"
#include "core/text.h"

#include <cmath>
#include <cstdlib>

namespace tlx {
namespace {

// trunc(seconds × rate), immune to a product that lands a hair below a whole number.
int sampleCount(double seconds, double rate) {
    return static_cast<int>(seconds * rate * (1 + 1e-12));
}

bool readNumber(const std::string& text, double& value) {
    return parseDouble(text, value);
}

} // namespace

StaLtaSettings parseStaLtaSetting(std::string_view line) {
    std::vector<std::string> words;
    for (const std::string& w : split(line, ' '))
        if (!trim(w).empty()) words.emplace_back(trim(w));
    if (words.size() < 3) return {};
    return {words[0], words[1], words[2]};
}

std::string formatStaLtaSetting(const StaLtaSettings& s) {
    return format("%s %s %s", s.sta.c_str(), s.lta.c_str(), s.ratio.c_str());
}

std::string timeOfDayText(double ms) {
    auto total = static_cast<long long>(std::floor(ms + 0.5));
    total %= kMsPerDay;
    if (total < 0) total += kMsPerDay;
    return format("%02lld:%02lld:%02lld.%03lld", total / 3'600'000, total / 60'000 % 60, total / 1000 % 60,
                  total % 1000);
}

StaLtaField validateStaLta(const StaLtaSettings& s, double rate, Messages* messages, double& sta, double& lta,
                           double& ratio) {
    auto fail = [&](StaLtaField field, const char* text) {
        if (messages) messages->error(text);
        return field;
    };
    if (!(rate > 0) || !readNumber(s.sta, sta) || sta < 1 / rate || sta > 100 || sampleCount(sta, rate) < 1)
        return fail(StaLtaField::Sta, "Invalid STA Time");
    if (!readNumber(s.lta, lta) || !(lta > sta) || lta > 1000)
        return fail(StaLtaField::Lta, "Invalid LTA Time");
    if (!readNumber(s.ratio, ratio) || ratio < 0 || ratio > 1000)
        return fail(StaLtaField::Ratio, "Invalid Ratio Filter");
    return StaLtaField::None;
}

bool computeStaLta(std::span<const double> samples, double rate, double startMs, const StaLtaSettings& s,
                   Messages* messages, StaLtaResult& result) {
    result = StaLtaResult{};
    double sta = 0, lta = 0, filter = 0;
    if (validateStaLta(s, rate, messages, sta, lta, filter) != StaLtaField::None) return false;
    result.staSamples = sampleCount(sta, rate);
    result.ltaSamples = sampleCount(lta, rate);
    double staSum = 0, ltaSum = 0, ltaValue = 0;
    int staCount = 0, ltaCount = 0;
    bool ltaReady = false;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double a = std::fabs(samples[i]);
        ltaSum += a;
        if (++ltaCount == result.ltaSamples) {
            ltaValue = ltaSum / ltaCount;
            if (ltaValue == 0) ltaValue = 0.001;
            ltaSum = 0, ltaCount = 0, ltaReady = true;
        }
        staSum += a;
        if (++staCount < result.staSamples) continue;
        const double staValue = staSum / staCount;
        staSum = 0, staCount = 0;
        if (!ltaReady) continue;
        const double ratio = staValue / ltaValue;
        if (!(ratio >= filter)) continue;
        StaLtaEntry e;
        e.index = static_cast<long long>(i);
        e.timeMs = startMs + static_cast<double>(i + 1) / rate * 1000;
        e.ratio = ratio;
        e.text = format("%s = %3.2f", timeOfDayText(e.timeMs).c_str(), ratio);
        if (result.maxEntry < 0 || ratio > result.entries[result.maxEntry].ratio)
            result.maxEntry = static_cast<int>(result.entries.size());
        result.entries.push_back(std::move(e));
    }
    if (result.maxEntry >= 0) {
        const StaLtaEntry& m = result.entries[result.maxEntry];
        result.maximumText = format("%3.2f at %s", m.ratio, timeOfDayText(m.timeMs).c_str());
    }
    return true;
}

bool saveStaLtaFile(const std::filesystem::path& file, const StaLtaResult& result, Messages& messages) {
    std::string text =
        format("STA Sample Number = %d  LTA Sample Number = %d\n", result.staSamples, result.ltaSamples);
    for (const StaLtaEntry& e : result.entries)
        text += e.text + "\n";
    if (writeFileAtomically(file, text)) return true;
    messages.error("Can't Create STA/LTA File");
    return false;
}

} // namespace tlx
