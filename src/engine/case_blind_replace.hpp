#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "html/page_charset.hpp"
#include "text/string_list.hpp"

namespace quill {

// Every occurrence of oldText, compared after the 1252 upper-case mapping, is
// replaced by newText: left to right, never overlapping, inserted text never
// searched again. An empty oldText changes nothing. When newText ends in a
// reference and a decimal digit follows it, the reference gets ";".
std::string replaceIgnoringCase(std::string_view text, std::string_view oldText, std::string_view newText);

// All replacements of one encoding run, applied to a file's bytes in memory:
// for each non-empty found text in order, the found text by its replacement
// text in the encoding of that file's page, then "mailto:" by the encoded
// mailto constant. The result is exactly
// what applying those replacements one after the other would give, found in
// one pass over the bytes unless a found text could meet an earlier
// replacement's text (see ReplacementPlan). An occurrence in another letter
// case becomes the encoding of its own bytes, not of the found spelling. No
// byte of a script, style or CDATA section is replaced (rawTextRanges).
class RunReplacements {
public:
    explicit RunReplacements(const StringList& foundTexts);
    ~RunReplacements();
    RunReplacements(const RunReplacements&) = delete;
    RunReplacements& operator=(const RunReplacements&) = delete;

    // No non-empty found text: a run touches no file.
    bool empty() const;
    // The page's encoding decides what a found text becomes; in an XML
    // document every reference ends in ";". A page in an encoding iconv
    // cannot read stays as it is.
    // places, when given, grows by the number of places replaced.
    std::string apply(std::string_view text, const PageEncoding& encoding, std::size_t* places = nullptr) const;
    // The encoding from the bytes alone.
    std::string apply(std::string_view text, std::size_t* places = nullptr) const;

private:
    struct Plans;
    std::unique_ptr<Plans> plans_;
};

}  // namespace quill
