// The audit and the option's transform over one generated page of 1 MB with
// a plain address, a link in another spelling and a script every 2 KB.
#include <benchmark/benchmark.h>

#include "addresses/address_audit.hpp"

namespace {

std::string page() {
    std::string text = "<html><head><title>Kontakt</title></head><body>\r\n";
    const std::string filler =
        "<p class=\"text\">Lorem ipsum dolor sit amet, consectetur adipiscing elit &amp; mehr.</p>\r\n";
    for (int block = 0; text.size() < 1024 * 1024; ++block) {
        const std::string n = std::to_string(block);
        text += "<p>Impressum: info" + n + "@firma.de</p>\r\n<a class=\"btn\" href='mailto:jobs" + n +
                "@firma.de'>Jobs</a>\r\n<script>var m = 'js" + n + "@firma.de';</script>\r\n";
        while (text.size() % 2048 > 200) text += filler;
    }
    return text + "</body></html>\r\n";
}

void BM_AuditText(benchmark::State& state) {
    const std::string text = page();
    for (auto _ : state) benchmark::DoNotOptimize(quill::auditText(text, "p.html"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AuditText)->Unit(benchmark::kMillisecond);

void BM_ProtectAllAddresses(benchmark::State& state) {
    const std::string text = page();
    for (auto _ : state) benchmark::DoNotOptimize(quill::protectAllAddresses(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ProtectAllAddresses)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
