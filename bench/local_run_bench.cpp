// Local runs over generated sites with real fsync:
// - a folder run (search, scan, encode) over 2,000 pages of 20 KB holding 200
//   distinct addresses, next to its baseline: a plain single-pass rewrite of
//   the same tree (read, one automaton pass, temporary file, fsync, rename,
//   file after file), and a plain copy of the tree;
// - the engine alone over fixed bytes with 10, 200 and 5,000 addresses;
// - one page of 200 MB (time and peak memory, measured in a child process);
// - 50 MB as files of 20 KB, 1 MB and 50 MB.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "engine/case_blind_replace.hpp"
#include "files/file_io.hpp"
#include "runs/local_run.hpp"
#include "support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 20;
constexpr int kPagesPerFolder = 100;
constexpr int kAddresses = 200;
constexpr std::size_t kPageSize = 20 * 1024;

std::string address(int number) {
    return "kontakt" + std::to_string(number) + "@firma" + std::to_string(number % 7) + ".de";
}
std::string link(int number) {
    return "<a href=\"mailto:" + address(number) + "\">" + address(number) + "</a>";
}
// What the scan finds for a link: the text between "mailto:" and the next "<".
std::string foundText(int number) {
    return address(number) + "\">" + address(number);
}

quill::StringList foundTexts(int addresses) {
    quill::StringList list;
    for (int a = 0; a < addresses; ++a) list.push_back(foundText(a));
    return list;
}

// HTML of about the given size with a link every 3.4 KB or so: first the
// given address, then addresses at random.
std::string html(std::size_t size, int first, int addresses, std::mt19937& random) {
    std::string text = "<html>\r\n<head><title>Seite</title></head>\r\n<body>\r\n";
    const std::string filler = "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod.</p>\r\n";
    std::size_t links = 0;
    while (text.size() + 200 < size) {
        if (text.size() > (links + 1) * kPageSize / 6) {
            text += link(links == 0 ? first : static_cast<int>(random() % static_cast<unsigned>(addresses)));
            text += "\r\n";
            ++links;
        } else {
            text += filler;
        }
    }
    text += "</body>\r\n</html>\r\n";
    text.resize(size, ' ');
    return text;
}

const quill::test::TempFolder& scratch() {
    static const quill::test::TempFolder folder;
    return folder;
}

// The pristine site, generated once.
std::string site() {
    static const std::string path = [] {
        std::mt19937 random(42);
        for (int f = 0; f < kFolders; ++f)
            for (int p = 0; p < kPagesPerFolder; ++p) {
                const int number = f * kPagesPerFolder + p;
                scratch().write("site/teil" + std::to_string(f) + "/seite" + std::to_string(p) + ".html",
                                html(kPageSize, number % kAddresses, kAddresses, random));
            }
        return scratch().file("site");
    }();
    return path;
}

void copyTree(const std::string& from, const std::string& to) {
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
    ::sync();  // every variant starts with nothing dirty
}

void BM_FolderRun(benchmark::State& state) {
    const std::string work = scratch().file("work");
    std::size_t addresses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        copyTree(site(), work);
        state.ResumeTiming();
        const auto files = quill::searchFolder(work, {"*.htm"}, true);
        const auto result = quill::runLocalEncoding(quill::LocalRunParameters::over(files));
        addresses = result.foundTexts.size();
    }
    state.counters["addresses"] = static_cast<double>(addresses);
}
BENCHMARK(BM_FolderRun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The baseline: each file read once, matched in one pass, written to a
// temporary file, synced and renamed before the next file.
void BM_SinglePassBaseline(benchmark::State& state) {
    const std::string work = scratch().file("baseline");
    const quill::RunReplacements replacements(foundTexts(kAddresses));
    for (auto _ : state) {
        state.PauseTiming();
        copyTree(site(), work);
        state.ResumeTiming();
        for (const auto& entry : fs::recursive_directory_iterator(work)) {
            if (!entry.is_regular_file()) continue;
            const std::string path = entry.path().string();
            const std::string bytes = replacements.apply(quill::files::readWholeFile(path));
            const std::string temp = path + ".tmp";
            const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
                ::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0)
                state.SkipWithError("baseline write failed");
        }
    }
}
BENCHMARK(BM_SinglePassBaseline)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_CopyTree(benchmark::State& state) {
    const std::string copy = scratch().file("copy");
    for (auto _ : state) {
        fs::remove_all(copy);
        fs::copy(site(), copy, fs::copy_options::recursive);
    }
}
BENCHMARK(BM_CopyTree)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The engine over 32 MB of pages whatever the number of addresses.
void BM_EngineAddresses(benchmark::State& state) {
    const int addresses = static_cast<int>(state.range(0));
    std::mt19937 random(7);
    std::string text;
    for (int page = 0; text.size() < (32u << 20); ++page) text += html(kPageSize, page % addresses, addresses, random);
    const quill::RunReplacements replacements(foundTexts(addresses));
    benchmark::DoNotOptimize(replacements.apply("warm-up"));
    for (auto _ : state) benchmark::DoNotOptimize(replacements.apply(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_EngineAddresses)->Arg(10)->Arg(200)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(5);

// The plan a run builds at its first page to rewrite: with many found texts
// it is what the progress bar waits for at the start of that step.
void BM_PlanForFoundTexts(benchmark::State& state) {
    const auto texts = foundTexts(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const quill::RunReplacements replacements(texts);
        benchmark::DoNotOptimize(replacements.apply("<a href=\"mailto:x@y.de\">x</a>"));
    }
}
BENCHMARK(BM_PlanForFoundTexts)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(2);

// Files of the given size holding total bytes together, written once.
std::vector<std::string> filesOfSize(const std::string& name, std::size_t size, std::size_t total) {
    std::vector<std::string> paths;
    std::mt19937 random(11);
    const std::string folder = scratch().file(name);
    fs::create_directories(folder);
    for (std::size_t made = 0, n = 0; made < total; made += size, ++n) {
        const std::string path = folder + "/seite" + std::to_string(n) + ".html";
        paths.push_back(path);
        if (fs::exists(path)) continue;
        std::ofstream out(path, std::ios::binary);
        for (std::size_t written = 0; written < size;) {
            const std::size_t piece = std::min<std::size_t>(size - written, 1u << 20);
            out << html(piece, static_cast<int>(n % kAddresses), kAddresses, random);
            written += piece;
        }
    }
    return paths;
}

struct ChildCost {
    double peakBytes;
    double cpuSeconds;  // user and system: what the run costs on a busy machine
};

// Runs a chosen-files run (scan and encode) on copies of the files in a child
// process and measures it.
ChildCost encodeCopiesInChild(const std::vector<std::string>& pristine, const std::string& workName,
                              benchmark::State& state) {
    state.PauseTiming();
    const std::string work = scratch().file(workName);
    fs::remove_all(work);
    fs::create_directories(work);
    quill::StringList copies;
    for (const auto& path : pristine) {
        copies.push_back(work + "/" + fs::path(path).filename().string());
        fs::copy_file(path, copies.back());
    }
    ::sync();
    state.ResumeTiming();
    const pid_t child = ::fork();
    if (child == 0) {
        const auto result = quill::runLocalEncoding(quill::LocalRunParameters::over(copies));
        ::_exit(result.foundTexts.empty() ? 1 : 0);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("run failed");
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return {static_cast<double>(usage.ru_maxrss) * 1024.0, seconds(usage.ru_utime) + seconds(usage.ru_stime)};
}

void BM_LargePage(benchmark::State& state) {
    constexpr std::size_t kSize = 200u << 20;
    const auto pristine = filesOfSize("large", kSize, kSize);
    ChildCost cost{};
    for (auto _ : state) cost = encodeCopiesInChild(pristine, "large-work", state);
    state.counters["peak_rss_per_file_size"] = cost.peakBytes / static_cast<double>(kSize);
    state.counters["run_cpu_s"] = cost.cpuSeconds;
}
BENCHMARK(BM_LargePage)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// Time per byte should not depend on how the bytes are cut into files.
void BM_FileSizes(benchmark::State& state) {
    constexpr std::size_t kTotal = 50u << 20;
    const auto size = static_cast<std::size_t>(state.range(0));
    const auto pristine = filesOfSize("sizes" + std::to_string(size), size, kTotal);
    ChildCost cost{};
    for (auto _ : state) cost = encodeCopiesInChild(pristine, "sizes-work", state);
    state.counters["run_cpu_s"] = cost.cpuSeconds;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kTotal));
}
BENCHMARK(BM_FileSizes)
    ->Arg(20 << 10)
    ->Arg(1 << 20)
    ->Arg(50 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
