#include "cli/audit_report.hpp"

#include <ostream>

#include "cli/json_writer.hpp"

namespace quill::cli {

namespace {

struct KindNames {
    const char* german;
    const char* json;
};

constexpr ReadableKind kKinds[] = {ReadableKind::Text, ReadableKind::Link, ReadableKind::Attribute,
                                   ReadableKind::Script};

KindNames namesOf(ReadableKind kind) {
    switch (kind) {
        case ReadableKind::Link:
            return {"Link", "link"};
        case ReadableKind::Attribute:
            return {"Attribut", "attribute"};
        case ReadableKind::Script:
            return {"Skript", "script"};
        case ReadableKind::Text:
            break;
    }
    return {"Text", "text"};
}

void writeHitsJson(const char* name, const std::vector<ReadableAddress>& hits, JsonWriter& json) {
    json.key(name).beginArray();
    for (const auto& hit : hits) {
        json.beginObject();
        json.key("path").string(shownName(hit.path));
        json.key("line").number(hit.line);
        json.key("column").number(hit.column);
        json.key("address").string(hit.address);
        json.key("kind").string(namesOf(hit.kind).json);
        json.endObject();
    }
    json.endArray();
}

}  // namespace

std::string readableLine(const ReadableAddress& hit, bool excepted) {
    return shownName(hit.path) + ":" + std::to_string(hit.line) + ":" + std::to_string(hit.column) + ": " +
           shownName(hit.address) + " (" + namesOf(hit.kind).german + (excepted ? ", Ausnahme)" : ")");
}

void writeReadableLines(const AuditSplit& hits, bool verbose, std::ostream& out) {
    for (const auto& hit : hits.counted) out << readableLine(hit) << '\n';
    if (!verbose) return;
    for (const auto& hit : hits.excepted) out << readableLine(hit, true) << '\n';
}

void writeReadableJson(const AuditSplit& hits, bool verbose, JsonWriter& json) {
    writeHitsJson("readable", hits.counted, json);
    if (verbose) writeHitsJson("excepted", hits.excepted, json);
}

void beginJsonReport(JsonWriter& json) {
    json.beginObject();
    json.key("format").number(1);
}

void writeTotalsJson(const ReportTotals& totals, const AuditSplit& hits, JsonWriter& json) {
    const auto number = [](std::size_t n) { return static_cast<long long>(n); };
    json.key("totals").beginObject();
    json.key("files_checked").number(number(totals.filesChecked));
    json.key("files_changed").number(number(totals.filesChanged));
    json.key("places_replaced").number(number(totals.placesReplaced));
    json.key("readable").beginObject();
    for (const ReadableKind kind : kKinds) {
        std::size_t count = 0;
        for (const auto& hit : hits.counted) count += hit.kind == kind ? 1 : 0;
        json.key(namesOf(kind).json).number(number(count));
    }
    json.endObject();
    json.key("excepted").number(number(hits.excepted.size()));
    json.endObject();
}

}  // namespace quill::cli
