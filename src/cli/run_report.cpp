#include "cli/run_report.hpp"

#include <ostream>

#include "cli/audit_report.hpp"
#include "cli/json_writer.hpp"
#include "cli/unified_diff.hpp"

namespace quill::cli {

namespace {

std::size_t changedCount(const SiteRun& run) {
    std::size_t count = 0;
    for (const auto& file : run.files) count += file.changed() ? 1 : 0;
    return count;
}

}  // namespace

std::string changedLine(const FileResult& file, bool dryRun) {
    return std::string(dryRun ? "würde geändert: " : "geändert: ") + file.path + " (" +
           std::to_string(file.addresses) + (file.addresses == 1 ? " Adresse)" : " Adressen)");
}

std::string closingMessage(const SiteRun& run, bool dryRun) {
    // A dry run must not claim that anything was encoded.
    if (!dryRun || run.outcome.kind == OutcomeKind::Error) return run.outcome.text;
    const std::size_t changed = changedCount(run);
    return "Probelauf: " + std::to_string(changed) + (changed == 1 ? " Datei würde" : " Dateien würden") +
           " geändert, nichts wurde geschrieben.";
}

void writeRunText(const SiteRun& run, bool dryRun, std::ostream& out) {
    for (const auto& file : run.files) {
        if (!file.changed()) continue;
        out << changedLine(file, dryRun) << '\n';
        if (dryRun) out << unifiedDiff(file.path, file.before, file.after);
    }
    out << closingMessage(run, dryRun) << '\n';
    writeReadableLines(run.readable, out);
}

void writeRunJsonMembers(const SiteRun& run, bool dryRun, JsonWriter& json) {
    json.key("files").beginArray();
    for (const auto& file : run.files) {
        json.beginObject();
        json.key("path").string(displayText(file.path));
        json.key("changed").boolean(file.changed());
        json.key("addresses").number(static_cast<long long>(file.addresses));
        json.key("diff").string(displayText(unifiedDiff(file.path, file.before, file.after)));
        json.endObject();
    }
    json.endArray();
    json.key("message").string(closingMessage(run, dryRun));
    writeReadableJson(run.readable, json);
}

}  // namespace quill::cli
