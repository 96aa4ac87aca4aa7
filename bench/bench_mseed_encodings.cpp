// miniSEED decoding throughput per data encoding, Tellurix's record parser and decoders against
// libmseed's msr_unpack on the same records; and writing a day of 100 sps data (8,640,000
// samples) as Steim2 in 4096-byte records against libmseed's msr_pack: time and bytes.
#include "bench_support.h"
#include "seed_bench.h"

#include "record/mseed_encodings.h"
#include "record/mseed_record.h"
#include "record/mseed_writer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace tlx;

namespace {

// Packs samples of libmseed's sample type ('i', 'f' or 'd') into records of one encoding.
std::vector<std::uint8_t> libmseedPack(void* samples, std::size_t n, char type, int encoding, int length) {
    std::vector<std::uint8_t> out;
    MSRecord* msr = msr_init(nullptr);
    std::strcpy(msr->network, "XX");
    std::strcpy(msr->station, "BENCH");
    std::strcpy(msr->channel, "HHZ");
    msr->dataquality = 'D';
    char when[] = "2024,061,00:00:00.000000";
    msr->starttime = ms_seedtimestr2hptime(when);
    msr->samprate = 100.0;
    msr->reclen = length;
    msr->encoding = static_cast<std::int8_t>(encoding);
    msr->byteorder = 1;
    msr->datasamples = samples;
    msr->numsamples = static_cast<std::int64_t>(n);
    msr->sampletype = type;
    std::int64_t packed = 0;
    msr_pack(
        msr,
        [](char* record, int size, void* handler) {
            auto* bytes = static_cast<std::vector<std::uint8_t>*>(handler);
            bytes->insert(bytes->end(), record, record + size);
        },
        &out, &packed, 1, 0);
    msr->datasamples = nullptr;
    msr_free(&msr);
    return out;
}

// Seconds to decode every record of `records` (fixed length), best of alternating runs.
std::pair<double, double> decodeTimes(const std::vector<std::uint8_t>& records, int length,
                                      std::size_t samples) {
    const std::size_t count = records.size() / static_cast<std::size_t>(length);
    std::vector<std::int32_t> ints(8192);
    std::vector<double> reals(8192);
    MSRecord* msr = nullptr;
    const auto times = bench::alternatingBest(
        15,
        [&] {
            std::size_t n = 0;
            for (std::size_t r = 0; r < count; ++r) {
                const auto rec =
                    std::span<const std::uint8_t>(records).subspan(r * static_cast<std::size_t>(length));
                MseedRecordInfo h;
                std::string error;
                if (parseMiniSeedRecord(rec, h, error) != RecordStatus::Ok) std::abort();
                const DecodeResult d =
                    isRealEncoding(h.encoding)
                        ? decodeReals(h.encoding, rec.data() + h.dataOffset, h.dataBytes, h.dataBigEndian,
                                      h.sampleCount, reals.data(), reals.size())
                        : decodeIntegers(h.encoding, rec.data() + h.dataOffset, h.dataBytes, h.dataBigEndian,
                                         h.sampleCount, ints.data(), ints.size());
                if (!d.ok) std::abort();
                n += static_cast<std::size_t>(d.count);
            }
            if (n != samples) std::abort();
        },
        [&] {
            std::size_t n = 0;
            for (std::size_t r = 0; r < count; ++r) {
                char* rec = reinterpret_cast<char*>(const_cast<std::uint8_t*>(records.data() + r * length));
                if (msr_unpack(rec, length, &msr, 1, 0) != MS_NOERROR) std::abort();
                n += static_cast<std::size_t>(msr->numsamples);
            }
            if (n != samples) std::abort();
        });
    msr_free(&msr);
    return times;
}

void report(const char* name, std::size_t samples, std::pair<double, double> t) {
    std::printf(
        "%-10s %9zu samples: tellurix %7.1f Msamples/s, libmseed msr_unpack %7.1f Msamples/s, ratio %.2f\n",
        name, samples, samples / t.first / 1e6, samples / t.second / 1e6, t.second / t.first);
}

} // namespace

int main() {
    const std::size_t n = 2'000'000;
    std::vector<std::int32_t> ints = bench::testSignal(n);
    std::vector<float> floats(ints.begin(), ints.end());
    std::vector<double> doubles(ints.begin(), ints.end());
    for (std::size_t i = 0; i < n; ++i) {
        floats[i] *= 0.001f;
        doubles[i] *= 0.001;
    }
    std::vector<std::int32_t> small(ints);
    struct Case {
        const char* name;
        void* data;
        char type;
        int encoding;
    };
    for (const Case c : {Case{"int16", small.data(), 'i', 1}, Case{"int32", ints.data(), 'i', 3},
                         Case{"float32", floats.data(), 'f', 4}, Case{"float64", doubles.data(), 'd', 5},
                         Case{"Steim1", ints.data(), 'i', 10}, Case{"Steim2", ints.data(), 'i', 11}}) {
        const auto records = libmseedPack(c.data, n, c.type, c.encoding, 4096);
        report(c.name, n, decodeTimes(records, 4096, n));
    }
    // The old networks' formats, which libmseed does not pack: their reference records repeated.
    const char* shared = std::getenv("TLX_SHARED_DATA");
    for (const char* file : {"GEOSCOPE-16bit-3exp-encoded.mseed", "CDSN-encoded.mseed", "SRO-encoded.mseed",
                             "DWWSSN-encoded.mseed"}) {
        if (!shared) break;
        std::ifstream in(std::filesystem::path(shared) / "waveforms/mseed/libmseed" / file, std::ios::binary);
        const std::vector<std::uint8_t> one{std::istreambuf_iterator<char>(in), {}};
        if (one.size() != 4096) continue;
        std::vector<std::uint8_t> records;
        for (int i = 0; i < 1000; ++i)
            records.insert(records.end(), one.begin(), one.end());
        MseedRecordInfo h;
        std::string error;
        if (parseMiniSeedRecord(one, h, error) != RecordStatus::Ok) std::abort();
        report(std::string(file).substr(0, std::string(file).find('-')).c_str(), 1000u * h.sampleCount,
               decodeTimes(records, 4096, 1000u * h.sampleCount));
    }

    // Writing a day at 100 sps as Steim2 in 4096-byte records.
    const std::size_t day = 8'640'000;
    std::vector<std::int32_t> dayInts = bench::testSignal(day);
    const std::vector<double> dayValues(dayInts.begin(), dayInts.end());
    EventRecord record;
    record.header.sps = 100;
    std::vector<std::uint8_t> ours, theirs;
    const auto [tellurix, libmseed] = bench::alternatingBest(
        5,
        [&] {
            ours.clear();
            int sequence = 1;
            std::string error;
            if (!encodeMiniSeedChannel({&record, dayValues, 0}, {}, {4096, MseedWriteEncoding::Steim2},
                                       sequence, ours, error))
                std::abort();
        },
        [&] { theirs = libmseedPack(dayInts.data(), day, 'i', 11, 4096); });
    std::printf(
        "Steim2 write, %zu samples, 4096-byte records: tellurix %.3f s, %zu bytes; libmseed msr_pack %.3f s, "
        "%zu bytes\n",
        day, tellurix, ours.size(), libmseed, theirs.size());
    return 0;
}
