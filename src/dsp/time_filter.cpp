#include "dsp/time_filter.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/text.h"
#include "dsp/filter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tlx {
namespace {

constexpr std::size_t kSettingLimit = 128;
constexpr std::size_t kPresetLineLimit = 127;
constexpr std::size_t kPresetNameLimit = 40;

double number(const char* text) { return std::atof(text); }

bool isPoleChoice(int poles) { return std::find(kPoleChoices.begin(), kPoleChoices.end(), poles) != kPoleChoices.end(); }

} // namespace

TimeFilterSettings parseTimeSetting(std::string_view line) {
    const std::string text(line.substr(0, kSettingLimit));
    int flags = 0, lowPoles = 0, highPoles = 0, extended = 0, backward = 0;
    char low[kSettingLimit + 1] = {}, high[kSettingLimit + 1] = {}, period[kSettingLimit + 1] = {},
         q[kSettingLimit + 1] = {}, hp[kSettingLimit + 1] = {};
    const int n = std::sscanf(text.c_str(), "%d %128s %d %128s %d %d %128s %128s %128s %d", &flags, low, &lowPoles, high,
                              &highPoles, &extended, period, q, hp, &backward);
    TimeFilterSettings s; // the built-in values
    s.lowPass = s.highPass = true;
    if (n != 5 && n != 10) return s;
    s.lowPass = flags & 1;
    s.highPass = flags & 2;
    s.lowCutoff = number(low);
    s.highCutoff = number(high);
    if (s.lowCutoff == 0) s.lowCutoff = 1;
    if (s.highCutoff == 0) s.highCutoff = 0.1;
    s.lowPoles = lowPoles == 0 ? 2 : lowPoles;
    s.highPoles = highPoles == 0 ? 2 : highPoles;
    if (n == 5) {
        s.extendedOn = false;
        s.sensorPeriod = 1;
        s.sensorQ = 0.707;
        s.extendedHighPass = 1.0;
        s.backwardHighPass = true;
    } else {
        s.extendedOn = extended != 0;
        s.sensorPeriod = number(period);
        s.sensorQ = number(q);
        s.extendedHighPass = number(hp);
        s.backwardHighPass = backward != 0;
    }
    return s;
}

std::string formatTimeSetting(const TimeFilterSettings& s) {
    return format("%d %g %d %g %d %d %g %g %g %d", s.flags(), s.lowCutoff, s.lowPoles, s.highCutoff, s.highPoles,
                  s.extendedOn ? 1 : 0, s.sensorPeriod, s.sensorQ, s.extendedHighPass, s.backwardHighPass ? 1 : 0);
}

namespace {

// Cuts the text at the marker and takes the reciprocal of the number before it.
std::string reciprocalAtMarker(std::string_view text, char marker) {
    std::string lower = toLower(text);
    const std::size_t at = lower.find(marker);
    if (at == std::string::npos) return lower;
    const double value = std::atof(lower.substr(0, at).c_str());
    if (value == 0) return lower.substr(0, at);
    return format("%g", 1 / value);
}

} // namespace

std::string normaliseFrequencyEdit(std::string_view text) { return reciprocalAtMarker(text, 's'); }
std::string normalisePeriodEdit(std::string_view text) { return reciprocalAtMarker(text, 'h'); }

int parsePoles(std::string_view text) {
    const std::string t(trim(text));
    if (t.empty() || t.size() > 9 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::atoi(t.c_str());
}

bool parsePresetLine(std::string_view line, FilterPreset& p) {
    const std::size_t open = line.find('"');
    if (open == std::string_view::npos) return false;
    const std::size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos) return false;
    p = FilterPreset{};
    p.name = std::string(line.substr(open + 1, std::min(close - open - 1, kPresetNameLimit)));
    const std::string rest(close + 2 < line.size() ? line.substr(close + 2) : std::string_view{});
    char lc[kPresetLineLimit + 1] = {}, hc[kPresetLineLimit + 1] = {}, per[kPresetLineLimit + 1] = {},
         q[kPresetLineLimit + 1] = {}, hp[kPresetLineLimit + 1] = {};
    int lowOn = 0, lowPoles = 0, highOn = 0, highPoles = 0, extOn = 0, backOn = 0;
    const int n = std::sscanf(rest.c_str(), "%d %d %d %d %127s %127s %d %127s %127s %127s %d", &lowOn, &lowPoles, &highOn,
                              &highPoles, lc, hc, &extOn, per, q, hp, &backOn);
    if (n != 6 && n != 11) return true; // the name alone, every value 0
    p.lowOn = lowOn, p.lowPoles = lowPoles, p.highOn = highOn, p.highPoles = highPoles;
    p.lowCutoff = number(lc), p.highCutoff = number(hc);
    if (p.lowCutoff <= 0 || p.lowPoles < 1 || p.lowPoles > 128) p.lowOn = 0;
    if (p.highCutoff <= 0 || p.highPoles < 1 || p.highPoles > 128) p.highOn = 0;
    if (n == 6) {
        p.extendedOn = 0, p.sensorPeriod = 1, p.sensorQ = 0.707, p.extendedHighPass = 0.1, p.backwardOn = 1;
    } else {
        p.extendedOn = extOn, p.sensorPeriod = number(per), p.sensorQ = number(q), p.extendedHighPass = number(hp);
        p.backwardOn = backOn;
    }
    return true;
}

std::string formatPresetLine(const FilterPreset& p) {
    return format("\"%s\" %d %d %d %d %g %g %d %g %g %g %d\n", p.name.c_str(), p.lowOn, p.lowPoles, p.highOn, p.highPoles,
                  p.lowCutoff, p.highCutoff, p.extendedOn, p.sensorPeriod, p.sensorQ, p.extendedHighPass, p.backwardOn);
}

std::vector<FilterPreset> loadPresets(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return parsePresets(text.str());
}

std::vector<FilterPreset> parsePresets(std::string_view text) {
    std::vector<FilterPreset> out;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        // A line longer than the reader's buffer arrives in pieces.
        for (std::size_t at = 0; at == 0 || at < line.size(); at += kPresetLineLimit) {
            FilterPreset p;
            if (parsePresetLine(std::string_view(line).substr(at, kPresetLineLimit), p)) out.push_back(std::move(p));
        }
    }
    return out;
}

bool savePresets(const std::filesystem::path& file, const std::vector<FilterPreset>& presets, Messages& messages) {
    std::string text;
    for (const FilterPreset& p : presets) text += formatPresetLine(p);
    if (writeFileAtomically(file, text)) return true;
    messages.error("Can't Create Filter File");
    return false;
}

bool applyTimeFilter(const TimeFilterSettings& s, FilterTarget& target, Messages& messages) {
    const double rate = target.sampleRate();
    bool applied = false;
    // The first step of an Apply takes the undo copy, so that Undo returns to the data before it.
    auto run = [&](const std::string& label, const std::string& history, CFilter& filter) {
        FilterOperation op;
        op.undoLabel = applied ? std::string() : label;
        op.history = {history};
        op.work = [&filter](std::span<double> x) {
            filter.process(x);
            return true;
        };
        const bool ok = target.apply(op);
        applied = applied || ok;
        return ok;
    };

    if (s.extendedOn && s.sensorPeriod > 0 && s.sensorQ > 0 && s.extendedHighPass > 0) {
        CPeriodExtend extend(rate, s.sensorPeriod, s.sensorQ, s.extendedHighPass);
        if (!run("Sensor Period", CPeriodExtend::historyLine(s.sensorPeriod, s.sensorQ, s.extendedHighPass), extend))
            return applied;
        if (s.backwardHighPass) {
            IirDesign d;
            if (designIir('H', s.extendedHighPass, rate, -3, -12, d) != IirStatus::Ok) {
                messages.error("Error calculating filter data");
                return applied;
            }
            CIirFilter backward(d, Direction::Backward);
            if (!run("", iirHistoryLine('H', Direction::Backward, s.extendedHighPass, 2), backward)) return applied;
        }
    }
    if (s.lowPass) {
        if (s.lowPoles < 1 || s.lowPoles > 32) {
            messages.error("Invalid Lowpass Pole Number");
            return applied;
        }
        IirDesign d;
        const IirStatus status = designIir('L', s.lowCutoff, s.lowPoles, rate, d);
        if (status != IirStatus::Ok) {
            messages.error(status == IirStatus::Invalid ? "Error calculating lowpass filter data" : "Error calculating filter data");
            return applied;
        }
        CIirFilter low(d, Direction::Forward);
        const char* label = s.highPass ? "High-Pass and Low-Pass Filter" : "Low-Pass Filter";
        if (!run(label, iirHistoryLine('L', Direction::Forward, s.lowCutoff, s.lowPoles), low)) return applied;
    }
    if (s.highPass) {
        if (s.highPoles < 1 || s.highPoles > 32) {
            messages.error("Invalid Pole Number");
            return applied;
        }
        IirDesign d;
        if (designIir('H', s.highCutoff, s.highPoles, rate, d) != IirStatus::Ok) {
            messages.error("Error calculating filter data");
            return applied;
        }
        CIirFilter high(d, Direction::Forward);
        if (!run("High-Pass Filter", iirHistoryLine('H', Direction::Forward, s.highCutoff, s.highPoles), high)) return applied;
    }
    return applied;
}

void CTimeFilter::start(const TimeFilterSettings& windowSettings, const IniProfile& profile) {
    if (windowSettings.held())
        settings_ = windowSettings;
    else
        settings_ = parseTimeSetting(profile.getString("Filter", "Time", kDefaultTimeSetting));
    presets_ = loadPresets(presetFile_);
    undoEnabled_ = false;
}

void CTimeFilter::close(TimeFilterSettings& windowSettings, IniProfile& profile, bool saveAsDefault) const {
    windowSettings = settings_;
    const std::string line = formatTimeSetting(settings_);
    if (saveAsDefault && line.size() <= kSettingLimit) profile.setString("Filter", "Time", line);
}

bool CTimeFilter::apply(FilterTarget& target) {
    if (applyTimeFilter(settings_, target, messages_)) undoEnabled_ = true;
    return undoEnabled_;
}

FilterPreset CTimeFilter::current(const std::string& name) const {
    const TimeFilterSettings& s = settings_;
    FilterPreset p;
    p.name = name;
    p.lowOn = s.lowPass, p.lowPoles = s.lowPoles, p.highOn = s.highPass, p.highPoles = s.highPoles;
    p.lowCutoff = s.lowCutoff, p.highCutoff = s.highCutoff;
    p.extendedOn = s.extendedOn, p.sensorPeriod = s.sensorPeriod, p.sensorQ = s.sensorQ;
    p.extendedHighPass = s.extendedHighPass, p.backwardOn = s.backwardHighPass;
    return p;
}

void CTimeFilter::update(int index) {
    if (index < 0 || index >= static_cast<int>(presets_.size())) return;
    const FilterPreset& p = presets_[index];
    TimeFilterSettings& s = settings_;
    s.lowPass = p.lowOn != 0, s.highPass = p.highOn != 0;
    s.lowCutoff = p.lowCutoff, s.highCutoff = p.highCutoff;
    if (isPoleChoice(p.lowPoles)) s.lowPoles = p.lowPoles;
    if (isPoleChoice(p.highPoles)) s.highPoles = p.highPoles;
    s.extendedOn = p.extendedOn != 0, s.sensorPeriod = p.sensorPeriod, s.sensorQ = p.sensorQ;
    s.extendedHighPass = p.extendedHighPass, s.backwardHighPass = p.backwardOn != 0;
    s.presetIndex = index;
}

bool CTimeFilter::add(const std::string& name) {
    // A quote would end the name early when the file is read back.
    std::string clean;
    for (char c : name)
        if (c != '"' && c != '\n' && c != '\r') clean += c;
    clean = clean.substr(0, kPresetNameLimit);
    if (clean.empty()) return false;
    presets_.push_back(current(clean));
    settings_.presetIndex = static_cast<int>(presets_.size()) - 1;
    return savePresets(presetFile_, presets_, messages_);
}

bool CTimeFilter::save(int index) {
    if (index < 0 || index >= static_cast<int>(presets_.size())) return false;
    const std::string name = presets_[index].name;
    for (FilterPreset& p : presets_)
        if (p.name == name) {
            p = current(name);
            break;
        }
    return savePresets(presetFile_, presets_, messages_);
}

bool CTimeFilter::remove(int index) {
    if (index < 0 || index >= static_cast<int>(presets_.size())) return false;
    if (messages_.ask(format("Remove Filter %s?", presets_[index].name.c_str()), Buttons::YesNo) != Answer::Yes) return false;
    presets_.erase(presets_.begin() + index);
    settings_.presetIndex = presets_.empty() ? -1 : 0;
    return savePresets(presetFile_, presets_, messages_);
}

} // namespace tlx
