#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// What one key looks for: the text between the end of the open tag and the
// start of the close tag.
struct TParserInfo {
    std::string OpenTag;
    std::string CloseTag;
};

// One occurrence of an open tag. Positions count bytes from 1; TextTo (and
// the close tag's position in EndPos) is 0 when no close tag follows.
struct TTagInfo {
    std::int32_t OpenPos = 0;
    std::int32_t EndPos = 0;
    std::int32_t TextFrom = 0;
    std::int32_t TextTo = 0;
    std::int32_t KeyIndex = 0;
};

using TTagInfoList = std::vector<TTagInfo>;

// Position (from 1) of the first occurrence of pattern in text at or after
// start; 0 when there is none, pattern or text is empty, or start < 1.
std::int32_t FindFrom(std::string_view pattern, std::string_view text, std::int32_t start);

// Finds the text behind every occurrence of each key's open tag up to the
// next close tag, and delivers the hits in text order through OnKeyFound.
class THTMLParser {
public:
    using TKeyFoundEvent = std::function<void(THTMLParser& Sender, const std::string& Key, const std::string& Results,
                                              const std::string& OriginalLine)>;

    THTMLParser() = default;
    THTMLParser(const THTMLParser&) = delete;
    THTMLParser& operator=(const THTMLParser&) = delete;

    void ClearKeys();
    // Appends a key; nothing is checked, names and tags may repeat or be empty.
    void AddKey(const std::string& name, const std::string& openTag, const std::string& closeTag);

    const std::string& FileName() const { return fileName_; }
    // A path that differs from the stored one (bytes compared exactly) is
    // stored and scanned at once; an equal one changes nothing.
    void setFileName(const std::string& path);

    // Scans the file FileName names; a missing file delivers nothing. A file
    // that cannot be opened raises "Datei %s kann nicht geöffnet werden. %s".
    // The file is read as a string list (CR LF, lone CR, lone LF; a NUL byte
    // ends it) and scanned as its lines joined with CR LF.
    void ParseFile();
    void ParseText(std::string_view text);

    // The hits of the last scan, sorted by OpenPos.
    const TTagInfoList& Tags() const { return tags_; }
    std::size_t KeyCount() const { return keys_.size(); }

    // Unassigned at creation; scans then still compute their hits.
    TKeyFoundEvent OnKeyFound;
    // When set, a hit whose text begins inside a script, style or another
    // raw-text region, or a CDATA section, is no hit: what stands there is
    // program text, not a link (off at creation).
    bool SkipRawText = false;

private:
    struct Key {
        std::string name;
        TParserInfo info;
    };
    void parse(const std::string text);

    std::vector<Key> keys_;
    std::string fileName_;
    TTagInfoList tags_;
};

}  // namespace quill
