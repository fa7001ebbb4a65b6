#include "settings/ini_file.hpp"

#include <optional>

#include "files/file_io.hpp"
#include "settings/line_spans.hpp"
#include "text/cp1252.hpp"
#include "text/string_list.hpp"

namespace quill {

namespace {

constexpr std::size_t kMaxValueLength = 2047;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && toUpper1252(a) == toUpper1252(b);
}

// The name of a "[section]" line, or nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trimBlanks(line.substr(1, close - 1));
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> keyName(std::string_view line) {
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return trimBlanks(line.substr(0, equals));
}

std::optional<std::string> readFileIfThere(const std::string& path) {
    if (!files::fileExists(path)) return std::nullopt;
    try {
        return files::readWholeFile(path);
    } catch (const QuillError&) {
        return std::nullopt;
    }
}

SettingsWriteError writeError(const std::string& path) {
    return SettingsWriteError("In " + path + " kann nicht geschrieben werden");
}

// Where a key's line is, or where a new key of the section goes.
struct KeyPlace {
    bool sectionFound = false;
    std::optional<std::size_t> keyLine;
    std::size_t insertAt = 0;
};

KeyPlace findKey(const StringList& lines, std::string_view section, std::string_view key) {
    KeyPlace place;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i])) {
            if (place.sectionFound && inSection) break;
            inSection = !place.sectionFound && sameName(*name, section);
            if (inSection) {
                place.sectionFound = true;
                place.insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        if (auto name = keyName(lines[i])) {
            if (sameName(*name, key)) {
                place.keyLine = i;
                return place;
            }
            place.insertAt = i + 1;
        }
    }
    return place;
}

// Sets one key in the file's bytes. Only the readable part (up to a NUL
// byte) is looked at; every byte but the changed line's stays as it was, the
// part behind a NUL byte too.
void setKey(std::string& bytes, std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view readable = readablePart(bytes);
    const std::vector<LineSpan> spans = lineSpans(readable);
    StringList lines;
    for (const auto& span : spans) lines.emplace_back(readable.substr(span.begin, span.end - span.begin));

    const std::string entry = std::string(key) + "=" + std::string(value);
    const KeyPlace place = findKey(lines, section, key);
    if (place.keyLine) {
        const LineSpan& line = spans[*place.keyLine];
        bytes.replace(line.begin, line.end - line.begin, entry);
    } else if (place.sectionFound && place.insertAt < spans.size()) {
        bytes.insert(spans[place.insertAt].begin, entry + "\r\n");
    } else {
        const std::string added = place.sectionFound ? entry : "[" + std::string(section) + "]\r\n" + entry;
        bytes.insert(readable.size(), appendedLine(readable, added));
    }
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    std::string_view fallback = defaultValue;
    while (!fallback.empty() && isBlank(fallback.back())) fallback.remove_suffix(1);
    const std::string fallbackValue(fallback.substr(0, kMaxValueLength));

    const auto content = readFileIfThere(path_);
    if (!content) return fallbackValue;
    const StringList lines = splitLines(*content);
    const KeyPlace place = findKey(lines, section, key);
    if (!place.keyLine) return fallbackValue;
    const std::string& line = lines[*place.keyLine];
    return profileValue(std::string_view(line).substr(line.find('=') + 1));
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    writeStrings(section, {{std::string(key), std::string(value)}});
}

void IniFile::writeStrings(std::string_view section, const std::vector<KeyValue>& entries) {
    std::string bytes;
    if (files::fileExists(path_)) {
        // A file that is there but cannot be read must not be rewritten with
        // these keys, which would drop every other setting; nor may a UTF-16
        // file be written byte-wise.
        try {
            bytes = files::readWholeFile(path_);
        } catch (const QuillError&) {
            throw writeError(path_);
        }
        if (looksLikeUtf16(bytes)) throw writeError(path_);
    }
    for (const auto& [key, value] : entries) setKey(bytes, section, key, value);

    try {
        files::replaceFileContents(path_, bytes, 0600, files::LockedFolder::WriteInPlace);
    } catch (const QuillError&) {
        throw writeError(path_);
    }
}

std::string profileValue(std::string_view raw) {
    raw = trimBlanks(raw);
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front()) {
        raw = raw.substr(1, raw.size() - 2);
    }
    return std::string(raw.substr(0, kMaxValueLength));
}

}  // namespace quill
