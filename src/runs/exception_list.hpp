#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "addresses/address_audit.hpp"
#include "text/string_list.hpp"

namespace quill {

// Addresses and pages that are meant to stay readable (a contact address in
// a JSON-LD block, a page about the address itself). One entry a line; "#"
// starts a comment; blank lines count for nothing. Every entry takes the
// masks' wildcard rules ("*", "?", letter case ignored). An entry with "@"
// and no "/" is an address ("info@example.org", "*@example.org"); any other
// is a path pattern: without "/" it is matched against the file name, with
// "/" against the end of the path ("intern/*.html").
class ExceptionList {
public:
    ExceptionList() = default;
    // The lines of the file; each may be UTF-8 or code page 1252.
    explicit ExceptionList(const StringList& lines);

    // A missing file is an empty list; an unreadable one raises the open error.
    static ExceptionList load(const std::string& path);

    bool empty() const { return addresses_.empty() && patterns_.empty(); }
    // address in UTF-8, as the audit gives it.
    bool coversAddress(std::string_view address) const;
    // path in UTF-8 (a local path or a server name).
    bool coversPath(std::string_view path) const;
    bool covers(const ReadableAddress& hit) const { return coversPath(hit.path) || coversAddress(hit.address); }

private:
    std::vector<std::string> addresses_;  // folded to lower case
    std::vector<std::string> patterns_;
};

// The audit's hits, split into those that count and those an exception accepts.
struct AuditSplit {
    std::vector<ReadableAddress> counted;
    std::vector<ReadableAddress> excepted;
};
AuditSplit splitByExceptions(std::vector<ReadableAddress> hits, const ExceptionList& exceptions);

// "Ausnahmen.qmk" in the working folder, and beside a given settings file.
inline constexpr const char* kExceptionsFileName = "Ausnahmen.qmk";
std::string exceptionsFilePath();
std::string exceptionsFileBeside(const std::string& settingsPath);

}  // namespace quill
