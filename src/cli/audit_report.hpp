#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "addresses/address_audit.hpp"
#include "runs/exception_list.hpp"

namespace quill::cli {

class JsonWriter;

// "PFAD:ZEILE:SPALTE: ADRESSE (Art)", lines and columns (characters) counted
// from 1; an address the exceptions accept ends in "(Art, Ausnahme)".
std::string readableLine(const ReadableAddress& hit, bool excepted = false);
// The hits that count, and with verbose those the exceptions accept too.
void writeReadableLines(const AuditSplit& hits, bool verbose, std::ostream& out);

// "readable": [{"path", "line", "column", "address", "kind"}…] as a member of
// an open object, and with verbose "excepted" in the same form.
void writeReadableJson(const AuditSplit& hits, bool verbose, JsonWriter& json);

// Opens the report object: {"format": 1, …
void beginJsonReport(JsonWriter& json);

// What a run did and left, for the report's "totals" member.
struct ReportTotals {
    std::size_t filesChecked = 0;
    std::size_t filesChanged = 0;
    std::size_t placesReplaced = 0;
};
// "totals": {"files_checked", "files_changed", "places_replaced",
// "readable": {"text", "link", "attribute", "script"}, "excepted"}.
void writeTotalsJson(const ReportTotals& totals, const AuditSplit& hits, JsonWriter& json);

}  // namespace quill::cli
