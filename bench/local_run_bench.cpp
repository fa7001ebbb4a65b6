// A folder run (search, scan, encode) over a generated site of 2,000 pages of
// 20 KB holding 200 distinct addresses, next to a plain copy of the same tree.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <sys/resource.h>

#include "encoding/encoding_runs.hpp"
#include "support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 20;
constexpr int kPagesPerFolder = 100;
constexpr int kAddresses = 200;
constexpr std::size_t kPageSize = 20 * 1024;

std::string link(int address) {
    const std::string mail = "kontakt" + std::to_string(address) + "@firma" + std::to_string(address % 7) + ".de";
    return "<a href=\"mailto:" + mail + "\">" + mail + "</a>";
}

std::string page(int number, std::mt19937& random) {
    std::string text = "<html>\r\n<head><title>Seite " + std::to_string(number) + "</title></head>\r\n<body>\r\n";
    const std::string filler = "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod.</p>\r\n";
    int links = 0;
    while (text.size() < kPageSize - 200) {
        if (text.size() > static_cast<std::size_t>(links + 1) * kPageSize / 6) {
            // Every address appears somewhere; the others at random.
            text += links == 0 ? link(number % kAddresses) : link(static_cast<int>(random() % kAddresses));
            text += "\r\n";
            ++links;
        } else {
            text += filler;
        }
    }
    text += "</body>\r\n</html>\r\n";
    text.resize(kPageSize, ' ');
    return text;
}

// The pristine site, generated once.
const quill::test::TempFolder& site() {
    static const quill::test::TempFolder folder;
    static const bool generated = [] {
        std::mt19937 random(42);
        for (int f = 0; f < kFolders; ++f)
            for (int p = 0; p < kPagesPerFolder; ++p) {
                const int number = f * kPagesPerFolder + p;
                folder.write("site/teil" + std::to_string(f) + "/seite" + std::to_string(p) + ".html", page(number, random));
            }
        return true;
    }();
    (void)generated;
    return folder;
}

void copyTree(const std::string& from, const std::string& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
}

double peakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_FolderRun(benchmark::State& state) {
    const std::string source = site().file("site");
    const std::string work = site().file("work");
    std::size_t addresses = 0;
    std::size_t files = 0;
    for (auto _ : state) {
        state.PauseTiming();
        copyTree(source, work);
        state.ResumeTiming();
        quill::EncodingRuns runs;
        runs.searchFolder(work, {"*.htm"});
        const quill::RunOutcome outcome = runs.encodeFoundFiles();
        benchmark::DoNotOptimize(outcome);
        addresses = runs.foundAddresses.size();
        files = runs.foundFiles.size();
    }
    state.counters["files"] = static_cast<double>(files);
    state.counters["addresses"] = static_cast<double>(addresses);
    state.counters["peak_rss_MB"] = peakMegabytes();
}
BENCHMARK(BM_FolderRun)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CopyTree(benchmark::State& state) {
    const std::string source = site().file("site");
    const std::string copy = site().file("copy");
    for (auto _ : state) copyTree(source, copy);
    state.counters["peak_rss_MB"] = peakMegabytes();
}
BENCHMARK(BM_CopyTree)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
