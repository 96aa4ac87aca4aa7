// The filter dialog's Apply on an event window of three records of 5,242,879 samples (the
// largest a file holds): a 4-pole low-pass at 5 Hz and a 4-pole high-pass at 0.5 Hz, through the
// document with its undo copies and history, against scipy.signal.sosfilt running the same
// sections over the same three records (timed by bench/python_reference.py in the same run).
#include "bench_support.h"
#include "python_reference.h"

#include "document/eq_doc.h"
#include "dsp/filter.h"
#include "dsp/time_filter.h"
#include "record/loader.h"
#include "record/svx4_writer.h"
#include "views/document_filter_target.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <vector>

using namespace tlx;

namespace {

constexpr int kCount = kMaxSampleCount - 1;

std::string writeRecord(const std::string& name, const char* station, std::vector<double>& samples) {
    const std::string path = bench::scratchPath(name);
    EventRecord record;
    std::memcpy(record.header.magic, "SVXTYPE4", 8);
    std::memcpy(record.header.sensorId, station, std::strlen(station));
    record.header.startTime = {2024, 1, 1, 0, 0, 0, 0, 0};
    record.header.sps = 100;
    std::mt19937_64 rng(static_cast<unsigned>(station[0]));
    std::normal_distribution<double> noise(0, 50);
    samples.resize(kCount);
    for (int i = 0; i < kCount; ++i)
        samples[static_cast<std::size_t>(i)] = std::round(1000 * std::sin(i * 0.01) + noise(rng));
    WriterOptions options;
    options.sampleType = 1;
    RecordingMessages messages;
    if (!writeSvx4File(path, {&record, samples, 0}, options, messages)) std::abort();
    return path;
}

} // namespace

int main() {
    std::vector<double> a, b, c;
    const std::vector<std::string> files = {writeRecord("filter-a.svx", "A", a),
                                            writeRecord("filter-b.svx", "B", b),
                                            writeRecord("filter-c.svx", "C", c)};
    RecordingMessages messages;
    EventLoader loader(messages);
    CEqDoc doc(messages, loader);
    if (!doc.open(OpenRequest{files, kForceNone, {}}) || doc.recordCount() != 3) return 1;

    TimeFilterSettings settings;
    settings.lowPass = settings.highPass = true;
    settings.lowCutoff = 5;
    settings.lowPoles = 4;
    settings.highCutoff = 0.5;
    settings.highPoles = 4;
    DocumentFilterTarget target(doc);
    double ours = 1e9;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        if (!applyTimeFilter(settings, target, messages)) return 1;
        ours =
            std::min(ours, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        doc.undoFiltering();
    }

    // The same sections for scipy over the three records one after another.
    IirDesign low, high;
    if (designIir('L', 5, 4, 100, low) != IirStatus::Ok || designIir('H', 0.5, 4, 100, high) != IirStatus::Ok)
        return 1;
    const std::string dataPath = bench::scratchPath("filter3.f64"),
                      sosPath = bench::scratchPath("filter3.sos");
    {
        std::ofstream out(dataPath, std::ios::binary);
        for (const std::vector<double>* v : {&a, &b, &c})
            out.write(reinterpret_cast<const char*>(v->data()),
                      static_cast<std::streamsize>(v->size() * sizeof(double)));
    }
    bench::writeSosFile(sosPath, {&low, &high});
    const bench::PythonTiming ref = bench::runPythonReference({"sosfilt", dataPath, sosPath, "3"});
    for (const std::string& f : files)
        std::remove(f.c_str());
    std::remove(dataPath.c_str());
    std::remove(sosPath.c_str());
    std::printf("Filter dialog Apply (LP 5 Hz + HP 0.5 Hz, 4 poles each) on 3 x %d samples:\n", kCount);
    std::printf("  tellurix through the document (undo copies, history, edge padding): %.1f ms\n",
                ours * 1e3);
    if (!ref.ok) {
        std::printf("  scipy.signal.sosfilt: not available\n");
        return 0;
    }
    std::printf("  scipy.signal.sosfilt over the same samples: %.1f ms\n  ratio %.2f\n", ref.seconds * 1e3,
                ours / ref.seconds);
    return 0;
}
