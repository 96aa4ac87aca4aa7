// GSE2.0 messages: CM6 and CHK2 against independently generated vectors, the parser's limits,
// record filling, station.gs2, and the shared reference messages.
#include "core/text.h"
#include "format_fixtures.h"
#include "record/cm6.h"
#include "record/gse2_reader.h"
#include "record/loader.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>

namespace tlx {
namespace {

struct Cm6Vector {
    const char* name;
    std::vector<std::int32_t> values;
    const char* text;
    std::int64_t chk2;
};

const std::vector<Cm6Vector>& cm6Vectors() {
    static const std::vector<Cm6Vector> vectors = {
#include "cm6_vectors.inc"
    };
    return vectors;
}

TEST(Cm6, DecodesEncodesAndChecksumsIndependentVectors) {
    for (const Cm6Vector& v : cm6Vectors()) {
        SCOPED_TRACE(v.name);
        // Fed in uneven pieces: values go on across piece boundaries.
        std::vector<std::int32_t> decoded;
        Cm6Decoder decoder;
        const std::string_view text(v.text);
        for (std::size_t at = 0; at < text.size(); at += 7)
            decoder.feed(text.substr(at, 7), decoded, SIZE_MAX);
        EXPECT_FALSE(decoder.inNumber());
        integrate(decoded);
        integrate(decoded);
        EXPECT_EQ(decoded, v.values);
        EXPECT_EQ(encodeCm6(secondDifferences(v.values)), v.text);
        EXPECT_EQ(std::llabs(chk2Checksum(v.values)), v.chk2);
    }
}

TEST(Cm6, LimitsAndChecksumSigns) {
    std::vector<std::int32_t> out;
    Cm6Decoder decoder;
    decoder.feed("1 2\t3 4", out, 3); // blanks skipped, values past the limit dropped
    EXPECT_EQ(out, (std::vector<std::int32_t>{3, 4, 5}));
    decoder.feed("U", out, 10);
    EXPECT_TRUE(decoder.inNumber());
    EXPECT_TRUE(chk2Matches(-5140, chk2Checksum({-5000, -140})));
    EXPECT_TRUE(chk2Matches(5140, chk2Checksum({-5000, -140})));
    EXPECT_FALSE(chk2Matches(5141, chk2Checksum({-5000, -140})));
}

// ---- messages built here column by column ----

struct WaveSpec {
    std::string station = "STA1";
    std::string channel = "SHZ";
    std::string format = "CM6";
    std::vector<std::int32_t> values;
    std::optional<int> declared;
    double seconds = 5.1234;
    double rate = 100;
    double calibration = 0.25;
    std::string instrument = "LE-3D";
    double hang = -1, vang = 0;
    std::optional<std::int64_t> chk2; // default: the right checksum
    bool checksumLine = true;
    int linesBeforeDat2 = 0;
};

std::string wid2Line(const WaveSpec& w) {
    return format(
        "WID2 2024/02/29 23:59:%06.3f %-5s %-3s      %-3s %8d %11.6f %10.2e %7.3f %-6s %5.1f %4.1f\n",
        w.seconds, w.station.c_str(), w.channel.c_str(), w.format.c_str(),
        w.declared.value_or(static_cast<int>(w.values.size())), w.rate, w.calibration, 1.0,
        w.instrument.c_str(), w.hang, w.vang);
}

std::string waveform(const WaveSpec& w) {
    std::string out = wid2Line(w);
    for (int i = 0; i < w.linesBeforeDat2; ++i)
        out += "STA2 filler\n";
    out += "DAT2\n";
    if (w.format == "CM6") {
        out += encodeCm6(secondDifferences(w.values));
    } else {
        for (std::size_t i = 0; i < w.values.size(); ++i)
            out += format(i % 5 == 4 ? "%d\n" : "%d ", w.values[i]);
        out += "\n";
    }
    if (w.checksumLine)
        out += format("CHK2 %8lld\n", static_cast<long long>(w.chk2.value_or(chk2Checksum(w.values))));
    return out;
}

std::string message(const std::vector<WaveSpec>& waves, int linesBeforeBegin = 0) {
    std::string out;
    for (int i = 0; i < linesBeforeBegin; ++i)
        out += "log line\n";
    out += "BEGIN GSE2.0\nMSG_TYPE DATA\nDATA_TYPE WAVEFORM GSE2.0\n";
    for (const WaveSpec& w : waves)
        out += waveform(w);
    return out + "STOP\n";
}

std::vector<std::int32_t> ramp(int n, int scale = 3) {
    std::vector<std::int32_t> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = static_cast<std::int32_t>(scale * ((i * 37) % 101) - 50 * scale + i);
    return v;
}

std::span<const std::uint8_t> asBytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

LoadResult loadText(const std::string& text, RecordingMessages& messages, int forced = kForceNone,
                    int index = 0, const LoaderSettings& settings = {}) {
    EventLoader loader(messages, settings);
    LoadRequest request;
    request.forcedKind = forced;
    request.channelIndex = index;
    return loader.loadBytes(asBytes(text), "mem.gse", request);
}

TEST(Gse2Load, FirstWaveformFillsTheRecordAndOthersByIndex) {
    WaveSpec a;
    a.values = ramp(300);
    WaveSpec b;
    b.station = "XYZ";
    b.channel = "BN ";
    b.format = "INT";
    b.values = ramp(120, 1000);
    b.calibration = -1;
    b.hang = 30;
    b.vang = 90;
    const std::string text = message({a, b});

    RecordingMessages messages;
    const LoadResult r = loadText(text, messages);
    ASSERT_TRUE(r.ok) << ::testing::PrintToString(messages.texts());
    EXPECT_EQ(r.kind, kKindGse2);
    EXPECT_FALSE(r.gseChecksumError);
    EXPECT_FALSE(r.gseCountError);
    const EventRecord& rec = r.channels[0].record;
    EXPECT_EQ(formatIsoTime(rec.header.startTime), "2024-02-29T23:59:05.123Z");
    EXPECT_EQ(+rec.header.sps, 100.0);
    EXPECT_EQ(rec.header.sampleType, 1);
    EXPECT_EQ(rec.header.orientation, 'Z');
    EXPECT_EQ(+rec.header.azimuth, 0.0); // horizontal angle -1
    EXPECT_EQ(rec.component(), "SHZ");
    EXPECT_EQ(rec.stationName(), "STA1");
    EXPECT_EQ(rec.info.sensorLocation, "STA1"); // no station.gs2
    EXPECT_EQ(rec.info.sensorDescription, "LE-3D");
    EXPECT_EQ(rec.info.comment, "LE-3D   SHZ    2.50e-01  nm/count @   1.000  Hz ");
    EXPECT_DOUBLE_EQ(+rec.header.sensitivity, 0.25e-6);
    EXPECT_EQ(rec.header.sensorType, 2);
    const double mean = std::accumulate(a.values.begin(), a.values.end(), 0.0) / 300;
    ASSERT_EQ(r.channels[0].samples.size(), 300u);
    for (std::size_t i = 0; i < 300; ++i)
        ASSERT_DOUBLE_EQ(r.channels[0].samples[i], a.values[i] - mean);

    const LoadResult second = loadText(text, messages, kForceGse2, 1);
    ASSERT_TRUE(second.ok);
    const EventRecord& s = second.channels[0].record;
    EXPECT_EQ(s.stationName(), "XYZ");
    EXPECT_EQ(s.header.orientation, 'N'); // the second letter when the third is blank
    EXPECT_EQ(+s.header.azimuth, 30.0);
    EXPECT_EQ(+s.header.incident, 90.0);
    EXPECT_EQ(+s.header.sensitivity, 0.0); // a calibration of -1 means unknown, however it is written
    EXPECT_EQ(s.header.sensorType, 0);
    EXPECT_EQ(second.channels[0].samples.size(), 120u);

    RecordingMessages none;
    EXPECT_FALSE(loadText(text, none, kForceGse2, 2).ok);
    EXPECT_EQ(none.texts(), std::vector<std::string>{"Error loading GSE20 file"});

    CGse20 gse;
    gse.parse(text, StationTable{});
    EXPECT_EQ(
        gse.listing(),
        (std::vector<std::string>{
            "GSE2.0 Data Set\t02/29/24 23:59:05\tSTA1  LE-3D   SHZ    2.50e-01  nm/count @   1.000  Hz ",
            "GSE2.0 Data Set\t02/29/24 23:59:05\tXYZ   LE-3D   BN    -1.00e+00  nm/count @   1.000  Hz "}));
}

TEST(Gse2Load, RecognitionAndParserLimits) {
    WaveSpec base;
    base.values = ramp(200);
    struct Case {
        const char* name;
        std::function<std::string()> text;
        bool ok;
        int count = 0;
        bool checksumError = false;
        bool countError = false;
    };
    const std::vector<Case> cases = {
        {"begin line is the 80th", [&] { return message({base}, 79); }, true, 200},
        {"begin line is the 81st", [&] { return message({base}, 80); }, false},
        {"begin line with several blanks",
         [&] {
             std::string t = message({base});
             return t.replace(0, 12, "BEGIN     GSE2.0");
         },
         true, 200},
        {"continuation message",
         [&] {
             std::string t = message({base});
             return t.replace(0, 12, "CONTINUATION");
         },
         true, 200},
        {"no envelope", [&] { return waveform(base); }, false},
        {"DAT2 100 lines after WID2",
         [&] {
             WaveSpec w = base;
             w.linesBeforeDat2 = 99;
             return message({w});
         },
         true, 200},
        {"DAT2 101 lines after WID2 keeps no samples",
         [&] {
             WaveSpec w = base;
             w.linesBeforeDat2 = 100;
             return message({w});
         },
         false},
        {"data end one value early",
         [&] {
             WaveSpec w = base;
             w.declared = 201;
             return message({w});
         },
         true, 200, false, true},
        {"extra values beyond the count are ignored",
         [&] {
             WaveSpec w = base;
             w.declared = 199;
             w.chk2 = chk2Checksum({base.values.begin(), base.values.end() - 1});
             return message({w});
         },
         true, 199},
        {"checksum differs",
         [&] {
             WaveSpec w = base;
             w.chk2 = 12345;
             return message({w});
         },
         true, 200, true},
        {"checksum line missing",
         [&] {
             WaveSpec w = base;
             w.checksumLine = false;
             return message({w});
         },
         true, 200, true},
        {"count 2,000,000 is skipped for the next waveform",
         [&] {
             WaveSpec big = base;
             big.declared = 2'000'000;
             WaveSpec next = base;
             next.values = ramp(90);
             return message({big, next});
         },
         true, 90},
        {"unknown data format is skipped",
         [&] {
             WaveSpec other = base;
             other.format = "CM8";
             return message({other});
         },
         false},
        {"rate zero is unusable",
         [&] {
             WaveSpec w = base;
             w.rate = 0;
             return message({w});
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingMessages messages;
        const LoadResult r = loadText(c.text(), messages);
        ASSERT_EQ(r.ok, c.ok) << ::testing::PrintToString(messages.texts());
        if (!c.ok) {
            EXPECT_EQ(messages.texts(), std::vector<std::string>{"Unknown file type mem.gse"});
            continue;
        }
        EXPECT_EQ(r.commonCount, c.count);
        EXPECT_EQ(r.gseChecksumError, c.checksumError);
        EXPECT_EQ(r.gseCountError, c.countError);
    }
}

TEST(Gse2Load, DataLineBeginningWithChk2IsData) {
    // Find values whose CM6 text puts "CHK2" at the start of a data line.
    WaveSpec w;
    w.values = ramp(400);
    std::string data = encodeCm6(secondDifferences(w.values));
    data.replace(81, 4, "CHK2"); // first characters of the second line
    std::vector<std::int32_t> values;
    Cm6Decoder decoder;
    decoder.feed(data, values, SIZE_MAX);
    integrate(values);
    integrate(values);
    ASSERT_EQ(encodeCm6(secondDifferences(values)).substr(81, 4), "CHK2");
    w.values = values;
    RecordingMessages messages;
    const LoadResult r = loadText(message({w}), messages);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.commonCount, static_cast<int>(values.size()));
    EXPECT_FALSE(r.gseChecksumError);
    EXPECT_FALSE(r.gseCountError);
}

TEST(Gse2Load, OneCharacterDataLinesAreData) {
    WaveSpec w;
    w.values = ramp(120);
    std::string text = "BEGIN GSE2.0\n" + wid2Line(w) + "DAT2\n";
    for (const char c : encodeCm6(secondDifferences(w.values)))
        if (c != '\n') text += std::string(1, c) + "\n";
    text += format("CHK2 %lld\n", static_cast<long long>(chk2Checksum(w.values)));
    WaveSpec digits;
    digits.format = "INT";
    digits.values.assign(60, 7);
    std::string oneEach = "BEGIN GSE2.0\n" + wid2Line(digits) + "DAT2\n";
    for (std::size_t i = 0; i < digits.values.size(); ++i)
        oneEach += "7\n";
    oneEach += format("CHK2 %lld\n", static_cast<long long>(chk2Checksum(digits.values)));
    for (const auto& [t, count] : {std::pair{text, 120}, std::pair{oneEach, 60}}) {
        RecordingMessages messages;
        const LoadResult r = loadText(t, messages);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.commonCount, count);
        EXPECT_FALSE(r.gseCountError);
        EXPECT_FALSE(r.gseChecksumError);
    }
}

TEST(Gse2Station, FileParsingAndLookUp) {
    StationTable table;
    table.parse("/ comment STA1 1 2 3\n"
                "STA1 10.5 20.25 300 x y\n"
                "SHORT 1 2\n"
                "BAD abc 1 2\n"
                "STA1 11.5 21.25 310 x y\r\n"
                "STA2 -5 -6 " +
                std::string(70, ' ') + "7\n");
    ASSERT_TRUE(table.find("STA1"));
    EXPECT_EQ(table.find("STA1")->latitude, 11.5); // the last line wins
    EXPECT_EQ(table.find("STA1")->elevation, 310.0);
    EXPECT_FALSE(table.find("SHORT"));
    EXPECT_FALSE(table.find("BAD"));
    EXPECT_FALSE(table.find("STA2")); // its elevation lies past the 78th character
    EXPECT_FALSE(table.find("sta1"));

    test::TempDir dir;
    std::filesystem::create_directories(dir / "local");
    std::filesystem::create_directories(dir / "prog");
    test::writeBytes(dir / "prog" / "STATION.GS2", {'S', 'T', 'A', '1', ' ', '1', ' ', '2', ' ', '3', '\n'});
    LoaderSettings settings;
    settings.localDirectory = dir / "local";
    settings.programDirectory = dir / "prog";
    test::FixedGeography geography;
    geography.region = [](double lat, double) {
        return lat == 1 ? std::string("Somewhere Region  ") : std::string(52, ' ');
    };
    settings.geography = &geography;
    WaveSpec w;
    w.values = ramp(100);
    WaveSpec unknown = w;
    unknown.station = "NONE";
    const std::string text = message({w, unknown});
    RecordingMessages messages;
    const LoadResult found = loadText(text, messages, kForceNone, 0, settings);
    const LoadResult missing = loadText(text, messages, kForceGse2, 1, settings);
    ASSERT_TRUE(found.ok);
    EXPECT_EQ(+found.channels[0].record.header.latitude, 1.0);
    EXPECT_EQ(+found.channels[0].record.header.elevation, 3.0);
    EXPECT_EQ(found.channels[0].record.info.sensorLocation, "Somewhere Region");
    ASSERT_TRUE(missing.ok);
    EXPECT_EQ(+missing.channels[0].record.header.elevation, 0.0);
    EXPECT_EQ(missing.channels[0].record.info.sensorLocation, "NONE");
}

// ---- shared reference messages ----

TEST(Gse2Shared, ReferenceMessages) {
    const auto root = test::sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "shared reference data absent (TLX_SHARED_DATA)";
    struct Expect {
        const char* file;
        bool recognised; // has the message's begin line
        bool loads;      // loads when the format is named (forced)
        int count;
        double sps;
        const char* start;
        std::vector<std::int32_t> first;
        bool checksumError = false;
    };
    const std::vector<Expect> cases = {
        {"gse2mseed/1min.cm6.gse",
         true,
         true,
         7199,
         120,
         "2004-10-01T00:00:00.005Z",
         {-2, 0, -1, 4, 0, 0, -4, -6, 0, -2, -4, -4, -6}},
        {"gse2mseed/1min.int.gse",
         true,
         true,
         7199,
         120,
         "2004-10-01T00:00:00.005Z",
         {-2, 0, -1, 4, 0, 0, -4, -6, 0, -2}},
        {"gse2mseed/1min.int2.gse", true, true, 7199, 120, nullptr, {-2, 0, -1, 4, 0, 0, -4, -6, 0, -2}},
        {"gse2mseed/1sec.cm6.gse", false, true, 119, 120, nullptr, {}},
        {"obspy/loc_RJOB20050831023349.z",
         false,
         true,
         12000,
         200,
         "2005-08-31T02:33:49.850Z",
         {12, -10, 16, 33, 9, 26, 16, 7, 17, 6, 1, 3, -2}},
        {"obspy/loc_RJOB20050831023349.z.wrong_chksum",
         false,
         true,
         12000,
         200,
         nullptr,
         {12, -10, 16},
         true},
        {"obspy/loc_RJOB20050831023349_first100_dos.z", false, true, 100, 200, nullptr, {12, -10, 16, 33}},
        {"obspy/loc_RNON20040609200559.z",
         false,
         true,
         12000,
         200,
         nullptr,
         {-5, -25, 1, 0, -3, -8, -16, 6, -15, -12, 17, 5, 1}},
        {"obspy/boa___00_07a.gse",
         false,
         true,
         6784,
         50,
         "1990-04-07T00:07:33.000Z",
         {-4, -4, 1, 3, 2, -3, -6, -4, 2, 5}},
        {"obspy/sta2.gse2", false, true, 100, 500, nullptr, {}},
        {"obspy/twiceCHK2.gse2", false, true, 750, 200, nullptr, {}},
        {"obspy/broken_head.gse2", false, false, 0, 0, nullptr, {}},
    };
    for (const Expect& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<std::uint8_t> bytes = test::readBytes(root / "waveforms/gse2" / c.file);
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        EXPECT_EQ(CGse20::hasBeginLine(text), c.recognised);
        CGse20 gse;
        gse.parse(text, StationTable{});
        if (!c.loads) {
            for (const Gse2Waveform& w : gse.waveforms())
                EXPECT_TRUE(w.samples.empty());
            continue;
        }
        ASSERT_EQ(gse.waveforms().size(), 1u);
        const Gse2Waveform& w = gse.waveforms()[0];
        EXPECT_EQ(static_cast<int>(w.samples.size()), c.count);
        EXPECT_FALSE(w.countError);
        EXPECT_EQ(w.checksumError, c.checksumError);
        for (std::size_t i = 0; i < c.first.size(); ++i)
            EXPECT_EQ(w.samples[i], c.first[i]) << i;

        // Through the loader: recognised messages load by themselves, the others when named.
        RecordingMessages messages;
        EventLoader loader(messages);
        LoadRequest request;
        request.fileName = (root / "waveforms/gse2" / c.file).string();
        request.forcedKind = c.recognised ? kForceNone : kForceGse2;
        const LoadResult r = loader.load(request);
        if (c.count <= 50) continue;
        ASSERT_TRUE(r.ok) << ::testing::PrintToString(messages.texts());
        EXPECT_EQ(r.commonCount, c.count);
        EXPECT_EQ(+r.channels[0].record.header.sps, c.sps);
        EXPECT_EQ(r.gseChecksumError, c.checksumError);
        if (c.start) {
            EXPECT_EQ(formatIsoTime(r.channels[0].record.header.startTime), c.start);
        }
    }
}

} // namespace
} // namespace tlx
