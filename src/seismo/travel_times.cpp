#include "seismo/travel_times.h"

#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/ini_profile.h"
#include "core/messages.h"
#include "core/text.h"
#include "seismo/geodesy.h"

#include <algorithm>
#include <cmath>

namespace tlx {
namespace {

constexpr const char* kSection = "Tables";

// Origin plus a travel time in seconds, wrapped into one day.
int arrivalOfDay(int originMs, double seconds) {
    long long t =
        static_cast<long long>(originMs) + static_cast<long long>(std::trunc(seconds * 1000.0 + 0.5));
    if (t > kDayMs - 1) t -= kDayMs;
    return static_cast<int>(t);
}

bool sane(double v) {
    return std::isfinite(v) && std::fabs(v) < 1e6;
}

} // namespace

TableSettings TableSettings::read(const IniProfile& profile, bool iasp91Available) {
    TableSettings s;
    s.pFile = profile.getString(kSection, "P-File", s.pFile);
    s.sFile = profile.getString(kSection, "S-File", s.sFile);
    s.pFileReg = profile.getString(kSection, "P-FileReg", s.pFileReg);
    s.sFileReg = profile.getString(kSection, "S-FileReg", s.sFileReg);
    s.depth = profile.getInt(kSection, "Depth", 3300) / 100;
    s.regDepth = profile.getInt(kSection, "RegDepth", 500) / 100;
    s.useTable = profile.getInt(kSection, "UseTable", kTeleseismic);
    s.i91Phases = profile.getInt(kSection, "I91Phases", 0);
    s.open = profile.getInt(kSection, "Open", 0);
    if (s.useTable < kRegional || s.useTable > kIasp91) s.useTable = kTeleseismic;
    if (!iasp91Available) {
        s.i91Phases = 0;
        if (s.useTable == kIasp91) s.useTable = kTeleseismic;
    }
    return s;
}

bool TableSettings::writeDefaults(IniProfile& profile) const {
    bool ok = profile.setString(kSection, "P-File", pFile);
    ok = profile.setString(kSection, "S-File", sFile) && ok;
    ok = profile.setString(kSection, "P-FileReg", pFileReg) && ok;
    ok = profile.setString(kSection, "S-FileReg", sFileReg) && ok;
    ok = profile.setString(kSection, "Depth", format("%ld", static_cast<long>(depth) * 100)) && ok;
    ok = profile.setString(kSection, "RegDepth", format("%ld", static_cast<long>(regDepth) * 100)) && ok;
    ok = profile.setString(kSection, "UseTable", format("%d", useTable)) && ok;
    return ok;
}

CTravelTm::CTravelTm() : slots_(4) {}

bool CTravelTm::loadPair(const std::filesystem::path& dir, const std::string& p, const std::string& s,
                         int first) {
    PhaseTable& tp = slots_[static_cast<std::size_t>(first)];
    PhaseTable& ts = slots_[static_cast<std::size_t>(first) + 1];
    const std::filesystem::path pPath = findFileAnyCase(dir, p), sPath = findFileAnyCase(dir, s);
    const bool okP = !pPath.empty() && readPhaseTable(pPath, tp);
    const bool okS = !sPath.empty() && readPhaseTable(sPath, ts);
    logFormat("travel-time tables %s: %s, %s: %s", p.c_str(), okP ? "loaded" : "failed", s.c_str(),
              okS ? "loaded" : "failed");
    return okP && okS;
}

bool CTravelTm::load(const std::filesystem::path& dir, const TableSettings& settings, Messages& messages) {
    slots_.assign(4, PhaseTable());
    const bool tele = loadPair(dir, settings.pFile, settings.sFile, kTeleP);
    if (!tele)
        messages.error(format("Error Loading Teleseismic JB-Tables %s and %s!", settings.pFile.c_str(),
                              settings.sFile.c_str()));
    const bool reg = loadPair(dir, settings.pFileReg, settings.sFileReg, kRegP);
    if (!reg)
        messages.error(format("Error Loading Regional JB-Tables %s and %s!", settings.pFileReg.c_str(),
                              settings.sFileReg.c_str()));
    return tele && reg;
}

WindowTravelTimes CTravelTm::newWindow(const TableSettings& settings) const {
    WindowTravelTimes w;
    w.teleLoaded = teleseismicLoaded();
    if (w.teleLoaded)
        for (std::size_t i = 0; i < 4; ++i)
            w.tables[i] = slots_[i];
    w.useTable = settings.useTable;
    if (w.useTable == kIasp91 && !iasp91()) w.useTable = kTeleseismic;
    w.teleDepth = settings.depth;
    w.regDepth = settings.regDepth;
    buildSpTable(w, w.useTable, w.regDepth, w.teleDepth);
    return w;
}

bool CTravelTm::buildSpTable(WindowTravelTimes& w, int mode, double regDepth, double teleDepth) const {
    w.sp.clear();
    w.regDepth = regDepth;
    w.teleDepth = teleDepth;
    if (mode == kIasp91) {
        const Iasp91Model* model = iasp91();
        if (!model || !model->spTable(teleDepth, w.sp)) {
            w.sp.clear();
            return false;
        }
        w.spDepth = teleDepth;
        return true;
    }
    const bool tele = mode == kTeleseismic;
    const PhaseTable& p = w.tables[tele ? kTeleP : kRegP];
    const PhaseTable& s = w.tables[tele ? kTeleS : kRegS];
    if (p.empty() || s.empty()) return false;
    double& depth = tele ? w.teleDepth : w.regDepth;
    depth = std::min(depth, static_cast<double>(p.largestDepth));
    w.sp.reserve(p.distances.size());
    for (const int d : p.distances) {
        const double tp = travelTime(depth, p, d / 100.0);
        const double ts = travelTime(depth, s, d / 100.0);
        SpEntry e;
        e.pTime = tp < 0 ? -1 : static_cast<int>(tp * 1000.0);
        e.sp = (tp < 0 || ts < 0) ? 0 : static_cast<int>((ts - tp) * 1000.0);
        e.distance = d;
        w.sp.push_back(e);
    }
    w.spDepth = depth;
    return true;
}

SpDistance distanceFromSp(const WindowTravelTimes& w, int a) {
    SpDistance none;
    const std::vector<SpEntry>& sp = w.sp;
    if (a <= 0) return none;
    std::size_t i = 0;
    while (i < sp.size() && sp[i].sp < a)
        ++i;
    if (i == sp.size()) return none;
    double degrees;
    if (i == 0) {
        if (sp[0].distance == 0) return none;
        degrees = static_cast<double>(a) * (sp[0].distance / 100.0) / sp[0].sp;
    } else {
        const double d0 = sp[i - 1].distance / 100.0, d1 = sp[i].distance / 100.0;
        degrees = d0 + static_cast<double>(a - sp[i - 1].sp) * (d1 - d0) / (sp[i].sp - sp[i - 1].sp);
    }
    if (!(degrees > 0) || !sane(degrees)) return none;
    // P travel time at that distance from the same table
    const int target = static_cast<int>(degrees * 100.0);
    std::size_t k = 0;
    while (k < sp.size() && sp[k].distance < target)
        ++k;
    if (k == sp.size()) return none;
    double seconds;
    if (k == 0) {
        if (sp[0].pTime == -1) return none;
        seconds = sp[0].distance == 0 ? sp[0].pTime / 1000.0
                                      : degrees * (sp[0].pTime / 1000.0) / (sp[0].distance / 100.0);
    } else {
        const SpEntry& lo = sp[k - 1];
        const SpEntry& hi = sp[k];
        if (lo.pTime == -1 || hi.pTime == -1) return none;
        if ((lo.pTime == 0 && hi.pTime == 0) || lo.distance == hi.distance || lo.pTime == hi.pTime)
            seconds = lo.pTime / 1000.0;
        else
            seconds = lo.pTime / 1000.0 + (degrees - lo.distance / 100.0) * ((hi.pTime - lo.pTime) / 1000.0) /
                                              ((hi.distance - lo.distance) / 100.0);
    }
    SpDistance out;
    out.degrees = degrees;
    out.pTimeMs = static_cast<int>(std::trunc(seconds * 1000.0 + 0.5));
    return out;
}

PredictedArrivals CTravelTm::predictArrivals(const WindowTravelTimes& w, int originMs, double x,
                                             int mode) const {
    PredictedArrivals r;
    if (!(x > 0) || !sane(x)) return r;
    double tp = -1, ts = -1;
    if (mode == kIasp91) {
        const Iasp91Model* model = iasp91();
        if (!model) return r;
        tp = model->pTime(w.teleDepth, x);
        ts = model->sTime(w.teleDepth, x);
    } else {
        const bool tele = mode == kTeleseismic;
        const double depth = w.depthFor(mode);
        tp = travelTime(depth, w.tables[tele ? kTeleP : kRegP], x);
        ts = travelTime(depth, w.tables[tele ? kTeleS : kRegS], x);
    }
    if (tp >= 0) r.pMs = arrivalOfDay(originMs, tp);
    if (ts >= 0) r.sMs = arrivalOfDay(originMs, ts);
    return r;
}

PredictedArrivals CTravelTm::predictFromEvent(WindowTravelTimes& w, int originMs, double x,
                                              double depthKm) const {
    if (!w.eventApplied && sane(depthKm)) {
        int mode = x <= 1.5 ? kRegional : kTeleseismic;
        if (x > 106.0 && iasp91()) mode = kIasp91;
        w.useTable = mode;
        w.eventApplied = true;
        buildSpTable(w, mode, std::max(depthKm, 0.0), std::max(depthKm, 0.0));
    }
    PredictedArrivals r = predictArrivals(w, originMs, x, w.useTable);
    if (w.useTable == kRegional && !r.ok()) {
        const PredictedArrivals tele = predictArrivals(w, originMs, x, kTeleseismic);
        if (tele.ok()) {
            w.useTable = kTeleseismic;
            buildSpTable(w, kTeleseismic, w.regDepth, w.teleDepth);
            return tele;
        }
    }
    return r;
}

std::string largestDistanceText(const PhaseTable& t) {
    const double degrees = t.largestDistance / 100.0;
    const double km = degrees * kKmPerDegree + 0.5;
    return format("%3.2fdeg %dkm %dmi", degrees, static_cast<int>(km), static_cast<int>(km * kMilesPerKm));
}

std::string largestDepthText(const PhaseTable& t) {
    return format("%d km", t.largestDepth);
}

} // namespace tlx
