#include "ftp/listing_parsers.hpp"

#include <array>
#include <cstdio>

namespace quill::ftp {

namespace {

bool isDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

unsigned toNumber(std::string_view digits) {
    unsigned value = 0;
    for (const char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
    return value;
}

std::optional<std::uint64_t> toSize(std::string_view digits) {
    if (!isDigits(digits) || digits.size() > 19) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return value;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = lower(c);
    return result;
}

std::string timestamp(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u%02u%02u00", year, month, day, hour, minute);
    return text;
}

// Blank-separated words of a line with where each one starts and ends.
struct Word {
    std::size_t begin;
    std::size_t end;
};

std::vector<Word> wordsOf(std::string_view line) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        const std::size_t begin = i;
        while (i < line.size() && line[i] != ' ') ++i;
        words.push_back({begin, i});
    }
    return words;
}

unsigned monthNumber(std::string_view word) {
    static constexpr std::array<const char*, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                            "jul", "aug", "sep", "oct", "nov", "dec"};
    if (word.size() != 3) return 0;
    const std::string name = lowered(word);
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (name == kMonths[i]) return static_cast<unsigned>(i + 1);
    }
    return 0;
}

// "HH:MM" with an hour below 24 and minutes below 60.
bool parseClock(std::string_view text, unsigned& hour, unsigned& minute) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3) return false;
    if (!isDigits(text.substr(0, colon)) || !isDigits(text.substr(colon + 1))) return false;
    hour = toNumber(text.substr(0, colon));
    minute = toNumber(text.substr(colon + 1));
    return hour < 24 && minute < 60;
}

bool isPermissionWord(std::string_view word) {
    if (word.size() < 10) return false;
    for (std::size_t i = 1; i < 10; ++i) {
        if (std::string_view("rwxsStTlL-").find(word[i]) == std::string_view::npos) return false;
    }
    // ACL or attribute markers some servers append.
    return word.size() == 10 || (word.size() == 11 && std::string_view("+@.").find(word[10]) != std::string_view::npos);
}

remote::RemoteEntry::Kind unixKind(char type) {
    switch (type) {
        case '-':
            return remote::RemoteEntry::Kind::File;
        case 'd':
            return remote::RemoteEntry::Kind::Folder;
        case 'l':
            return remote::RemoteEntry::Kind::Link;
        default:
            return remote::RemoteEntry::Kind::Other;
    }
}

}  // namespace

EListingUnreadable::EListingUnreadable(std::string_view line)
    : EFTPError(
          "Die Ordnerliste des Servers hat ein unbekanntes Format und kann nicht gelesen werden. "
          "Es wurde nichts geändert. Zeile: \"" +
          remote::shownName(line) + "\"") {}

std::optional<remote::RemoteEntry> parseMlsdLine(std::string_view line) {
    // Facts end with ";" and one blank; fact values hold neither blanks nor ";".
    std::size_t split = line.find("; ");
    std::string_view facts;
    if (!line.empty() && line.front() == ' ') {
        split = 0;
    } else if (split == std::string_view::npos) {
        return std::nullopt;
    } else {
        facts = line.substr(0, split + 1);
        ++split;
    }
    remote::RemoteEntry entry;
    entry.name = std::string(line.substr(split + 1));
    if (entry.name.empty()) return std::nullopt;

    std::optional<std::string> type;
    while (!facts.empty()) {
        const auto end = facts.find(';');
        const std::string_view fact = facts.substr(0, end);
        facts.remove_prefix(end == std::string_view::npos ? facts.size() : end + 1);
        const auto equals = fact.find('=');
        if (equals == std::string_view::npos || equals == 0) return std::nullopt;
        const std::string name = lowered(fact.substr(0, equals));
        const std::string_view value = fact.substr(equals + 1);
        if (name == "type") {
            type = lowered(value);
        } else if (name == "size") {
            entry.size = toSize(value);
        } else if (name == "modify" && value.size() >= 14 && isDigits(value.substr(0, 14))) {
            entry.modified = std::string(value.substr(0, 14));
        }
    }
    if (!type) return std::nullopt;
    if (*type == "file") {
        entry.kind = remote::RemoteEntry::Kind::File;
    } else if (*type == "dir") {
        entry.kind = remote::RemoteEntry::Kind::Folder;
    } else if (*type == "cdir" || *type == "pdir") {
        // The folder itself and its parent, under whatever name the server gives them.
        entry.name = *type == "cdir" ? "." : "..";
        entry.kind = remote::RemoteEntry::Kind::Folder;
    } else if (type->rfind("os.", 0) == 0 && type->find("link") != std::string::npos) {
        entry.kind = remote::RemoteEntry::Kind::Link;
    } else {
        entry.kind = remote::RemoteEntry::Kind::Other;
    }
    return entry;
}

std::optional<remote::RemoteEntry> parseUnixListLine(std::string_view line) {
    const std::vector<Word> words = wordsOf(line);
    if (words.size() < 5 || words[0].begin != 0) return std::nullopt;
    const std::string_view permissions = line.substr(0, words[0].end);
    if (!isPermissionWord(permissions)) return std::nullopt;
    // The date is the first "Mon DD HH:MM" or "Mon DD YYYY" after a size.
    for (std::size_t i = 2; i + 2 < words.size(); ++i) {
        const auto word = [&](std::size_t k) { return line.substr(words[k].begin, words[k].end - words[k].begin); };
        const unsigned month = monthNumber(word(i));
        if (month == 0 || !isDigits(word(i - 1))) continue;
        const std::string_view day = word(i + 1);
        if (!isDigits(day) || day.size() > 2 || toNumber(day) < 1 || toNumber(day) > 31) continue;
        unsigned hour = 0;
        unsigned minute = 0;
        const std::string_view timeOrYear = word(i + 2);
        const bool isClock = parseClock(timeOrYear, hour, minute);
        if (!isClock && !(timeOrYear.size() == 4 && isDigits(timeOrYear))) continue;
        // One blank after the time or year; the rest, blanks included, is the name.
        const std::size_t nameStart = words[i + 2].end + 1;
        if (nameStart >= line.size()) return std::nullopt;

        remote::RemoteEntry entry;
        entry.kind = unixKind(line[0]);
        entry.name = std::string(line.substr(nameStart));
        if (entry.kind == remote::RemoteEntry::Kind::Link) {
            const auto arrow = entry.name.find(" -> ");
            if (arrow != std::string::npos) entry.name.resize(arrow);
        }
        entry.size = toSize(word(i - 1));
        // Without a year the listing means the last twelve months; that year is not known here.
        if (!isClock) entry.modified = timestamp(toNumber(timeOrYear), month, toNumber(day), 0, 0);
        return entry;
    }
    return std::nullopt;
}

std::optional<remote::RemoteEntry> parseDosListLine(std::string_view line) {
    const std::vector<Word> words = wordsOf(line);
    if (words.size() < 4 || words[0].begin != 0) return std::nullopt;
    const auto word = [&](std::size_t k) { return line.substr(words[k].begin, words[k].end - words[k].begin); };

    // "MM-DD-YY", "MM-DD-YYYY" or "YYYY-MM-DD".
    const std::string_view date = word(0);
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    if ((date.size() == 8 || date.size() == 10) && date[2] == '-' && date[5] == '-' && isDigits(date.substr(0, 2)) &&
        isDigits(date.substr(3, 2)) && isDigits(date.substr(6))) {
        month = toNumber(date.substr(0, 2));
        day = toNumber(date.substr(3, 2));
        year = toNumber(date.substr(6));
        if (date.size() == 8) year += year < 70 ? 2000 : 1900;
    } else if (date.size() == 10 && date[4] == '-' && date[7] == '-' && isDigits(date.substr(0, 4)) &&
               isDigits(date.substr(5, 2)) && isDigits(date.substr(8))) {
        year = toNumber(date.substr(0, 4));
        month = toNumber(date.substr(5, 2));
        day = toNumber(date.substr(8));
    } else {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;

    // "HH:MM", "HH:MMAM" or "HH:MM PM".
    std::string_view clock = word(1);
    std::size_t next = 2;
    std::string half;
    if (clock.size() > 2) {
        const std::string tail = lowered(clock.substr(clock.size() - 2));
        if (tail == "am" || tail == "pm") {
            half = tail;
            clock.remove_suffix(2);
        }
    }
    if (half.empty() && (lowered(word(2)) == "am" || lowered(word(2)) == "pm")) {
        half = lowered(word(2));
        next = 3;
    }
    unsigned hour = 0;
    unsigned minute = 0;
    if (!parseClock(clock, hour, minute)) return std::nullopt;
    if (!half.empty()) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + (half == "pm" ? 12 : 0);
    }
    if (next + 1 >= words.size()) return std::nullopt;

    remote::RemoteEntry entry;
    const std::string_view sizeOrKind = word(next);
    if (lowered(sizeOrKind) == "<dir>") {
        entry.kind = remote::RemoteEntry::Kind::Folder;
    } else if (sizeOrKind.size() > 2 && sizeOrKind.front() == '<' && sizeOrKind.back() == '>') {
        entry.kind = remote::RemoteEntry::Kind::Link;  // <JUNCTION>, <SYMLINK>, <SYMLINKD>
    } else {
        std::string digits;
        for (const char c : sizeOrKind) {
            if (c != ',' && c != '.') digits += c;
        }
        entry.size = toSize(digits);
        if (!entry.size) return std::nullopt;
        entry.kind = remote::RemoteEntry::Kind::File;
    }
    entry.name = std::string(line.substr(words[next + 1].begin));
    if (entry.kind == remote::RemoteEntry::Kind::Link) {
        const auto target = entry.name.rfind(" [");
        if (target != std::string::npos && entry.name.back() == ']') entry.name.resize(target);
    }
    entry.modified = timestamp(year, month, day, hour, minute);
    return entry;
}

std::vector<remote::RemoteEntry> parseListing(std::string_view text, ListingFormat format) {
    // Lines end at LF (with an optional CR before it); a lone CR stays in
    // its line and makes the name unsafe.
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find_first_not_of(' ') == std::string_view::npos) continue;
        if (format == ListingFormat::List && line.rfind("total ", 0) == 0) continue;
        lines.push_back(line);
    }

    using Parser = std::optional<remote::RemoteEntry> (*)(std::string_view);
    std::vector<Parser> candidates;
    if (format == ListingFormat::Mlsd)
        candidates = {&parseMlsdLine};
    else
        candidates = {&parseUnixListLine, &parseDosListLine};

    std::optional<std::string_view> firstFailure;
    for (const Parser parse : candidates) {
        std::vector<remote::RemoteEntry> entries;
        bool complete = true;
        for (const std::string_view line : lines) {
            auto entry = parse(line);
            if (!entry) {
                if (!firstFailure) firstFailure = line;
                complete = false;
                break;
            }
            if (entry->name == "." || entry->name == "..") continue;
            entries.push_back(std::move(*entry));
        }
        if (!complete) continue;
        for (const auto& entry : entries) {
            if (!remote::isSafeListedName(entry.name)) throw remote::EUnsafeListedName(entry.name);
        }
        return entries;
    }
    throw EListingUnreadable(*firstFailure);
}

}  // namespace quill::ftp
