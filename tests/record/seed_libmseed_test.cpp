// Every real MINISEED file of the shared reference data, decoded by Tellurix and by libmseed:
// identical samples, start times, rates and counts for every record and trace Tellurix accepts;
// the rejected files fail for the stated reason.
#include "record/loader.h"
#include "record/mseed_decode.h"
#include "record/mseed_record.h"
#include "record/seed.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>

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
    std::vector<std::int32_t> samples;
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
        r.startMicros = msr_starttime_uc(msr);
        r.rate = msr_nomsamprate(msr);
        r.encoding = msr->encoding;
        r.decoded = decoded && msr->sampletype == 'i';
        if (r.decoded) {
            const auto* d = static_cast<const std::int32_t*>(msr->datasamples);
            r.samples.assign(d, d + msr->numsamples);
        }
        offset += stride ? stride : static_cast<std::size_t>(msr->reclen);
        msr_free(&msr);
        out.push_back(std::move(r));
    }
    return out;
}

std::vector<std::filesystem::path> miniSeedFiles() {
    std::vector<std::filesystem::path> files;
    const auto root = test::sharedDataDir();
    if (root.empty()) return files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root / "waveforms" / "mseed"))
        if (e.is_regular_file() && e.path().extension() != ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Files the MINISEED reader rejects, with the reason (its last-error text begins with it).
const std::map<std::string, std::string>& rejected() {
    static const std::map<std::string, std::string> m = {
        // Encodings other than Steim1 and Steim2.
        {"CDSN-encoded.mseed", "Error: Currently unable to read format 16 for TEST.BHE.XX"},
        {"DWWSSN-encoded.mseed", "Error: Currently unable to read format 32 for TEST.LHE.XX"},
        {"Float32-encoded.mseed", "Error: Currently unable to read format 4 for TEST.VHE.XX"},
        {"Float64-encoded.mseed", "Error: Currently unable to read format 5 for TEST.VHE.XX"},
        {"GEOSCOPE-16bit-3exp-encoded.mseed", "Error: Currently unable to read format 14 for TEST.VHE.XX"},
        {"Int16-encoded.mseed", "Error: Currently unable to read format 1 for TEST.LHE.XX"},
        {"Int32-1024byte.mseed", "Error: Currently unable to read format 3 for TEST.LHZ.XX"},
        {"Int32-128byte.mseed", "Error: Currently unable to read format 3 for TEST.LHZ.XX"},
        {"Int32-2048byte.mseed", "Error: Currently unable to read format 3 for TEST.LHZ.XX"},
        {"Int32-256byte.mseed", "Error: Currently unable to read format 3 for TEST.LHZ.XX"},
        {"Int32-4096byte.mseed", "Error: Currently unable to read format 3 for TEST.LHZ.XX"},
        {"Int32-512byte.mseed", "Error: Currently unable to read format 3 for TEST.LHZ.XX"},
        {"Int32-8192byte.mseed", "Error: Currently unable to read format 3 for TEST.LHZ.XX"},
        {"Int32-oneseries-mixedlengths-mixedorder.mseed",
         "Error: Currently unable to read format 3 for TEST.LHZ.XX"},
        {"SRO-encoded.mseed", "Error: Currently unable to read format 30 for TEST.LHE.XX"},
        {"text-encoded.mseed", "Error: Currently unable to read format 0 for TEST.LOG.XX"},
        {"detection.record.mseed", "Error: Currently unable to read format 0 for TEST.BHZ.XX"},
        // Blockette 1000 is required.
        {"no-blockette1000-steim1.mseed", "Can't find blk 1000"},
        // Broken blockette chains (libmseed warns and guesses the encoding).
        {"invalid-blockette-offsets.mseed", "First blockette offset 40 inside the fixed header"},
        {"corrupt-blockettes-wrongnext.mseed", "Blockette at 14336 runs past the record end"},
    };
    return m;
}

TEST(SeedLibmseed, EveryRecordDecodesAsLibmseedDoes) {
    const auto files = miniSeedFiles();
    if (files.empty()) GTEST_SKIP() << "../shared/data is absent (set TLX_SHARED_DATA)";
    int compared = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const auto bytes = test::readBytes(path);
        for (const RefRecord& ref : libmseedRecords(bytes)) {
            if (!ref.decoded || (ref.encoding != 10 && ref.encoding != 11)) continue;
            DataRecordHeader h;
            std::string error;
            const auto span = std::span<const std::uint8_t>(bytes).subspan(ref.offset);
            if (parseDataRecord(span, true, 0, h, error) != RecordStatus::Ok) {
                // Records of the files rejected below for their headers.
                EXPECT_TRUE(rejected().count(path.filename().string()))
                    << "record at " << ref.offset << ": " << error;
                continue;
            }
            EXPECT_EQ(h.station, ref.station);
            EXPECT_EQ(h.channel, ref.channel);
            EXPECT_EQ(btimeMicros(h.start), ref.startMicros);
            EXPECT_EQ(sampleRate(h.rateFactor, h.rateMultiplier), ref.rate);
            std::vector<std::int32_t> out(static_cast<std::size_t>(h.sampleCount));
            const DecodeResult d = decodeSamples(
                h.encoding == 10 ? SampleDecoder::Steim1 : SampleDecoder::Steim2, span.data() + h.dataOffset,
                static_cast<std::size_t>(h.recordLength - h.dataOffset), h.dataBigEndian, h.sampleCount,
                out.data(), out.size());
            EXPECT_TRUE(d.ok) << d.error;
            EXPECT_EQ(out, ref.samples) << "record at " << ref.offset;
            ++compared;
        }
    }
    EXPECT_GT(compared, 1000);
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
        ASSERT_TRUE(ok) << seed.lastError();
        ++accepted;
        // The traces libmseed's records make under the same rule: a change of identity starts a trace.
        std::vector<RefRecord> expected;
        for (RefRecord& r : libmseedRecords(bytes)) {
            if (!expected.empty() && expected.back().station == r.station &&
                expected.back().channel == r.channel && expected.back().network == r.network &&
                expected.back().location == r.location) {
                expected.back().samples.insert(expected.back().samples.end(), r.samples.begin(),
                                               r.samples.end());
            } else {
                expected.push_back(std::move(r));
            }
        }
        const bool stoppedEarly = !seed.lastError().empty();
        if (!stoppedEarly) {
            ASSERT_EQ(seed.traces().size(), expected.size());
        }
        ASSERT_LE(seed.traces().size(), expected.size());
        for (std::size_t k = 0; k < seed.traces().size(); ++k) {
            const SeedTrace& t = seed.traces()[k];
            const RefRecord& e = expected[k];
            EXPECT_EQ(t.station, e.station);
            EXPECT_EQ(t.channel, e.channel);
            EXPECT_EQ(t.network, e.network);
            EXPECT_EQ(t.location, e.location);
            EXPECT_EQ(t.startMicros, e.startMicros);
            EXPECT_EQ(t.rate, e.rate);
            if (stoppedEarly && k + 1 == seed.traces().size()) {
                ASSERT_LE(t.samples.size(), e.samples.size());
                EXPECT_TRUE(std::equal(t.samples.begin(), t.samples.end(), e.samples.begin()));
            } else {
                EXPECT_EQ(t.samples, e.samples);
            }
        }
    }
    EXPECT_GT(accepted, 20);
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
            EXPECT_EQ(t.samples, expected[k].samples);
        }
    }
}

#else
TEST(SeedLibmseed, EveryRecordDecodesAsLibmseedDoes) {
    GTEST_SKIP() << "libmseed is not installed";
}
#endif

} // namespace
} // namespace tlx
