#include "cli/run_report.hpp"

#include <ostream>

#include "cli/audit_report.hpp"
#include "cli/json_writer.hpp"

namespace quill::cli {

namespace {

ReportTotals totalsOf(const SiteRun& run) {
    ReportTotals totals;
    totals.filesChecked = run.files.size();
    for (const auto& file : run.files) {
        totals.filesChanged += file.changed ? 1 : 0;
        totals.placesReplaced += file.places;
    }
    return totals;
}

}  // namespace

std::string changedLine(const FileResult& file, bool dryRun) {
    return std::string(dryRun ? "würde geändert: " : "geändert: ") + shownName(file.path) + " (" +
           std::to_string(file.places) + (file.places == 1 ? " Stelle)" : " Stellen)");
}

std::string closingMessage(const SiteRun& run, bool dryRun) {
    // A dry run must not claim that anything was encoded.
    if (!dryRun || run.outcome.kind == OutcomeKind::Error) return run.outcome.text;
    const std::size_t changed = totalsOf(run).filesChanged;
    return "Probelauf: " + std::to_string(changed) + (changed == 1 ? " Datei würde" : " Dateien würden") +
           " geändert, nichts wurde geschrieben.";
}

void writeRunText(const SiteRun& run, bool dryRun, bool verbose, std::ostream& out) {
    for (const auto& file : run.files) {
        if (!file.changed) continue;
        out << changedLine(file, dryRun) << '\n';
        if (dryRun) out << file.diff;
    }
    out << closingMessage(run, dryRun) << '\n';
    writeReadableLines(run.readable, verbose, out);
}

std::string runJsonReport(const SiteRun& run, bool dryRun, bool verbose) {
    JsonWriter json;
    beginJsonReport(json);
    writeTotalsJson(totalsOf(run), run.readable, json);
    json.key("files").beginArray();
    for (const auto& file : run.files) {
        json.beginObject();
        json.key("path").string(shownName(file.path));
        json.key("changed").boolean(file.changed);
        json.key("places").number(static_cast<long long>(file.places));
        json.key("diff").string(displayText(file.diff));
        json.endObject();
    }
    json.endArray();
    json.key("message").string(closingMessage(run, dryRun));
    writeReadableJson(run.readable, verbose, json);
    json.endObject();
    return json.text();
}

}  // namespace quill::cli
