// Steim1 and Steim2 decoding throughput: Tellurix's record parser and decoder against libmseed's
// msr_unpack on the same records (4096-byte records packed by libmseed), samples per second.
#include "bench_support.h"
#include "seed_bench.h"

#include "record/mseed_encodings.h"
#include "record/mseed_record.h"

#include <cstdio>
#include <cstdlib>

using namespace tlx;

namespace {

struct Figures {
    double tellurix = 0;
    double libmseed = 0;
};

Figures measure(const std::vector<std::uint8_t>& records, int recordLength, std::size_t samples) {
    const std::size_t count = records.size() / static_cast<std::size_t>(recordLength);
    std::vector<std::int32_t> out(samples + 8192);
    MSRecord* msr = nullptr;
    const auto [tellurix, libmseed] = bench::alternatingBest(
        25,
        [&] {
            std::size_t n = 0;
            for (std::size_t r = 0; r < count; ++r) {
                const std::span<const std::uint8_t> rec(records.data() + r * recordLength,
                                                        static_cast<std::size_t>(recordLength));
                DataRecordHeader h;
                std::string error;
                if (parseDataRecord(rec, true, 0, h, error) != RecordStatus::Ok) std::abort();
                const DecodeResult d =
                    decodeIntegers(h.encoding, rec.data() + h.dataOffset,
                                   static_cast<std::size_t>(recordLength - h.dataOffset), h.dataBigEndian,
                                   h.sampleCount, out.data() + n, out.size() - n);
                if (!d.ok) std::abort();
                n += static_cast<std::size_t>(d.count);
            }
            if (n != samples) std::abort();
        },
        [&] {
            std::size_t n = 0;
            for (std::size_t r = 0; r < count; ++r) {
                char* rec =
                    reinterpret_cast<char*>(const_cast<std::uint8_t*>(records.data() + r * recordLength));
                if (msr_unpack(rec, recordLength, &msr, 1, 0) != MS_NOERROR) std::abort();
                n += static_cast<std::size_t>(msr->numsamples);
            }
            if (n != samples) std::abort();
        });
    msr_free(&msr);
    return {tellurix, libmseed};
}

} // namespace

int main() {
    const std::size_t samples = 2'000'000;
    const auto signal = bench::testSignal(samples);
    for (int encoding : {11, 10}) {
        const auto records = bench::packRecords(signal, encoding, 4096);
        const Figures f = measure(records, 4096, samples);
        std::printf("Steim%d, %zu samples in %zu records of 4096 bytes: tellurix %.1f Msamples/s, "
                    "libmseed msr_unpack %.1f Msamples/s, ratio %.2f\n",
                    encoding == 10 ? 1 : 2, samples, records.size() / 4096, samples / f.tellurix / 1e6,
                    samples / f.libmseed / 1e6, f.libmseed / f.tellurix);
    }
    return 0;
}
