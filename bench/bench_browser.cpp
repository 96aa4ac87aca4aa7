// The event database and the browser on generated trees: indexing 10,000 event files against
// reading the first 4 KB of each of them; a live search of the same tree; the summaries of a folder
// of 2,000 files, first with an empty cache and then from the cache file.
#include "bench_support.h"

#include "browser/directory_listing.h"
#include "browser/event_database.h"
#include "browser/file_search.h"
#include "browser/file_walk.h"
#include "core/text.h"
#include "record/svx4_writer.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

using namespace tlx;
namespace fs = std::filesystem;

namespace {

// `folders` folders of `perFolder` files of 2,000 int32 samples (8 KB) with one event each.
void writeTree(const fs::path& root, int folders, int perFolder) {
    EventRecord record = bench::benchRecord();
    copyToField(record.header.sensorId, sizeof record.header.sensorId, "BENCH");
    record.header.orientation = 'Z';
    record.header.latitude = 45;
    record.header.longitude = 10;
    std::vector<double> samples(2000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<double>((i * 7919) % 2000) - 1000;
    WriterOptions options;
    options.sampleType = 1;
    RecordingMessages messages;
    for (int f = 0; f < folders; ++f) {
        const fs::path dir = root / format("d%03d", f);
        fs::create_directories(dir);
        for (int i = 0; i < perFolder; ++i) {
            EventEntry event{};
            event.latitude = 30 + (i % 40);
            event.longitude = -20 + (f % 60);
            event.depth = 10 + (i % 300);
            event.magMl = static_cast<std::int16_t>(200 + (i * 37 + f) % 500);
            record.info.events = {event};
            if (!writeSvx4File((dir / format("ev%04d.svx", i)).string(), {&record, samples, 0}, options,
                               messages))
                std::abort();
        }
    }
}

std::vector<fs::path> allFiles(const fs::path& root) {
    std::vector<fs::path> files;
    for (const fs::path& dir : browser::collectDirectories(root))
        for (const fs::path& f : browser::listFiles(dir))
            files.push_back(f);
    return files;
}

int listOnce(const fs::path& dir, browser::SummaryCache& cache) {
    browser::DirectoryListing listing(LoaderSettings{}, std::move(cache));
    listing.start({dir, {"*"}});
    std::size_t rows = 0;
    while (!listing.finished()) {
        rows += listing.takeReady().size();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    rows += listing.takeReady().size();
    cache = std::move(listing.cache());
    return static_cast<int>(rows);
}

} // namespace

int main() {
    const fs::path root = bench::scratchPath("browser-tree");
    fs::remove_all(root);
    writeTree(root / "tree", 100, 100);
    const std::vector<fs::path> files = allFiles(root / "tree");
    if (files.size() != 10000) std::abort();

    RecordingMessages messages;
    EventLoader loader(messages);
    const fs::path db = root / "eventdb.dat";
    const double index = bench::bestSeconds(3, [&] {
        if (browser::createDatabase(root / "tree", db, loader).records != 10000) std::abort();
    });
    const double firstBytes = bench::bestSeconds(3, [&] {
        std::vector<char> buffer(4096);
        std::size_t total = 0;
        for (const fs::path& dir : browser::collectDirectories(root / "tree"))
            for (const fs::path& f : browser::listFiles(dir)) {
                std::FILE* in = std::fopen(f.c_str(), "rb");
                if (!in) std::abort();
                total += std::fread(buffer.data(), 1, buffer.size(), in);
                std::fclose(in);
            }
        if (total == 0) std::abort();
    });
    browser::SearchCriteria criteria = browser::parseCriteria(browser::kDefaultFileSearch);
    criteria.minMag = "6.5";
    criteria.maxFiles = 100000;
    std::size_t liveHits = 0, dbHits = 0;
    const double live = bench::bestSeconds(
        3, [&] { liveHits = browser::liveSearch(root / "tree", criteria, loader).size(); });
    const double indexed = bench::bestSeconds(3, [&] {
        browser::DatabaseFile file;
        if (!browser::readDatabase(db, file)) std::abort();
        dbHits = browser::searchDatabase(file, criteria).size();
    });
    if (liveHits != dbHits) std::abort();

    writeTree(root / "folder", 1, 2000);
    const fs::path folder = root / "folder" / "d000";
    const fs::path cacheFile = root / "browser.cache";
    const double firstOpening = bench::bestSeconds(3, [&] {
        browser::SummaryCache empty;
        if (listOnce(folder, empty) != 2000) std::abort();
        if (!empty.save(cacheFile)) std::abort();
    });
    const double cachedOpening = bench::bestSeconds(3, [&] {
        browser::SummaryCache cache;
        if (!cache.load(cacheFile) || listOnce(folder, cache) != 2000) std::abort();
    });

    std::printf(
        "index of 10,000 event files: tellurix %.0f ms, first 4 KB of each file %.0f ms, ratio %.2f\n",
        index * 1e3, firstBytes * 1e3, index / firstBytes);
    std::printf("search of the same tree (Ml >= 6.5, %zu files): live %.0f ms, through eventdb.dat %.1f ms\n",
                liveHits, live * 1e3, indexed * 1e3);
    std::printf("summaries of a folder of 2,000 files: first opening %.0f ms, cached %.0f ms\n",
                firstOpening * 1e3, cachedOpening * 1e3);
    fs::remove_all(root);
    return 0;
}
