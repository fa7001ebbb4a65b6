#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::cli {

// Builds one JSON text. Strings are taken as UTF-8; a byte that is not part
// of a valid sequence is written as U+FFFD, so the output always parses.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& string(std::string_view utf8);
    JsonWriter& number(long long value);
    JsonWriter& boolean(bool value);

    const std::string& text() const { return text_; }

private:
    void beforeValue();
    std::string text_;
    // Per open container: whether a member was written yet.
    std::vector<bool> hasMembers_;
    bool afterKey_ = false;
};

// Bytes as readable text: valid UTF-8 stays, anything else is taken as code page 1252.
std::string displayText(std::string_view bytes);

bool isValidUtf8(std::string_view bytes);

// A file name as one line of text: valid UTF-8 stays, every other byte and
// every control character (a line break too) becomes "\xE4" and the like.
std::string shownName(std::string_view bytes);

}  // namespace quill::cli
