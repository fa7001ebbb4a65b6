#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "addresses/address_audit.hpp"

namespace quill::cli {

class JsonWriter;

// "PFAD:ZEILE:SPALTE: ADRESSE (Art)", lines and columns counted from 1.
std::string readableLine(const ReadableAddress& hit);
void writeReadableLines(const std::vector<ReadableAddress>& hits, std::ostream& out);

// "readable": [{"path", "line", "column", "address", "kind"}…] as a member of an open object.
void writeReadableJson(const std::vector<ReadableAddress>& hits, JsonWriter& json);

}  // namespace quill::cli
