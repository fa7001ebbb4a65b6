#include "cli/audit_report.hpp"

#include <ostream>

#include "cli/json_writer.hpp"

namespace quill::cli {

namespace {

struct KindNames {
    const char* german;
    const char* json;
};

KindNames namesOf(ReadableKind kind) {
    switch (kind) {
        case ReadableKind::Link: return {"Link", "link"};
        case ReadableKind::Attribute: return {"Attribut", "attribute"};
        case ReadableKind::Script: return {"Skript", "script"};
        case ReadableKind::Text: break;
    }
    return {"Text", "text"};
}

}  // namespace

std::string readableLine(const ReadableAddress& hit) {
    return hit.path + ":" + std::to_string(hit.line) + ":" + std::to_string(hit.column) + ": " + hit.address + " (" +
           namesOf(hit.kind).german + ")";
}

void writeReadableLines(const std::vector<ReadableAddress>& hits, std::ostream& out) {
    for (const auto& hit : hits) out << readableLine(hit) << '\n';
}

void writeReadableJson(const std::vector<ReadableAddress>& hits, JsonWriter& json) {
    json.key("readable").beginArray();
    for (const auto& hit : hits) {
        json.beginObject();
        json.key("path").string(displayText(hit.path));
        json.key("line").number(hit.line);
        json.key("column").number(hit.column);
        json.key("address").string(hit.address);
        json.key("kind").string(namesOf(hit.kind).json);
        json.endObject();
    }
    json.endArray();
}

}  // namespace quill::cli
