// Download and upload of a 256 MB file on loopback, in passive and active
// mode, by this client and by curl for comparison. The servers: pyftpdlib,
// started here, and optionally a second one already running, given as
// QUILL_BENCH_SERVER="port:user:password:local folder:remote folder" (the
// local folder is where the server keeps the remote folder's files). The
// client streams, so its peak memory (peak_rss_MB) must stay small whatever
// the file size; curl's is reported as child_peak_rss_MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

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
    ::chmod(path.c_str(), 0644);
}

long long fileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

double peakMegabytes(int who) {
    rusage usage{};
    ::getrusage(who, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// One server the transfers go to.
struct Target {
    std::uint16_t port = 0;
    std::string user;
    std::string password;
    std::string localFolder;
    std::string remoteFolder;

    std::string remotePath(const std::string& name) const {
        return remoteFolder.empty() ? name : remoteFolder + "/" + name;
    }
    std::string url(const std::string& name) const {
        return "ftp://" + user + ":" + password + "@127.0.0.1:" + std::to_string(port) + "/" + remotePath(name);
    }
};

std::optional<Target> externalTarget() {
    const char* text = std::getenv("QUILL_BENCH_SERVER");
    if (text == nullptr) return std::nullopt;
    std::vector<std::string> fields;
    std::stringstream in(text);
    for (std::string field; std::getline(in, field, ':');) fields.push_back(field);
    if (fields.size() != 5) return std::nullopt;
    return Target{static_cast<std::uint16_t>(std::stoi(fields[0])), fields[1], fields[2], fields[3], fields[4]};
}

struct Setup {
    Setup() {
        targets.push_back({server.port(), server.user(), server.password(), server.root().path(), ""});
        if (auto other = externalTarget()) targets.push_back(*other);
        for (const auto& target : targets) writeLargeFile(target.localFolder + "/large.bin");
    }
    quill::test::PyftpdlibServer server;
    quill::test::TempFolder local;
    std::vector<Target> targets;
};

Setup& setup() {
    static Setup instance;
    return instance;
}

const Target* targetFor(benchmark::State& state) {
    const auto index = static_cast<std::size_t>(state.range(1));
    if (index >= setup().targets.size()) {
        state.SkipWithError("no such server configured");
        return nullptr;
    }
    return &setup().targets[index];
}

std::unique_ptr<quill::ftp::TFTPClient> connectedClient(const Target& target, bool passive) {
    auto client = std::make_unique<quill::ftp::TFTPClient>();
    client->Host = "127.0.0.1";
    client->Port = target.port;
    client->Username = target.user;
    client->Password = target.password;
    client->Passive = passive;
    client->Connect();
    if (!target.remoteFolder.empty()) client->ChangeFolder(target.remoteFolder);
    return client;
}

void report(benchmark::State& state, bool complete) {
    if (!complete) state.SkipWithError("transfer incomplete");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kFileSize));
    state.counters["peak_rss_MB"] = peakMegabytes(RUSAGE_SELF);
    state.counters["child_peak_rss_MB"] = peakMegabytes(RUSAGE_CHILDREN);
}

void BM_Download(benchmark::State& state) {
    const Target* target = targetFor(state);
    if (target == nullptr) return;
    auto client = connectedClient(*target, state.range(0) != 0);
    const std::string copy = setup().local.file("download.bin");
    for (auto _ : state) client->Download("large.bin", copy, true, false);
    report(state, fileSize(copy) == static_cast<long long>(kFileSize));
    client->Disconnect();
}

void BM_Upload(benchmark::State& state) {
    const Target* target = targetFor(state);
    if (target == nullptr) return;
    auto client = connectedClient(*target, state.range(0) != 0);
    const std::string source = target->localFolder + "/large.bin";
    for (auto _ : state) client->Upload(source, "upload.bin", false);
    report(state, fileSize(target->localFolder + "/upload.bin") == static_cast<long long>(kFileSize));
    client->Disconnect();
}

std::string curlMode(benchmark::State& state) {
    // Active: curl announces the address of its control connection.
    return state.range(0) != 0 ? "" : " --ftp-port 127.0.0.1";
}

void BM_CurlDownload(benchmark::State& state) {
    const Target* target = targetFor(state);
    if (target == nullptr) return;
    const std::string copy = setup().local.file("curl-download.bin");
    const std::string command =
        "curl -s -S" + curlMode(state) + " -o '" + copy + "' '" + target->url("large.bin") + "'";
    bool ok = true;
    for (auto _ : state) ok = ok && std::system(command.c_str()) == 0;
    report(state, ok && fileSize(copy) == static_cast<long long>(kFileSize));
}

void BM_CurlUpload(benchmark::State& state) {
    const Target* target = targetFor(state);
    if (target == nullptr) return;
    const std::string source = target->localFolder + "/large.bin";
    const std::string command =
        "curl -s -S" + curlMode(state) + " -T '" + source + "' '" + target->url("curl-upload.bin") + "'";
    bool ok = true;
    for (auto _ : state) ok = ok && std::system(command.c_str()) == 0;
    report(state, ok && fileSize(target->localFolder + "/curl-upload.bin") == static_cast<long long>(kFileSize));
}

void modesAndServers(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"passive", "server"});
    for (int server : {0, 1}) {
        for (int passive : {1, 0}) bench->Args({passive, server});
    }
    bench->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Download)->Apply(modesAndServers);
BENCHMARK(BM_CurlDownload)->Apply(modesAndServers);
BENCHMARK(BM_Upload)->Apply(modesAndServers);
BENCHMARK(BM_CurlUpload)->Apply(modesAndServers);

}  // namespace

BENCHMARK_MAIN();
