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

double number(std::string_view text) {
    return leadingDouble(text);
}

// Whitespace-separated fields by pattern, 'd' an integer and 's' a word, like sscanf's "%d %s ...":
// stops at the first field that does not match; returns how many did.
int scanFields(std::string_view text, std::string_view pattern, std::vector<int>& ints,
               std::vector<std::string>& texts) {
    const std::vector<std::string_view> w = words(text);
    ints.assign(pattern.size(), 0);
    texts.assign(pattern.size(), {});
    std::size_t i = 0;
    for (; i < pattern.size() && i < w.size(); ++i) {
        if (pattern[i] == 's')
            texts[i] = std::string(w[i]);
        else if (!parseInt(w[i], ints[i]))
            break;
    }
    return static_cast<int>(i);
}

bool isPoleChoice(int poles) {
    return std::find(kPoleChoices.begin(), kPoleChoices.end(), poles) != kPoleChoices.end();
}

} // namespace

TimeFilterSettings parseTimeSetting(std::string_view line) {
    std::vector<int> d;
    std::vector<std::string> t;
    const int n = scanFields(line.substr(0, kSettingLimit), "dsdsddsssd", d, t);
    const int flags = d[0], lowPoles = d[2], highPoles = d[4], extended = d[5], backward = d[9];
    const std::string &low = t[1], &high = t[3], &period = t[6], &q = t[7], &hp = t[8];
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
    return format("%d %g %d %g %d %d %g %g %g %d", s.flags(), s.lowCutoff, s.lowPoles, s.highCutoff,
                  s.highPoles, s.extendedOn ? 1 : 0, s.sensorPeriod, s.sensorQ, s.extendedHighPass,
                  s.backwardHighPass ? 1 : 0);
}

namespace {

// Cuts the text at the marker and takes the reciprocal of the number before it.
std::string reciprocalAtMarker(std::string_view text, char marker) {
    std::string lower = toLower(text);
    const std::size_t at = lower.find(marker);
    if (at == std::string::npos) return lower;
    const double value = leadingDouble(std::string_view(lower).substr(0, at));
    if (value == 0) return lower.substr(0, at);
    return format("%g", 1 / value);
}

} // namespace

std::string normaliseFrequencyEdit(std::string_view text) {
    return reciprocalAtMarker(text, 's');
}
std::string normalisePeriodEdit(std::string_view text) {
    return reciprocalAtMarker(text, 'h');
}

int parsePoles(std::string_view text) {
    const std::string t(trim(text));
    if (t.empty() || t.size() > 9 ||
        !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    int poles = 0;
    return parseInt(t, poles) ? poles : 0;
}

bool parsePresetLine(std::string_view line, FilterPreset& p) {
    const std::size_t open = line.find('"');
    if (open == std::string_view::npos) return false;
    const std::size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos) return false;
    p = FilterPreset{};
    p.name = std::string(line.substr(open + 1, std::min(close - open - 1, kPresetNameLimit)));
    const std::string_view rest(close + 2 < line.size() ? line.substr(close + 2) : std::string_view{});
    std::vector<int> d;
    std::vector<std::string> t;
    const int n = scanFields(rest, "ddddssdsssd", d, t);
    const int lowOn = d[0], lowPoles = d[1], highOn = d[2], highPoles = d[3], extOn = d[6], backOn = d[10];
    const std::string &lc = t[4], &hc = t[5], &per = t[7], &q = t[8], &hp = t[9];
    if (n != 6 && n != 11) return true; // the name alone, every value 0
    p.lowOn = lowOn, p.lowPoles = lowPoles, p.highOn = highOn, p.highPoles = highPoles;
    p.lowCutoff = number(lc), p.highCutoff = number(hc);
    if (p.lowCutoff <= 0 || p.lowPoles < 1 || p.lowPoles > 128) p.lowOn = 0;
    if (p.highCutoff <= 0 || p.highPoles < 1 || p.highPoles > 128) p.highOn = 0;
    if (n == 6) {
        p.extendedOn = 0, p.sensorPeriod = 1, p.sensorQ = 0.707, p.extendedHighPass = 0.1, p.backwardOn = 1;
    } else {
        p.extendedOn = extOn, p.sensorPeriod = number(per), p.sensorQ = number(q),
        p.extendedHighPass = number(hp);
        p.backwardOn = backOn;
    }
    return true;
}

std::string formatPresetLine(const FilterPreset& p) {
    return format("\"%s\" %d %d %d %d %g %g %d %g %g %g %d\n", p.name.c_str(), p.lowOn, p.lowPoles, p.highOn,
                  p.highPoles, p.lowCutoff, p.highCutoff, p.extendedOn, p.sensorPeriod, p.sensorQ,
                  p.extendedHighPass, p.backwardOn);
}

std::vector<FilterPreset> loadPresets(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return parsePresets(text.str());
}

std::vector<FilterPreset> parsePresets(std::string_view text) {
    std::vector<FilterPreset> out;
    // A line longer than the reader's buffer arrives in pieces.
    TextLines lines(text, kPresetLineLimit, 0, LongLines::Continue);
    for (std::string_view line; lines.next(line);) {
        FilterPreset p;
        if (parsePresetLine(line, p)) out.push_back(std::move(p));
    }
    return out;
}

bool savePresets(const std::filesystem::path& file, const std::vector<FilterPreset>& presets,
                 Messages& messages) {
    std::string text;
    for (const FilterPreset& p : presets)
        text += formatPresetLine(p);
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
        if (!run("Sensor Period", CPeriodExtend::historyLine(s.sensorPeriod, s.sensorQ, s.extendedHighPass),
                 extend))
            return applied;
        if (s.backwardHighPass) {
            IirDesign d;
            if (designIir('H', s.extendedHighPass, rate, -3, -12, d) != IirStatus::Ok) {
                messages.error("Error calculating filter data");
                return applied;
            }
            CIirFilter backward(d, Direction::Backward);
            if (!run("", iirHistoryLine('H', Direction::Backward, s.extendedHighPass, 2), backward))
                return applied;
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
            messages.error(status == IirStatus::Invalid ? "Error calculating lowpass filter data"
                                                        : "Error calculating filter data");
            return applied;
        }
        CIirFilter low(d, Direction::Forward);
        const char* label = s.highPass ? "High-Pass and Low-Pass Filter" : "Low-Pass Filter";
        if (!run(label, iirHistoryLine('L', Direction::Forward, s.lowCutoff, s.lowPoles), low))
            return applied;
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
        if (!run("High-Pass Filter", iirHistoryLine('H', Direction::Forward, s.highCutoff, s.highPoles),
                 high))
            return applied;
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
    if (messages_.ask(format("Remove Filter %s?", presets_[index].name.c_str()), Buttons::YesNo) !=
        Answer::Yes)
        return false;
    presets_.erase(presets_.begin() + index);
    settings_.presetIndex = presets_.empty() ? -1 : 0;
    return savePresets(presetFile_, presets_, messages_);
}

} // namespace tlx
