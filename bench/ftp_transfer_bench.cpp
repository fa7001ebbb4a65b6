// Download and upload of a 256 MB file against a local pyftpdlib server, in
// passive and active mode. The client streams, so its peak memory (reported
// as peak_rss_MB) must stay small whatever the file size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>

#include "ftp/ftp_client.hpp"
#include "support/pyftpdlib_server.hpp"
#include "support/temp_folder.hpp"

namespace {

constexpr std::size_t kFileSize = 256u * 1024 * 1024;
constexpr std::size_t kChunk = 1024 * 1024;

// Written in chunks, so creating it does not raise the peak either.
void writeLargeFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    std::string chunk(kChunk, '\0');
    for (std::size_t offset = 0; offset < kFileSize; offset += kChunk) {
        for (std::size_t i = 0; i < kChunk; ++i) chunk[i] = static_cast<char>((offset / kChunk + i * 31) & 0xFF);
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    }
}

long long fileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

double peakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

struct Setup {
    Setup() { writeLargeFile(server.root().file("large.bin")); }
    quill::test::PyftpdlibServer server;
    quill::test::TempFolder local;
};

Setup& setup() {
    static Setup instance;
    return instance;
}

std::unique_ptr<quill::ftp::TFTPClient> connectedClient(bool passive) {
    auto client = std::make_unique<quill::ftp::TFTPClient>();
    client->Host = "127.0.0.1";
    client->Port = setup().server.port();
    client->Username = setup().server.user();
    client->Password = setup().server.password();
    client->Passive = passive;
    client->Connect();
    return client;
}

void BM_Download(benchmark::State& state) {
    const bool passive = state.range(0) != 0;
    auto client = connectedClient(passive);
    const std::string target = setup().local.file("download.bin");
    for (auto _ : state) client->Download("large.bin", target, true, false);
    if (fileSize(target) != static_cast<long long>(kFileSize)) state.SkipWithError("download incomplete");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
    state.counters["peak_rss_MB"] = peakMegabytes();
    client->Disconnect();
}

void BM_Upload(benchmark::State& state) {
    const bool passive = state.range(0) != 0;
    auto client = connectedClient(passive);
    const std::string source = setup().server.root().file("large.bin");
    for (auto _ : state) client->Upload(source, "upload.bin", false);
    if (fileSize(setup().server.root().file("upload.bin")) != static_cast<long long>(kFileSize))
        state.SkipWithError("upload incomplete");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
    state.counters["peak_rss_MB"] = peakMegabytes();
    client->Disconnect();
}

BENCHMARK(BM_Download)->ArgName("passive")->Arg(1)->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Upload)->ArgName("passive")->Arg(1)->Arg(0)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
