// The audit and the option's transform over generated pages of 1 MB: a dense
// one with a plain address, a link in another spelling and a script every
// 2 KB, and a typical one in the manner of software documentation (UTF-8,
// headings, linked paragraphs with references, program listings) with one
// address link every 20 KB. The goal is 300 MB/s of processor time for the
// audit of typical pages.
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

std::string typicalPage() {
    std::string text =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Handbuch</title>"
        "<link rel=\"stylesheet\" href=\"stylesheet.css\"></head><body>\n";
    for (int block = 0; text.size() < 1024 * 1024; ++block) {
        const std::string n = std::to_string(block);
        text += "<div class=\"sect1\" id=\"s" + n + "\"><h2 class=\"title\">" + n +
                ". Gr\xc3\xb6\xc3\x9f"
                "ere &amp; kleinere Tabellen</h2>\n"
                "<p>Die Funktion <code class=\"function\">pg_size_pretty</code> gibt die Gr\xc3\xb6\xc3\x9f"
                "e "
                "in Bytes zur\xc3\xbc"
                "ck; siehe <a class=\"xref\" href=\"functions-admin.html#s" +
                n + "\" title=\"Abschnitt " + n + "\">Abschnitt&nbsp;" + n +
                "</a> f\xc3\xbc"
                "r Einzelheiten.</p>\n"
                "<pre class=\"programlisting\">SELECT relname, pg_size_pretty(pg_relation_size(oid))\n"
                "  FROM pg_class WHERE relkind = 'r' AND relpages &gt; 10;</pre>\n";
        if (block % 30 == 0)
            text += "<p>Fehler meldet man an <a href=\"mailto:bugs" + n + "@example.org\">bugs" + n +
                    "@example.org</a>.</p>\n";
        text += "</div>\n";
    }
    return text + "</body></html>\n";
}

void BM_AuditTypicalPage(benchmark::State& state) {
    const std::string text = typicalPage();
    for (auto _ : state) benchmark::DoNotOptimize(quill::auditText(text, "p.html"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_AuditTypicalPage)->Unit(benchmark::kMillisecond);

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
