#include "seismo/iasp91.h"

#include "core/debug_log.h"
#include "core/file_io.h"

#include <cmath>
#include <cstring>

namespace tlx {
namespace {

constexpr std::int64_t kMaxPhases = 1000;
constexpr std::int64_t kMaxGrid = 100000;

std::int32_t readInt(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

float readFloat(const std::uint8_t* p) {
    const std::uint32_t bits = static_cast<std::uint32_t>(readInt(p));
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

bool Iasp91Tables::parse(std::span<const std::uint8_t> bytes) {
    clear();
    if (bytes.size() < static_cast<std::size_t>(kHeaderBytes)) return false;
    const std::int64_t np = readInt(&bytes[0]), nx = readInt(&bytes[4]), nh = readInt(&bytes[8]);
    const std::int64_t dx = readInt(&bytes[12]), dh = readInt(&bytes[16]);
    if (np < 1 || np > kMaxPhases || nx < 2 || nx > kMaxGrid || nh < 1 || nh > kMaxGrid || dx < 1 ||
        dx > 180 || dh < 1 || dh > 10000)
        return false;
    const std::int64_t cells = np * nx * nh;
    const std::int64_t need = kHeaderBytes + kNameBytes * np + 4 * cells;
    if (cells > (std::int64_t{1} << 28) || static_cast<std::int64_t>(bytes.size()) < need) return false;

    Iasp91Tables t;
    const std::uint8_t* names = bytes.data() + kHeaderBytes;
    for (std::int64_t p = 0; p < np; ++p) {
        const char* field = reinterpret_cast<const char*>(names + p * kNameBytes);
        t.names_.emplace_back(field, strnlen(field, kNameBytes));
    }
    t.times_.resize(static_cast<std::size_t>(cells));
    const std::uint8_t* data = names + kNameBytes * np;
    for (std::size_t c = 0; c < t.times_.size(); ++c) {
        const float v = readFloat(data + 4 * c);
        t.times_[c] = std::isfinite(v) ? v : -1.0f; // a damaged value counts as absent
    }
    t.distanceCount_ = static_cast<int>(nx);
    t.depthCount_ = static_cast<int>(nh);
    t.distanceStep_ = static_cast<int>(dx);
    t.depthStep_ = static_cast<int>(dh);
    t.pIndex_ = t.phaseIndex("P");
    t.sIndex_ = t.phaseIndex("S");
    if (t.pIndex_ < 0 || t.sIndex_ < 0) return false;
    *this = std::move(t);
    return true;
}

bool Iasp91Tables::loadIasp91(const std::vector<std::filesystem::path>& folders) {
    clear();
    const std::filesystem::path path = findDataFile(folders, kIasp91FileName);
    std::vector<std::uint8_t> bytes;
    const bool ok = !path.empty() && readWholeFile(path, bytes, std::uint64_t{1} << 30) && parse(bytes);
    logFormat("IASP91 tables %s: %s", path.empty() ? kIasp91FileName : path.string().c_str(),
              ok ? "loaded" : "not loaded");
    return ok;
}

std::string Iasp91Tables::phaseName(int index) const {
    if (index < 0 || index >= phaseCount()) return {};
    return names_[static_cast<std::size_t>(index)];
}

int Iasp91Tables::phaseIndex(const std::string& name) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name) return static_cast<int>(i);
    return -1;
}

double Iasp91Tables::rowTime(int phase, int i, double x, int k) const {
    const double t = at(phase, i, k);
    if (t < 0) return -1;
    if (x == static_cast<double>(i) * distanceStep_) return t;
    const double t2 = at(phase, i + 1, k);
    if (t2 < 0) return -1;
    return t + (x - static_cast<double>(i) * distanceStep_) * (t2 - t) / distanceStep_;
}

double Iasp91Tables::iasp91Time(int phase, double h, double x) const {
    if (phase < 0 || phase >= phaseCount() || !(x >= 0) || !(h >= 0)) return -1;
    if (x > static_cast<double>(distanceStep_) * (distanceCount_ - 1) || h > 1e6) return -1;
    const int hi = static_cast<int>(h);
    const int hk = hi - hi % depthStep_;
    const int lastDepth = (depthCount_ - 1) * depthStep_;
    if (hk > lastDepth) return -1;
    int i = static_cast<int>(x / distanceStep_);
    if (i > 0 && static_cast<double>(i) * distanceStep_ > x) --i; // never past the grid
    const int k = hk / depthStep_;
    const double t = rowTime(phase, i, x, k);
    if (t < 0) return -1;
    if (h != hk && hk + depthStep_ <= lastDepth) {
        const double u = rowTime(phase, i, x, k + 1);
        if (u < 0) return t;
        return t + (u - t) * (h - hk) / depthStep_;
    }
    return t;
}

bool Iasp91Tables::spTable(double depthKm, std::vector<SpEntry>& entries) const {
    entries.clear();
    if (!available()) return false;
    entries.reserve(static_cast<std::size_t>(distanceCount_));
    for (int i = 0; i < distanceCount_; ++i) {
        const double x = static_cast<double>(i) * distanceStep_;
        const double p = iasp91Time(pIndex_, depthKm, x), s = iasp91Time(sIndex_, depthKm, x);
        SpEntry e;
        e.distance = i * distanceStep_ * 100;
        e.pTime = p < 0 ? -1 : static_cast<int>(p * 1000.0);
        e.sp = (p < 0 || s < 0) ? 0 : static_cast<int>((s - p) * 1000.0);
        entries.push_back(e);
    }
    return true;
}

} // namespace tlx
