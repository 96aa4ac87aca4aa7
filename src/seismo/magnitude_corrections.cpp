#include "seismo/magnitude_corrections.h"

#include "core/file_io.h"
#include "core/text.h"

#include <cctype>
#include <cstdlib>

namespace tlx {

bool MagnitudeCorrections::load(const std::filesystem::path& path) {
    std::string text;
    entries_.clear();
    if (!readTextFile(path, text, 4u << 20)) return false;
    parse(text);
    return true;
}

void MagnitudeCorrections::parse(std::string_view text) {
    entries_.clear();
    TextLines lines(text, 80, '!');
    for (std::string_view line; lines.next(line);) {
        const std::vector<std::string_view> w = words(line);
        if (w.size() >= 3) {
            Entry e;
            e.station = std::string(w[0]);
            e.component = std::string(w[1]);
            e.value = leadingDouble(w[2]);
            entries_.push_back(std::move(e));
        }
    }
}

double MagnitudeCorrections::byStationChannel(std::string_view station, std::string_view channel) const {
    for (const Entry& e : entries_)
        if (e.station == station && e.component == channel) return e.value;
    return 0;
}

double MagnitudeCorrections::byFileName(std::string_view fileName, char orientation) const {
    const std::string name = toLower(std::filesystem::path(std::string(fileName)).filename().string());
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return 0;
    if (name.substr(dot) == ".svx") {
        if (dot == 0) return 0;
        dot = name.rfind('.', dot - 1);
        if (dot == std::string::npos) return 0;
    }
    std::string code = name.substr(dot + 1, 2);
    if (code.size() < 2) return 0;
    if (dot + 3 < name.size() && name[dot + 3] != '.' &&
        !std::isdigit(static_cast<unsigned char>(name[dot + 3])))
        code += name[dot + 3];
    const char letter = std::isprint(static_cast<unsigned char>(orientation)) ? orientation : '?';
    for (const Entry& e : entries_) {
        if (e.station.size() < code.size() || !iequals(toUpper(e.station).substr(0, code.size()), code))
            continue;
        if (static_cast<char>(std::toupper(static_cast<unsigned char>(e.component[0]))) == letter)
            return e.value;
    }
    return 0;
}

double responseCorrection(std::string_view text, std::string_view station, std::string_view channel) {
    bool inSection = false, afterEndDate = false;
    double correction = 0;
    TextLines lines(text, 127);
    for (std::string_view raw; lines.next(raw);) {
        if (!raw.empty() && raw.front() == '[') {
            if (inSection) break; // the section ended without a sensitivity
            const std::string_view head = raw.substr(1);
            const std::size_t first = head.find('.');
            const std::size_t second = first == std::string_view::npos ? first : head.find('.', first + 1);
            const std::size_t underscore =
                second == std::string_view::npos ? second : head.find('_', second + 1);
            inSection = underscore != std::string_view::npos && iequals(head.substr(0, first), station) &&
                        head.substr(second + 1, underscore - second - 1) == channel;
            afterEndDate = false;
            continue;
        }
        if (!inSection) continue;
        const std::string line = toLower(raw);
        if (line.rfind("enddate=no", 0) == 0)
            afterEndDate = true;
        else if (afterEndDate && line.rfind("sens=", 0) == 0) {
            const double s = leadingDouble(std::string_view(line).substr(5));
            if (s != 0) correction = 0.2 / (s * 2 / 1'000'000 * 3.141592653589793);
            break;
        }
    }
    return correction;
}

} // namespace tlx
