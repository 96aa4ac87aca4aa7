// The event document with full-size records: memory of a window of three records with every
// undo copy, and Integrate and Crop against a plain std::partial_sum / memmove of the same array.
#include "bench_support.h"

#include "document/eq_doc.h"
#include "record/loader.h"
#include "record/svx4_writer.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

using namespace tlx;

namespace {

constexpr int kCount = kMaxSampleCount - 1; // the largest record a file can hold

std::string writeRecord(const std::string& name, const char* station) {
    const std::string path = bench::scratchPath(name);
    EventRecord record;
    std::memcpy(record.header.magic, "SVXTYPE4", 8);
    std::memcpy(record.header.sensorId, station, std::strlen(station));
    record.header.startTime = {2024, 1, 1, 0, 0, 0, 0, 250'000'000};
    record.header.sps = 100;
    record.header.sensorType = 1;
    std::vector<double> samples(kCount);
    for (int i = 0; i < kCount; ++i)
        samples[static_cast<std::size_t>(i)] =
            static_cast<double>((static_cast<std::int64_t>(i) * 7919) % 200000 - 100000);
    WriterOptions options;
    options.sampleType = 1;
    RecordingMessages messages;
    if (!writeSvx4File(path, {&record, samples, 0}, options, messages)) std::abort();
    return path;
}

// CPU time of this thread (user and system, so page faults count): steadier than wall time
// on a machine shared with other jobs.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double seconds(const std::function<void()>& work) {
    const double start = threadSeconds();
    work();
    return threadSeconds() - start;
}

} // namespace

int main() {
    const std::vector<std::string> files = {writeRecord("doc-a.svx", "A"), writeRecord("doc-b.svx", "B"),
                                            writeRecord("doc-c.svx", "C")};
    RecordingMessages messages;
    EventLoader loader(messages);
    const double arrayBytes = kCount * 8.0;

    // Memory of one window: three records, both integration copies and the filter copy of each.
    {
        const std::int64_t before = bench::statusKb("VmRSS:");
        { std::ofstream("/proc/self/clear_refs") << "5"; }
        CEqDoc doc(messages, loader);
        if (!doc.open(OpenRequest{files, kForceNone, {}}) || doc.recordCount() != 3) std::abort();
        const std::int64_t opened = bench::statusKb("VmRSS:");
        if (!doc.integrate() || !doc.integrate()) std::abort();
        const DataOperation op{kLabelLowPass, {"bench"}, true, -1};
        if (!doc.applyDataOperation(op, [](int, const EventRecord&, std::span<double> x) {
                for (double& v : x)
                    v *= 0.5;
                return true;
            }))
            std::abort();
        const std::int64_t full = bench::statusKb("VmRSS:");
        const std::int64_t peak = bench::statusKb("VmHWM:");
        std::printf("window, 3 x %d samples: opened %.1f MB (%.2f arrays), with all undo copies %.1f MB "
                    "(%.2f arrays; 12 required), peak %.1f MB (%.2f arrays)\n",
                    kCount, (opened - before) * 1024 / 1e6, (opened - before) * 1024 / arrayBytes,
                    (full - before) * 1024 / 1e6, (full - before) * 1024 / arrayBytes,
                    (peak - before) * 1024 / 1e6, (peak - before) * 1024 / arrayBytes);
    }

    // Integrate: the command (undo copy, running sum, statistics, title) against partial_sum.
    {
        CEqDoc doc(messages, loader);
        if (!doc.open(files[0])) std::abort();
        double best = 1e300;
        for (int r = 0; r < 7; ++r) {
            best = std::min(best, seconds([&] {
                                if (!doc.integrate()) std::abort();
                            }));
            if (!doc.undoIntegrate()) std::abort();
        }
        std::vector<double> x(doc.samples(0).begin(), doc.samples(0).end());
        double reference = 1e300;
        for (int r = 0; r < 7; ++r) {
            reference =
                std::min(reference, seconds([&] { std::partial_sum(x.begin(), x.end(), x.begin()); }));
            if (x[12345] == 0.123) std::abort(); // keeps the sums alive
        }
        // The first integration of a window has no released array to reuse: its pages are new.
        double first = 1e300;
        for (int r = 0; r < 5; ++r) {
            CEqDoc fresh(messages, loader);
            if (!fresh.open(files[0])) std::abort();
            first = std::min(first, seconds([&] {
                                 if (!fresh.integrate()) std::abort();
                             }));
        }
        std::printf(
            "integrate %d samples: tellurix %.1f ms (first in a window %.1f ms), std::partial_sum %.1f ms, "
            "ratio %.2f (first %.2f)\n",
            kCount, best * 1e3, first * 1e3, reference * 1e3, best / reference, first / reference);
    }

    // Crop: keep 5,000,000 samples from 1 s in, against memmove of the same samples.
    {
        const int keep = 5'000'000;
        double best = 1e300;
        for (int r = 0; r < 5; ++r) {
            CEqDoc doc(messages, loader);
            if (!doc.open(files[0])) std::abort();
            doc.toggleCropMessage();
            best = std::min(best, seconds([&] {
                                if (!doc.crop({175, keep, 1.0})) std::abort();
                            }));
        }
        std::vector<double> x(kCount, 1.0);
        double reference = 1e300;
        for (int r = 0; r < 5; ++r)
            reference = std::min(
                reference, seconds([&] { std::memmove(x.data(), x.data() + 175, keep * sizeof(double)); }));
        std::printf("crop to %d samples: tellurix %.1f ms, memmove %.1f ms, ratio %.2f\n", keep, best * 1e3,
                    reference * 1e3, best / reference);
    }
    for (const auto& f : files)
        std::remove(f.c_str());
    return 0;
}
