// Every real MINISEED file of the shared reference data, decoded by Tellurix and by libmseed:
// identical samples, start times, rates and counts for every record and trace Tellurix accepts;
// the rejected files fail for the stated reason.
#include "core/byte_order.h"
#include "core/text.h"
#include "mseed_builder.h"
#include "record/loader.h"
#include "record/mseed3_record.h"
#include "record/mseed_encodings.h"
#include "record/mseed_record.h"
#include "record/mseed_writer.h"
#include "record/seed.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#ifdef TLX_HAVE_LIBMSEED
#include <libmseed.h>
#endif

namespace tlx {
namespace {

#ifdef TLX_HAVE_LIBMSEED

struct RefRecord {
    std::size_t offset = 0;
    std::string station, channel, network, location;
    std::int64_t startMicros = 0;
    double rate = 0;
    int encoding = -1;
    bool decoded = false;
    std::vector<double> samples; // integers and reals alike
    std::string text;            // text records
};

void quiet(char*) {}

// With a stride (a SEED volume's record length) records other than data records are skipped.
std::vector<RefRecord> libmseedRecords(const std::vector<std::uint8_t>& bytes, std::size_t stride = 0) {
    ms_loginit(quiet, nullptr, quiet, nullptr);
    std::vector<RefRecord> out;
    std::size_t offset = 0;
    while (offset + 48 <= bytes.size()) {
        if (stride && !isDataQuality(static_cast<char>(bytes[offset + 6]))) {
            offset += stride;
            continue;
        }
        MSRecord* msr = nullptr;
        char* p = reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes.data() + offset));
        const int left = static_cast<int>(bytes.size() - offset);
        bool decoded = msr_parse(p, left, &msr, 0, 1, 0) == MS_NOERROR;
        if (!decoded) {
            if (msr) msr_free(&msr);
            if (msr_parse(p, left, &msr, 0, 0, 0) != MS_NOERROR) {
                if (msr) msr_free(&msr);
                break;
            }
        }
        RefRecord r;
        r.offset = offset;
        r.station = msr->station;
        r.channel = msr->channel;
        r.network = msr->network;
        r.location = msr->location;
        // The header's time with blockette 1001's microseconds, without the time correction.
        r.startMicros = msr_starttime_uc(msr) + (msr->Blkt1001 ? msr->Blkt1001->usec : 0);
        r.rate = msr_nomsamprate(msr);
        r.encoding = msr->encoding;
        r.decoded = decoded && msr->sampletype != 'a';
        for (std::int64_t i = 0; decoded && i < msr->numsamples; ++i) {
            switch (msr->sampletype) {
            case 'i':
                r.samples.push_back(static_cast<const std::int32_t*>(msr->datasamples)[i]);
                break;
            case 'f':
                r.samples.push_back(static_cast<const float*>(msr->datasamples)[i]);
                break;
            case 'd':
                r.samples.push_back(static_cast<const double*>(msr->datasamples)[i]);
                break;
            default:
                r.text.push_back(static_cast<const char*>(msr->datasamples)[i]);
            }
        }
        offset += stride ? stride : static_cast<std::size_t>(msr->reclen);
        msr_free(&msr);
        out.push_back(std::move(r));
    }
    return out;
}

// The channels libmseed's records make: gathered by identity in the order of their first
// records, each channel's records in time order, their samples joined.
std::vector<RefRecord> libmseedChannels(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::vector<RefRecord>> groups;
    for (RefRecord& r : libmseedRecords(bytes)) {
        if (r.encoding == 0) continue; // text
        auto same = std::find_if(groups.begin(), groups.end(), [&](const std::vector<RefRecord>& g) {
            const RefRecord& e = g.front();
            return e.station == r.station && e.channel == r.channel && e.network == r.network &&
                   e.location == r.location;
        });
        if (same == groups.end())
            groups.push_back({std::move(r)});
        else
            same->push_back(std::move(r));
    }
    std::vector<RefRecord> channels;
    for (auto& g : groups) {
        std::stable_sort(g.begin(), g.end(), [](const RefRecord& a, const RefRecord& b) {
            return a.startMicros < b.startMicros;
        });
        const auto firstWithData =
            std::find_if(g.begin(), g.end(), [](auto& r) { return !r.samples.empty(); });
        RefRecord c = firstWithData == g.end() ? g.front() : *firstWithData;
        c.samples.clear();
        for (const RefRecord& r : g)
            c.samples.insert(c.samples.end(), r.samples.begin(), r.samples.end());
        channels.push_back(std::move(c));
    }
    return channels;
}

std::vector<double> traceValues(const SeedTrace& t) {
    return t.real ? t.reals : std::vector<double>(t.samples.begin(), t.samples.end());
}

std::vector<std::filesystem::path> miniSeedFiles() {
    std::vector<std::filesystem::path> files;
    const auto root = test::sharedDataDir();
    if (root.empty()) return files;
    for (const char* folder : {"mseed", "mseed3"})
        for (const auto& e : std::filesystem::recursive_directory_iterator(root / "waveforms" / folder))
            if (e.is_regular_file() && e.path().extension() != ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Files the MINISEED reader rejects, with the reason (its last-error text begins with it).
const std::map<std::string, std::string>& rejected() {
    static const std::map<std::string, std::string> m = {
        // Text (log) records are shown as text, not loaded as samples.
        {"text-encoded.mseed", "Text records only"},
        // Records without samples only (a detection, a header).
        {"detection.record.mseed", "No samples in the file"},
        {"testdata-detection.record.mseed2", "No samples in the file"},
        {"reference-testdata-headeronly.mseed2", "No samples in the file"},
        {"reference-testdata-headeronly.mseed3", "No samples in the file"},
        {"reference-testdata-text.mseed2", "Text records only"},
        {"reference-testdata-text.mseed3", "Text records only"},
        // Blockette 1000 is required.
        {"no-blockette1000-steim1.mseed", "Can't find blk 1000"},
        {"testdata-no-blockette1000-steim1.mseed2", "Can't find blk 1000"},
        // Broken blockette chains (libmseed warns and guesses the encoding).
        {"invalid-blockette-offsets.mseed", "First blockette offset 40 inside the fixed header"},
        {"testdata-invalid-blockette-offsets.mseed2", "First blockette offset 40 inside the fixed header"},
        {"corrupt-blockettes-wrongnext.mseed", "Blockette at 14336 runs past the record end"},
    };
    return m;
}

TEST(SeedLibmseed, EveryRecordDecodesAsLibmseedDoes) {
    const auto files = miniSeedFiles();
    if (files.empty()) GTEST_SKIP() << "../shared/data is absent (set TLX_SHARED_DATA)";
    int compared = 0;
    std::set<int> encodings;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const auto bytes = test::readBytes(path);
        for (const RefRecord& ref : libmseedRecords(bytes)) {
            if (!ref.decoded || ref.encoding == 0) continue;
            MseedRecordInfo h;
            std::string error;
            const auto span = std::span<const std::uint8_t>(bytes).subspan(ref.offset);
            if (parseMiniSeedRecord(span, h, error) != RecordStatus::Ok) {
                // Records of the files rejected below for their headers.
                EXPECT_TRUE(rejected().count(path.filename().string()))
                    << "record at " << ref.offset << ": " << error;
                continue;
            }
            EXPECT_EQ(h.station, ref.station);
            EXPECT_EQ(h.channel, ref.channel);
            EXPECT_EQ(h.startMicros, ref.startMicros);
            EXPECT_EQ(h.rate, ref.rate);
            const std::size_t n = static_cast<std::size_t>(h.sampleCount);
            std::vector<double> got(n);
            DecodeResult d;
            if (isRealEncoding(h.encoding)) {
                d = decodeReals(h.encoding, span.data() + h.dataOffset, h.dataBytes, h.dataBigEndian,
                                h.sampleCount, got.data(), n);
            } else {
                std::vector<std::int32_t> ints(n);
                d = decodeIntegers(h.encoding, span.data() + h.dataOffset, h.dataBytes, h.dataBigEndian,
                                   h.sampleCount, ints.data(), n);
                got.assign(ints.begin(), ints.end());
            }
            EXPECT_TRUE(d.ok) << d.error;
            EXPECT_EQ(got, ref.samples) << "record at " << ref.offset;
            encodings.insert(h.encoding);
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
    EXPECT_EQ(encodings, (std::set<int>{1, 3, 4, 5, 10, 11, 14, 16, 30, 32}));
}

TEST(SeedLibmseed, EveryFileIsReadAsLibmseedReadsItOrRejectedForItsReason) {
    const auto files = miniSeedFiles();
    if (files.empty()) GTEST_SKIP() << "../shared/data is absent (set TLX_SHARED_DATA)";
    int accepted = 0;
    for (const auto& path : files) {
        const std::string name = path.filename().string();
        SCOPED_TRACE(name);
        const auto bytes = test::readBytes(path);
        CSeed seed;
        const bool ok = seed.readMiniSeed(bytes);
        const auto it = rejected().find(name);
        if (it != rejected().end()) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(seed.lastError().rfind(it->second, 0), 0u) << seed.lastError();
            continue;
        }
        EXPECT_TRUE(ok) << seed.lastError();
        EXPECT_EQ(seed.lastError(), "");
        ++accepted;
        // A miniSEED 3 file is checked against the miniSEED 2 twin libmseed 2 reads.
        auto twin = path;
        if (isMseed3(bytes)) {
            twin.replace_extension(".mseed2");
            // The flush-idle pair holds different channels (HHZ at 100 Hz, BHZ at 40 Hz).
            if (!std::filesystem::exists(twin) || name == "reference-testdata-flushidle.mseed3") continue;
        }
        const std::vector<RefRecord> expected = libmseedChannels(test::readBytes(twin));
        if (seed.traces().size() != expected.size()) {
            ADD_FAILURE() << seed.traces().size() << " traces, libmseed " << expected.size();
            continue;
        }
        for (const RefRecord& e : expected) {
            // A twin may hold its channels in another order.
            const auto same =
                std::find_if(seed.traces().begin(), seed.traces().end(), [&](const SeedTrace& t) {
                    return t.station == e.station && t.channel == e.channel && t.network == e.network &&
                           t.location == e.location;
                });
            ASSERT_NE(same, seed.traces().end()) << e.station << "." << e.channel;
            const SeedTrace& t = *same;
            if (twin == path) {
                EXPECT_EQ(&t - seed.traces().data(), &e - expected.data()) << "channel order";
            }
            EXPECT_EQ(t.startMicros, e.startMicros);
            EXPECT_EQ(t.rate, e.rate);
            EXPECT_EQ(traceValues(t), e.samples);
        }
    }
    EXPECT_GT(accepted, 60);
}

TEST(SeedLibmseed, SeedVolumeChannelsHoldLibmseedsSamples) {
    const auto root = test::sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "../shared/data is absent (set TLX_SHARED_DATA)";
    for (const char* name : {"fullseed.mseed", "fullseed_dataquality_Q.mseed", "arclink_full.seed"}) {
        SCOPED_TRACE(name);
        const auto bytes = test::readBytes(root / "waveforms" / "seed" / "obspy" / name);
        CSeed seed;
        ASSERT_TRUE(seed.readSeedVolume(bytes)) << seed.lastError();
        // libmseed skips the control records; its data records are grouped by station and channel.
        std::vector<RefRecord> expected;
        for (RefRecord& r : libmseedRecords(bytes, static_cast<std::size_t>(seed.control().recordLength))) {
            ASSERT_TRUE(r.decoded);
            auto same = std::find_if(expected.begin(), expected.end(), [&](const RefRecord& e) {
                return e.station == r.station && e.channel == r.channel;
            });
            if (same == expected.end())
                expected.push_back(std::move(r));
            else
                same->samples.insert(same->samples.end(), r.samples.begin(), r.samples.end());
        }
        ASSERT_EQ(seed.traces().size(), expected.size());
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const SeedTrace& t = seed.traces()[k];
            EXPECT_EQ(t.channel, expected[k].channel);
            EXPECT_EQ(t.startMicros, expected[k].startMicros);
            EXPECT_EQ(t.rate, expected[k].rate);
            EXPECT_EQ(traceValues(t), expected[k].samples);
        }
    }
}

// Encodings without a reference file (24-bit integers of GEOSCOPE, its 3-bit exponent form) and
// the other fixed-width ones, on records of random data words, against libmseed.
TEST(SeedLibmseed, RandomDataDecodesAsLibmseedDecodesIt) {
    std::uint32_t seed = 2024;
    for (const int encoding : {1, 3, 4, 5, 12, 13, 14, 16, 30, 32})
        for (const bool bigEndian : {true, false}) {
            // GEOSCOPE's 24-bit words are big-endian by definition; libmseed 2.19 reads
            // little-endian ones differently (not as three bytes in reverse order).
            if (encoding == 12 && !bigEndian) continue;
            SCOPED_TRACE(testing::Message() << encoding << (bigEndian ? " BE" : " LE"));
            test::MseedSpec spec;
            spec.encoding = encoding;
            spec.bigEndian = bigEndian;
            std::vector<std::uint8_t> bytes = test::buildRecord(spec);
            const int width = encoding == 12 ? 3 : encoding == 3 || encoding == 4 ? 4 : encoding == 5 ? 8 : 2;
            const int count = (512 - 64) / width;
            for (std::size_t i = 64; i < bytes.size(); ++i) {
                seed = seed * 1664525u + 1013904223u;
                bytes[i] = static_cast<std::uint8_t>(seed >> 24);
            }
            for (std::size_t i = 64; encoding == 30 && i < bytes.size(); i += 2)
                bytes[i + (bigEndian ? 0 : 1)] %= 0xB0; // SRO gain codes 0..10
            for (std::size_t i = 64; encoding == 5 && i < bytes.size(); i += 8)
                bytes[i + (bigEndian ? 0 : 7)] &= 0x3F; // finite doubles only
            for (std::size_t i = 64; encoding == 4 && i < bytes.size(); i += 4)
                bytes[i + (bigEndian ? 0 : 3)] &= 0x3F; // finite floats only
            if (bigEndian)
                writeBE<std::uint16_t>(&bytes[30], static_cast<std::uint16_t>(count));
            else
                writeLE<std::uint16_t>(&bytes[30], static_cast<std::uint16_t>(count));
            const std::vector<RefRecord> ref = libmseedRecords(bytes);
            ASSERT_EQ(ref.size(), 1u);
            ASSERT_TRUE(ref[0].decoded);
            MseedRecordInfo h;
            std::string error;
            ASSERT_EQ(parseMiniSeedRecord(bytes, h, error), RecordStatus::Ok) << error;
            std::vector<double> got(static_cast<std::size_t>(count));
            std::vector<std::int32_t> ints(got.size());
            const DecodeResult d =
                isRealEncoding(encoding)
                    ? decodeReals(encoding, &bytes[64], 448, h.dataBigEndian, count, got.data(), got.size())
                    : decodeIntegers(encoding, &bytes[64], 448, h.dataBigEndian, count, ints.data(),
                                     ints.size());
            ASSERT_TRUE(d.ok) << d.error;
            if (!isRealEncoding(encoding)) got.assign(ints.begin(), ints.end());
            EXPECT_EQ(got, ref[0].samples);
        }
}

// Through the loader: float samples keep their values (less the truncated mean), a text log is
// shown instead of samples, and a miniSEED 3 record whose CRC does not match is refused.
TEST(SeedLibmseed, LoaderKeepsFloatsShowsTextAndChecksTheCrc) {
    const auto root = test::sharedDataDir();
    if (root.empty()) GTEST_SKIP() << "../shared/data is absent (set TLX_SHARED_DATA)";
    const auto libmseedDir = root / "waveforms" / "mseed" / "libmseed";
    RecordingMessages messages;
    EventLoader loader(messages);
    for (const char* name : {"Float32-encoded.mseed", "Float64-encoded.mseed"}) {
        SCOPED_TRACE(name);
        const auto bytes = test::readBytes(libmseedDir / name);
        const LoadResult r = loader.loadBytes(bytes, name, LoadRequest{});
        ASSERT_TRUE(r.ok) << testing::PrintToString(messages.texts());
        const std::vector<double> ref = libmseedChannels(bytes).at(0).samples;
        double sum = 0;
        for (double v : ref)
            sum += v;
        const double mean = std::trunc(sum / static_cast<double>(ref.size()));
        ASSERT_EQ(r.channels.at(0).samples.size(), ref.size());
        for (std::size_t i = 0; i < ref.size(); ++i)
            ASSERT_EQ(r.channels[0].samples[i], ref[i] - mean) << i;
        EXPECT_EQ(+r.channels[0].record.header.sampleType,
                  std::string(name) == "Float32-encoded.mseed" ? 2 : 3);
    }

    const auto text = test::readBytes(libmseedDir / "text-encoded.mseed");
    EXPECT_FALSE(loader.loadBytes(text, "log.mseed", LoadRequest{}).ok);
    ASSERT_FALSE(messages.texts().empty());
    EXPECT_NE(messages.texts().back().find(libmseedRecords(text).at(0).text.substr(0, 200)),
              std::string::npos);

    auto v3 =
        test::readBytes(root / "waveforms" / "mseed3" / "libmseed3" / "reference-testdata-int32.mseed3");
    CSeed seed;
    ASSERT_TRUE(seed.readMiniSeed(v3));
    v3[100] ^= 0x01; // in the first record
    EXPECT_FALSE(seed.readMiniSeed(v3));
    EXPECT_EQ(seed.lastError(), "miniSEED 3 record CRC mismatch");
}

// What the writer produces reads back through libmseed and through the reader with the same
// samples, start time, rate and identity, for each encoding and record length.
TEST(MseedWriter, RecordsReadBackThroughLibmseedAndTheReader) {
    EventRecord record;
    record.header.sps = 20.5;
    record.header.startTime = fromCivil(CivilTime{2024, 3, 1, 23, 59, 58, 123'456'000});
    copyToField(record.header.sensorId, sizeof record.header.sensorId, "ANMO");
    copyToField(record.header.componentName, sizeof record.header.componentName, "BHZ");
    copyToField(record.header.network, sizeof record.header.network, "IU");
    copyToField(record.info.seedLocation, 3, "00");
    // Steps of every Steim2 width: slow waves, 8- and 15-bit steps, and 30-bit spikes.
    std::vector<double> whole(6000), real(6000);
    for (std::size_t i = 0; i < whole.size(); ++i) {
        whole[i] =
            std::round(300 * std::sin(i * 0.01) + (i % 97 == 0 ? 20000 : 0) + (i % 1013 == 0 ? 3e8 : 0));
        real[i] = whole[i] * 1e-3 + 1.0 / 3.0;
    }
    struct Case {
        MseedWriteEncoding encoding;
        int length;
        bool realData;
        int code; // blockette 1000 encoding libmseed reports
    };
    for (const Case c :
         {Case{MseedWriteEncoding::Steim2, 512, false, 11}, Case{MseedWriteEncoding::Auto, 4096, false, 11},
          Case{MseedWriteEncoding::Int32, 512, false, 3}, Case{MseedWriteEncoding::Float32, 4096, true, 4},
          Case{MseedWriteEncoding::Auto, 512, true, 5}}) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.encoding) << " " << c.length);
        const std::vector<double>& values = c.realData ? real : whole;
        std::vector<double> expected = values;
        if (c.encoding == MseedWriteEncoding::Float32)
            for (double& v : expected)
                v = static_cast<float>(v);
        WriterOptions options;
        int sequence = 1;
        std::vector<std::uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(encodeMiniSeedChannel({&record, values, 0}, options, {c.length, c.encoding}, sequence,
                                          bytes, error))
            << error;
        ASSERT_EQ(bytes.size() % static_cast<std::size_t>(c.length), 0u);
        EXPECT_EQ(sequence - 1, static_cast<int>(bytes.size()) / c.length);
        const std::vector<RefRecord> records = libmseedRecords(bytes);
        ASSERT_EQ(records.size(), bytes.size() / static_cast<std::size_t>(c.length));
        EXPECT_EQ(records.back().encoding, c.code);
        const std::vector<RefRecord> ref = libmseedChannels(bytes);
        ASSERT_EQ(ref.size(), 1u);
        EXPECT_EQ(ref[0].samples, expected);
        EXPECT_EQ(ref[0].rate, 20.5);
        EXPECT_EQ(ref[0].startMicros, 1709337598123456);
        EXPECT_EQ(ref[0].station + "." + ref[0].network + "." + ref[0].location + "." + ref[0].channel,
                  "ANMO.IU.00.BHZ");
        // Each record starts where its first sample falls (the day turns within the data).
        std::size_t before = 0;
        for (const RefRecord& r : records) {
            EXPECT_EQ(r.startMicros,
                      1709337598123456 + std::llround(static_cast<double>(before) * 1e6 / 20.5));
            before += r.samples.size();
        }
        CSeed seed;
        ASSERT_TRUE(seed.readMiniSeed(bytes)) << seed.lastError();
        ASSERT_EQ(seed.traces().size(), 1u);
        EXPECT_EQ(traceValues(seed.traces()[0]), expected);
        EXPECT_EQ(seed.traces()[0].startMicros, 1709337598123456);
        EXPECT_EQ(seed.traces()[0].rate, 20.5);
        EXPECT_EQ(seed.lastError(), "");
    }
    int sequence = 1;
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(encodeMiniSeedChannel({&record, real, 0}, {}, {512, MseedWriteEncoding::Steim2}, sequence,
                                       bytes, error));
    EXPECT_EQ(error, "The samples are not whole numbers: write them as float32 or float64");
}

#else
TEST(SeedLibmseed, EveryRecordDecodesAsLibmseedDoes) {
    GTEST_SKIP() << "libmseed is not installed";
}
#endif

} // namespace
} // namespace tlx
