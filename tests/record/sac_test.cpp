// SAC files: the header mapping and checks (files built here byte by byte at the published
// offsets), the writer, the shared reference files and the Debian converters as peers.
#include "core/byte_order.h"
#include "core/text.h"
#include "format_fixtures.h"
#include "record/loader.h"
#include "record/sac_reader.h"
#include "record/sac_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <spawn.h>
#include <sys/wait.h>

#ifdef TLX_HAVE_LIBMSEED
#include <libmseed.h>
#endif

extern char** environ;

namespace tlx {
namespace {

// A SAC file written field by field at the standard offsets (floats at 4 x index, integers
// from 280, strings from 440), independently of the program's header code.
struct SacSpec {
    bool big = false;
    std::map<int, float> floats{{0, 0.01f}}; // byte offset -> value
    std::map<int, std::int32_t> ints{{280, 2004}, {284, 60}, {288, 10}, {292, 20}, {296, 30}, {300, 250}};
    std::map<int, std::string> texts; // byte offset -> text (8 chars, blank-padded)
    std::vector<float> samples = std::vector<float>(100, 1.5f);
    std::optional<std::int32_t> npts;
};

std::vector<std::uint8_t> buildSac(const SacSpec& s) {
    std::vector<std::uint8_t> out(632 + 4 * s.samples.size());
    const auto put32 = [&](std::size_t at, std::uint32_t bits) {
        for (int b = 0; b < 4; ++b)
            out[at + (s.big ? 3 - b : b)] = static_cast<std::uint8_t>(bits >> (8 * b));
    };
    const auto putFloat = [&](std::size_t at, float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        put32(at, bits);
    };
    for (int w = 0; w < 70; ++w)
        putFloat(4 * w, -12345.0f);
    for (int w = 0; w < 40; ++w)
        put32(280 + 4 * w, static_cast<std::uint32_t>(-12345));
    for (int at = 440; at < 632; at += 8)
        std::memcpy(&out[at], at == 456 ? "        " : "-12345  ", 8);
    for (const auto& [at, v] : s.floats)
        putFloat(at, v);
    for (const auto& [at, v] : s.ints)
        put32(at, static_cast<std::uint32_t>(v));
    put32(316, static_cast<std::uint32_t>(s.npts.value_or(static_cast<std::int32_t>(s.samples.size()))));
    for (const auto& [at, text] : s.texts) {
        std::memset(&out[at], ' ', 8);
        std::memcpy(&out[at], text.data(), std::min<std::size_t>(8, text.size()));
    }
    for (std::size_t i = 0; i < s.samples.size(); ++i)
        putFloat(632 + 4 * i, s.samples[i]);
    return out;
}

LoadResult loadBytes(const std::vector<std::uint8_t>& bytes, RecordingMessages& messages) {
    EventLoader loader(messages);
    return loader.loadBytes(bytes, "mem.sac", LoadRequest{});
}

LoadResult loadPath(const std::filesystem::path& path, RecordingMessages& messages) {
    EventLoader loader(messages);
    LoadRequest request;
    request.fileName = path.string();
    return loader.load(request);
}

std::vector<float> wave(std::size_t n) {
    std::vector<float> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<float>(1000 * std::sin(0.05 * i) + 0.25 * i);
    return v;
}

TEST(SacRead, BothByteOrdersGiveTheSameRecordAndSamples) {
    for (const bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        SacSpec s;
        s.big = big;
        s.samples = wave(300);
        s.texts = {{440, "ST 01"}, {600, "BHN"}, {608, "G E"}};
        RecordingMessages messages;
        const LoadResult r = loadBytes(buildSac(s), messages);
        ASSERT_TRUE(r.ok) << ::testing::PrintToString(messages.texts());
        EXPECT_EQ(r.kind, kKindSac);
        const EventRecord& rec = r.channels[0].record;
        EXPECT_EQ(formatIsoTime(rec.header.startTime), "2004-02-29T10:20:30.250Z"); // day 60 of a leap year
        EXPECT_NEAR(+rec.header.sps, 100.0, 1e-4);
        EXPECT_EQ(rec.stationName(), "ST01");
        EXPECT_EQ(rec.info.sensorLocation, "ST 01");
        EXPECT_EQ(rec.component(), "BHN");
        EXPECT_EQ(fieldText(rec.header.network, 6), "GE");
        EXPECT_EQ(rec.header.orientation, 'N');
        EXPECT_EQ(+rec.header.incident, 90.0);
        ASSERT_EQ(r.channels[0].samples.size(), 300u);
        for (std::size_t i = 0; i < 300; ++i)
            ASSERT_EQ(r.channels[0].samples[i], static_cast<double>(s.samples[i]));
        EXPECT_EQ(sacFileByteOrder(buildSac(s)), big ? SacByteOrder::Big : SacByteOrder::Little);
    }
}

TEST(SacRead, HeaderWordMapping) {
    struct Case {
        const char* name;
        std::map<int, float> floats;
        std::map<int, std::int32_t> ints;
        std::string component;
        std::function<void(const EventRecord&)> check;
    };
    const std::vector<Case> cases = {
        {"STDP when STEL undefined",
         {{136, 120}},
         {},
         "",
         [](const EventRecord& r) { EXPECT_EQ(+r.header.elevation, -120.0); }},
        {"STEL wins over STDP",
         {{132, 55}, {136, 120}},
         {},
         "",
         [](const EventRecord& r) { EXPECT_EQ(+r.header.elevation, 55.0); }},
        {"only one of STLA/STLO",
         {{124, 10}},
         {},
         "",
         [](const EventRecord& r) { EXPECT_EQ(+r.header.latitude, 0.0); }},
        {"SCALE gives sensitivity",
         {{12, 4}},
         {},
         "",
         [](const EventRecord& r) { EXPECT_EQ(+r.header.sensitivity, 25.0); }},
        {"SCALE undefined or zero gives none",
         {{12, 0}},
         {},
         "",
         [](const EventRecord& r) { EXPECT_EQ(+r.header.sensitivity, 0.0); }},
        {"USER1 magnitude correction",
         {{164, 0.25f}},
         {},
         "",
         [](const EventRecord& r) { EXPECT_EQ(+r.header.magCorrection, 0.25); }},
        {"CMPAZ and CMPINC override the letter",
         {{228, 30}, {232, 80}},
         {},
         "HHE",
         [](const EventRecord& r) {
             EXPECT_EQ(r.header.orientation, 'E');
             EXPECT_EQ(+r.header.azimuth, 30.0);
             EXPECT_EQ(+r.header.incident, 80.0);
         }},
        {"single V is vertical",
         {},
         {},
         "V",
         [](const EventRecord& r) { EXPECT_EQ(r.header.orientation, 'Z'); }},
        {"no letter from BNZ",
         {},
         {},
         "BNZ",
         [](const EventRecord& r) { EXPECT_EQ(r.header.orientation, 0); }},
        {"IDEP 2 velocity",
         {},
         {{344, 2}},
         "",
         [](const EventRecord& r) { EXPECT_EQ(r.header.sensorType, 2); }},
        {"IDEP IACC", {}, {{344, 8}}, "", [](const EventRecord& r) { EXPECT_EQ(r.header.sensorType, 1); }},
        {"IDEP IDISP", {}, {{344, 6}}, "", [](const EventRecord& r) { EXPECT_EQ(r.header.sensorType, 3); }},
        {"B moves the first sample",
         {{20, -1.5f}},
         {},
         "",
         [](const EventRecord& r) {
             EXPECT_EQ(formatIsoTime(r.header.startTime), "2004-02-29T10:20:28.750Z");
         }},
        {"EVDP in metres",
         {{140, 10}, {144, 20}, {152, 10000}, {28, 12.5f}, {156, 5.55f}},
         {},
         "",
         [](const EventRecord& r) {
             ASSERT_EQ(r.info.events.size(), 1u);
             const EventEntry e = r.info.events[0];
             EXPECT_EQ(+e.depth, 10.0);
             EXPECT_EQ(+e.magOther, 555);
             EXPECT_EQ(formatIsoTime(e.originTime), "2004-02-29T10:20:42.750Z");
         }},
        {"EVDP in km",
         {{140, 10}, {144, 20}, {152, 33}, {28, 0}},
         {},
         "",
         [](const EventRecord& r) {
             ASSERT_EQ(r.info.events.size(), 1u);
             EXPECT_EQ(+r.info.events[0].depth, 33.0);
             EXPECT_EQ(+r.info.events[0].magOther, 0);
         }},
        {"no event without O",
         {{140, 10}, {144, 20}, {152, 33}},
         {},
         "",
         [](const EventRecord& r) { EXPECT_TRUE(r.info.events.empty()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SacSpec s;
        for (const auto& [k, v] : c.floats)
            s.floats[k] = v;
        for (const auto& [k, v] : c.ints)
            s.ints[k] = v;
        if (!c.component.empty()) s.texts[600] = c.component;
        RecordingMessages messages;
        const LoadResult r = loadBytes(buildSac(s), messages);
        ASSERT_TRUE(r.ok);
        c.check(r.channels[0].record);
    }
}

TEST(SacRead, ChecksAndLimits) {
    struct Case {
        const char* name;
        std::function<void(SacSpec&)> change;
        bool ok;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"year 1959", [](SacSpec& s) { s.ints[280] = 1959; }, false, "Unknown file type mem.sac"},
        {"day 367", [](SacSpec& s) { s.ints[284] = 367; }, false, "Unknown file type mem.sac"},
        {"hour 24 accepted", [](SacSpec& s) { s.ints[288] = 24; }, true, ""},
        {"DELTA zero", [](SacSpec& s) { s.floats[0] = 0; }, false, "Unknown file type mem.sac"},
        {"NPTS 50 recognised then too few", [](SacSpec& s) { s.samples.resize(50); }, false,
         "Invalid data count in file"},
        {"NPTS 51", [](SacSpec& s) { s.samples.resize(51); }, true, ""},
        {"NPTS beyond the data", [](SacSpec& s) { s.npts = 101; }, false,
         "File mem.sac ends before its last sample"},
        {"NPTS above the limit", [](SacSpec& s) { s.npts = kMaxSampleCount + 1; }, false,
         "Unknown file type mem.sac"},
        {"header cut short",
         [](SacSpec& s) {
             s.samples.clear();
             s.npts = 100;
         },
         false, "File mem.sac ends before its last sample"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SacSpec s;
        c.change(s);
        RecordingMessages messages;
        const LoadResult r = loadBytes(buildSac(s), messages);
        EXPECT_EQ(r.ok, c.ok);
        if (!c.ok) {
            EXPECT_TRUE(r.channels.empty()); // nothing half-loaded
            EXPECT_EQ(messages.texts(), std::vector<std::string>{c.message});
        }
    }
    std::vector<std::uint8_t> tiny = buildSac(SacSpec{});
    tiny.resize(631);
    EXPECT_FALSE(sacFileByteOrder(tiny));
}

TEST(SacRead, MaximumCountIsKeptWithTheLimitMessage) {
    SacSpec s;
    s.big = true;
    s.samples.assign(kMaxSampleCount, 2.0f);
    RecordingMessages messages;
    const LoadResult r = loadBytes(buildSac(s), messages);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Event file to big 0 points lost."});
    EXPECT_EQ(r.channels[0].samples.size(), static_cast<std::size_t>(kMaxSampleCount));
    EXPECT_EQ(r.channels[0].samples.back(), 2.0);
}

EventRecord svxLikeRecord() {
    EventRecord rec;
    std::memcpy(rec.header.magic, "SVXTYPE4", 8);
    rec.header.startTime = {2023, 12, 31, 23, 59, 59, 0, 900'000'000};
    rec.header.startTimeOffset = 0.2; // the reference time crosses into the new year
    rec.header.sps = 50;
    rec.header.latitude = 47.5;
    rec.header.longitude = 8.25;
    rec.header.elevation = -30;
    rec.header.sensitivity = 4;
    rec.header.magCorrection = 0.3;
    rec.header.sensorType = 2;
    setOrientation(rec.header, 'E');
    copyToField(rec.header.sensorId, 6, "ABCDEF");
    copyToField(rec.header.componentName, 4, "SHE");
    copyToField(rec.header.network, 6, "CH");
    EventEntry e{};
    e.originTime = {2023, 12, 31, 23, 58, 0, 0, 0};
    e.latitude = 40;
    e.longitude = 10;
    e.depth = 12;
    e.magMl = 420;
    e.magMb = 450;
    rec.addEvent(e);
    return rec;
}

TEST(SacWrite, HeaderFromARecordAndReadBack) {
    test::FixedGeography geography;
    geography.arc = {7.5, 833.8, 12, 192};
    const EventRecord rec = svxLikeRecord();
    std::vector<double> samples(200);
    for (int i = 0; i < 200; ++i)
        samples[i] = i;
    WriterOptions options;
    options.decimation = 3;
    options.geography = &geography;
    const std::vector<std::uint8_t> bytes = encodeSacFile({&rec, samples, 0}, options, SacByteOrder::Big);
    ASSERT_EQ(bytes.size(), 632u + 66 * 4);
    const auto f = [&](int at) { return readBE<float>(&bytes[at]); };
    const auto n = [&](int at) { return readBE<std::int32_t>(&bytes[at]); };
    const auto k = [&](int at, int w) { return std::string(reinterpret_cast<const char*>(&bytes[at]), w); };
    EXPECT_FLOAT_EQ(f(0), 0.06f);
    EXPECT_EQ(f(4), 1.0f);    // DEPMIN: mean of 0,1,2
    EXPECT_EQ(f(8), 196.0f);  // DEPMAX: mean of 195,196,197; the last two samples are dropped
    EXPECT_EQ(f(224), 98.5f); // DEPMEN
    EXPECT_EQ(f(12), 25.0f);
    EXPECT_EQ(f(20), 0.0f);
    EXPECT_FLOAT_EQ(f(24), 65 * 0.06f);
    EXPECT_FLOAT_EQ(f(28), -120.1f);
    EXPECT_EQ(f(132), -12345.0f); // STEL
    EXPECT_EQ(f(136), 30.0f);     // STDP
    EXPECT_EQ(f(156), 4.5f);      // MAG: the largest magnitude
    EXPECT_FLOAT_EQ(f(164), 0.3f);
    EXPECT_FLOAT_EQ(f(200), 833.8f);
    EXPECT_EQ(f(204), 12.0f);
    EXPECT_EQ(f(208), 192.0f);
    EXPECT_EQ(f(212), 7.5f);
    EXPECT_EQ(f(228), 90.0f);
    EXPECT_EQ(f(232), 90.0f);
    EXPECT_EQ(std::vector<std::int32_t>({n(280), n(284), n(288), n(292), n(296), n(300)}),
              std::vector<std::int32_t>({2024, 1, 0, 0, 0, 100}));
    EXPECT_EQ(n(304), 6);
    EXPECT_EQ(n(316), 66);
    EXPECT_EQ(n(340), 1);
    EXPECT_EQ(n(344), 7); // velocity
    EXPECT_EQ(std::vector<std::int32_t>({n(420), n(424), n(432)}), std::vector<std::int32_t>({1, 0, 1}));
    EXPECT_EQ(k(440, 8), "ABCDEF  ");
    EXPECT_EQ(k(448, 16), "H240010000E     ");
    EXPECT_EQ(k(464, 8), "-12345  "); // the field after KEVNM is untouched
    EXPECT_EQ(k(600, 8), "SHE     ");
    EXPECT_EQ(k(608, 8), "CH      ");

    RecordingMessages messages;
    const LoadResult back = loadBytes(bytes, messages);
    ASSERT_TRUE(back.ok);
    const EventRecord& r = back.channels[0].record;
    EXPECT_EQ(formatIsoTime(r.header.startTime), "2024-01-01T00:00:00.100Z");
    EXPECT_EQ(+r.header.elevation, -30.0);
    EXPECT_EQ(r.header.sensorType, 2);
    ASSERT_EQ(r.info.events.size(), 1u);
    EXPECT_EQ(formatIsoTime(r.info.events[0].originTime), "2023-12-31T23:58:00.000Z");
    EXPECT_EQ(back.channels[0].samples[1], 4.0);

    EventRecord none = svxLikeRecord();
    none.info.events[0].magMl = none.info.events[0].magMb = 0;
    EXPECT_EQ(readBE<float>(&encodeSacFile({&none, samples, 0}, options, SacByteOrder::Big)[156]), 0.0f)
        << "an event without magnitudes writes MAG 0";
}

TEST(SacWrite, ByteOrderDcInversionAndOverwrite) {
    test::TempDir dir;
    EventRecord rec = svxLikeRecord();
    rec.header.elevation = kUnknownValue;
    rec.info.events.clear();
    const std::vector<double> samples(60, 10.0);
    WriterOptions options;
    options.removeDc = true;
    options.autoDcOffset = false;
    options.invert = true;
    options.askOverwrite = true;
    const auto path = dir / "out.sac";
    RecordingMessages messages;
    ASSERT_TRUE(writeSacFile(path, {&rec, samples, 4.0}, options, SacByteOrder::Little, messages));
    std::vector<std::uint8_t> bytes = test::readBytes(path);
    EXPECT_EQ(sacFileByteOrder(bytes), SacByteOrder::Little);
    EXPECT_EQ(readLE<float>(&bytes[632]), -6.0f);
    EXPECT_EQ(readLE<float>(&bytes[132]), -12345.0f); // unknown elevation: STEL and STDP undefined
    EXPECT_EQ(readLE<float>(&bytes[136]), -12345.0f);
    EXPECT_EQ(readLE<float>(&bytes[28]), -12345.0f); // no event: O undefined
    EXPECT_EQ(readLE<float>(&bytes[156]), -12345.0f);

    messages.queueAnswer(Answer::No);
    EXPECT_FALSE(
        writeSacFile(path, {&rec, std::vector<double>(80, 1.0), 0}, options, SacByteOrder::Big, messages));
    EXPECT_TRUE(messages.contains("Overwrite file " + path.string()));
    EXPECT_EQ(test::readBytes(path), bytes); // the old file stays

    EXPECT_FALSE(writeSacFile(dir / "missing" / "x.sac", {&rec, samples, 0}, WriterOptions{},
                              SacByteOrder::Big, messages));
    EXPECT_TRUE(messages.contains("Can't open file " + (dir / "missing" / "x.sac").string() + " for write"));
}

// ---- shared reference files ----

TEST(SacShared, ReferenceFilesLoadOrAreRejected) {
    const auto root = test::sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "shared reference data absent (TLX_SHARED_DATA)";
    struct Expect {
        const char* file;
        bool ok;
        int count;
        double sps;
        const char* start;
        std::vector<double> first;
        const char* message; // for rejected files
    };
    const std::vector<Expect> cases = {
        {"obspy/test.sac",
         true,
         100,
         1.0,
         "1978-07-18T08:00:10.000Z",
         {-8.74227766e-08, -3.09016973e-01, -5.87785363e-01, -8.09017122e-01, -9.51056600e-01, -1.0},
         nullptr},
        {"obspy/test.sac.swap",
         true,
         100,
         1.0,
         "1978-07-18T08:00:10.000Z",
         {-8.74227766e-08, -3.09016973e-01, -5.87785363e-01},
         nullptr},
        {"obspy/II.TLY.BHZ.SAC", true, 12684, 20.0, nullptr, {}, nullptr},
        {"obspy/CRLZ.HHZ.10.NZ.SAC", true, 32768, 100.0, "2009-09-04T15:06:40.007Z", {}, nullptr},
        {"obspy/LMOW.BHE.SAC", true, 100, 100.0, nullptr, {}, nullptr},
        {"obspy/dis.G.SCZ.__.BHE_short", true, 300, 20.0, nullptr, {}, nullptr},
        {"obspy/seism.sac", true, 1000, 100.0, nullptr, {}, nullptr},
        {"obspy/seism-longer.sac", true, 998, 100.0, nullptr, {}, nullptr},
        {"seisfile/19981216.BB12.BHZ.orig.SAC", true, 40001, 40.0, "1998-12-16T15:59:44.625Z", {}, nullptr},
        {"obspy/seism-shorter.sac", false, 0, 0, nullptr, {}, "ends before its last sample"},
        {"obspy/null_terminated.sac", false, 0, 0, nullptr, {}, "Unknown file type"},
        {"obspy/sample_spacing_rounding_issue.sac", false, 0, 0, nullptr, {}, "Unknown file type"},
        {"seisfile/control.sac", false, 0, 0, nullptr, {}, "Unknown file type"},
    };
    for (const Expect& c : cases) {
        SCOPED_TRACE(c.file);
        RecordingMessages messages;
        const LoadResult r = loadPath(root / "waveforms/sac" / c.file, messages);
        ASSERT_EQ(r.ok, c.ok) << ::testing::PrintToString(messages.texts());
        if (!c.ok) {
            ASSERT_EQ(messages.texts().size(), 1u);
            EXPECT_NE(messages.texts()[0].find(c.message), std::string::npos) << messages.texts()[0];
            continue;
        }
        const EventRecord& rec = r.channels[0].record;
        EXPECT_EQ(r.commonCount, c.count);
        EXPECT_NEAR(+rec.header.sps, c.sps, c.sps * 1e-5);
        if (c.start) {
            EXPECT_EQ(formatIsoTime(rec.header.startTime), c.start);
        }
        for (std::size_t i = 0; i < c.first.size(); ++i)
            EXPECT_FLOAT_EQ(r.channels[0].samples[i], c.first[i]);
    }
}

TEST(SacShared, EventEntriesFromReferenceHeaders) {
    const auto root = test::sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "shared reference data absent (TLX_SHARED_DATA)";
    struct Expect {
        const char* file;
        double depth;
        int mag;
    };
    for (const Expect& c :
         {Expect{"obspy/II.TLY.BHZ.SAC", 24.4, 890}, Expect{"obspy/dis.G.SCZ.__.BHE_short", 10.0, 603},
          Expect{"seisfile/19981216.BB12.BHZ.orig.SAC", 5.0, 0}}) {
        SCOPED_TRACE(c.file);
        RecordingMessages messages;
        const LoadResult r = loadPath(root / "waveforms/sac" / c.file, messages);
        ASSERT_TRUE(r.ok);
        ASSERT_EQ(r.channels[0].record.info.events.size(), 1u);
        const EventEntry e = r.channels[0].record.info.events[0];
        EXPECT_NEAR(+e.depth, c.depth, 1e-3);
        EXPECT_EQ(+e.magOther, c.mag);
    }
    RecordingMessages messages;
    EXPECT_TRUE(
        loadPath(root / "waveforms/sac/obspy/seism.sac", messages).channels[0].record.info.events.empty());
}

// ---- the Debian converters as peers ----

bool runProgram(const std::vector<std::string>& argv, const std::filesystem::path& cwd) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

#ifdef TLX_HAVE_LIBMSEED
struct Trace {
    std::int64_t startUs;
    double sps;
    std::vector<double> samples;
};

std::vector<Trace> libmseedTraces(const std::filesystem::path& path) {
    std::vector<Trace> out;
    MSTraceGroup* group = nullptr;
    if (ms_readtraces(&group, path.c_str(), 0, -1.0, -1.0, 0, 1, 1, 0) != MS_NOERROR) {
        mst_freegroup(&group);
        return out;
    }
    for (MSTrace* t = group->traces; t; t = t->next) {
        Trace trace{t->starttime, t->samprate, {}};
        for (int64_t i = 0; i < t->numsamples; ++i) {
            switch (t->sampletype) {
            case 'i':
                trace.samples.push_back(static_cast<std::int32_t*>(t->datasamples)[i]);
                break;
            case 'f':
                trace.samples.push_back(static_cast<float*>(t->datasamples)[i]);
                break;
            case 'd':
                trace.samples.push_back(static_cast<double*>(t->datasamples)[i]);
                break;
            default:
                break;
            }
        }
        out.push_back(std::move(trace));
    }
    mst_freegroup(&group);
    return out;
}

std::int64_t epochMicroseconds(const EventTime& t) {
    return epochSeconds(toCivil(t)) * 1'000'000 + t.nanoseconds / 1000;
}

TEST(SacPeers, Sac2mseedReadsWhatWeWrite) {
    test::TempDir dir;
    EventRecord rec = svxLikeRecord();
    std::vector<double> samples(1200);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::round(5000 * std::sin(0.01 * i * i / 50.0));
    for (const SacByteOrder order : {SacByteOrder::Big, SacByteOrder::Little}) {
        SCOPED_TRACE(order == SacByteOrder::Big ? "big" : "little");
        RecordingMessages messages;
        ASSERT_TRUE(writeSacFile(dir / "peer.sac", {&rec, samples, 0}, WriterOptions{}, order, messages));
        std::filesystem::remove(dir / "peer.mseed");
        if (!runProgram(
                {"sac2mseed", "-e", "4", "-o", (dir / "peer.mseed").string(), (dir / "peer.sac").string()},
                dir.path()))
            GTEST_SKIP() << "sac2mseed not installed";
        const std::vector<Trace> traces = libmseedTraces(dir / "peer.mseed");
        ASSERT_EQ(traces.size(), 1u);
        EXPECT_EQ(traces[0].samples, samples);
        EXPECT_NEAR(traces[0].sps, 50.0, 1e-6);
        EXPECT_EQ(traces[0].startUs, epochMicroseconds(addSeconds(rec.header.startTime, 0.2)));
    }
}

TEST(SacPeers, WeReadWhatMseed2sacWrites) {
    const auto root = test::sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "shared reference data absent (TLX_SHARED_DATA)";
    int compared = 0;
    for (const char* name : {"libmseed/Int32-512byte.mseed", "libmseed/Steim1-AllDifferences-BE.mseed",
                             "libmseed/Steim2-AllDifferences-LE.mseed", "libmseed/Float32-encoded.mseed",
                             "obspy/BW.BGLD.__.EHE.D.2008.001.first_10_records", "obspy/test.mseed"}) {
        SCOPED_TRACE(name);
        const auto source = root / "waveforms/mseed" / name;
        for (const char* format : {"3", "4"}) { // little- and big-endian SAC
            test::TempDir dir;
            if (!runProgram({"mseed2sac", "-O", "-f", format, source.string()}, dir.path()))
                GTEST_SKIP() << "mseed2sac not installed or failed";
            const std::vector<Trace> traces = libmseedTraces(source);
            for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
                RecordingMessages messages;
                const LoadResult r = loadPath(entry.path(), messages);
                if (!r.ok) {
                    EXPECT_TRUE(messages.contains("Invalid data count in file")) << entry.path();
                    continue;
                }
                const EventRecord& rec = r.channels[0].record;
                const std::int64_t start = epochMicroseconds(rec.header.startTime);
                const std::vector<double>& got = r.channels[0].samples;
                const auto match = std::find_if(traces.begin(), traces.end(), [&](const Trace& t) {
                    return t.samples.size() == got.size() && std::llabs(t.startUs - start) <= 1000;
                });
                ASSERT_NE(match, traces.end()) << entry.path();
                EXPECT_NEAR(+rec.header.sps, match->sps, match->sps * 1e-5);
                for (std::size_t i = 0; i < got.size(); ++i)
                    ASSERT_EQ(got[i], static_cast<double>(static_cast<float>(match->samples[i]))) << i;
                ++compared;
            }
        }
    }
    EXPECT_GE(compared, 8);
}
#endif

} // namespace
} // namespace tlx
