#include "runs/exception_list.hpp"

#include <algorithm>
#include <filesystem>

#include "files/file_io.hpp"
#include "files/string_list_file.hpp"
#include "runs/file_mask.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

std::string trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

}  // namespace

ExceptionList::ExceptionList(const StringList& lines) {
    for (const std::string& line : lines) {
        std::string entry = utf8OrCp1252ToUtf8(trimmed(std::string_view(line).substr(0, line.find('#'))));
        if (entry.empty()) continue;
        if (entry.find('@') != std::string::npos && entry.find('/') == std::string::npos)
            addresses_.push_back(std::move(entry));
        else
            patterns_.push_back(std::move(entry));
    }
}

ExceptionList ExceptionList::load(const std::string& path) {
    if (!files::fileExists(path)) return {};
    return ExceptionList(files::loadStringList(path));
}

bool ExceptionList::coversAddress(std::string_view address) const {
    return std::any_of(addresses_.begin(), addresses_.end(),
                       [&](const std::string& entry) { return wildcardMatches(address, entry); });
}

bool ExceptionList::coversPath(std::string_view path) const {
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::any_of(patterns_.begin(), patterns_.end(), [&](const std::string& pattern) {
        if (pattern.find('/') == std::string::npos) return maskMatches(name, pattern);
        // Anchored at a folder boundary unless the pattern is a whole path.
        return wildcardMatches(path, pattern) || wildcardMatches(path, "*/" + pattern);
    });
}

AuditSplit splitByExceptions(std::vector<ReadableAddress> hits, const ExceptionList& exceptions) {
    AuditSplit split;
    for (ReadableAddress& hit : hits)
        (exceptions.covers(hit) ? split.excepted : split.counted).push_back(std::move(hit));
    return split;
}

std::string exceptionsFilePath() {
    return files::inCurrentFolder(kExceptionsFileName);
}

std::string exceptionsFileBeside(const std::string& settingsPath) {
    return (std::filesystem::path(settingsPath).parent_path() / kExceptionsFileName).string();
}

}  // namespace quill
