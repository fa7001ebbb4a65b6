#include "encoding/case_blind_replace.hpp"

#include <cstring>

#include "encoding/char_reference.hpp"
#include "encoding/found_text_replacement.hpp"
#include "encoding/page_charset.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

// One pattern, upper-cased once; texts are searched in their upper-case form.
class CaseBlindPattern {
public:
    explicit CaseBlindPattern(std::string_view pattern) : upper_(toUpper1252(pattern)) {}
    CaseBlindPattern(const CaseBlindPattern&) = delete;
    CaseBlindPattern& operator=(const CaseBlindPattern&) = delete;

    // Replaces in text, whose upper-case form is upper, and keeps upper in
    // step. False (and nothing touched) when there is no occurrence.
    bool replaceIn(std::string& text, std::string& upper, std::string_view newText, std::string_view newUpper) const {
        std::size_t at = find(upper, 0);
        if (at == std::string::npos) return false;
        std::string result;
        std::string resultUpper;
        result.reserve(text.size() + newText.size());
        resultUpper.reserve(text.size() + newText.size());
        std::size_t done = 0;
        while (at != std::string::npos) {
            result.append(text, done, at - done);
            resultUpper.append(upper, done, at - done);
            result += newText;
            resultUpper += newUpper;
            done = at + upper_.size();
            at = find(upper, done);
        }
        result.append(text, done);
        resultUpper.append(upper, done);
        text.swap(result);
        upper.swap(resultUpper);
        return true;
    }

private:
    std::size_t find(const std::string& upper, std::size_t from) const {
        if (from > upper.size()) return std::string::npos;
        const void* hit = ::memmem(upper.data() + from, upper.size() - from, upper_.data(), upper_.size());
        return hit == nullptr ? std::string::npos : static_cast<std::size_t>(static_cast<const char*>(hit) - upper.data());
    }

    const std::string upper_;
};

}  // namespace

std::string replaceIgnoringCase(std::string_view text, std::string_view oldText, std::string_view newText) {
    std::string result(text);
    if (oldText.empty()) return result;
    std::string upper = toUpper1252(result);
    CaseBlindPattern(oldText).replaceIn(result, upper, newText, toUpper1252(newText));
    return result;
}

namespace {

struct Replacement {
    explicit Replacement(std::string replacementText)
        : text(std::move(replacementText)), upper(toUpper1252(text)) {}
    std::string text;
    std::string upper;
};

}  // namespace

// A found text is replaced by what it becomes in the page's own encoding.
struct RunReplacements::Step {
    explicit Step(std::string_view found)
        : pattern(found),
          inCp1252(replacementForFoundText(found, PageCharset::Windows1252)),
          inUtf8(replacementForFoundText(found, PageCharset::Utf8)) {}
    const Replacement& in(PageCharset charset) const { return charset == PageCharset::Utf8 ? inUtf8 : inCp1252; }
    CaseBlindPattern pattern;
    Replacement inCp1252;
    Replacement inUtf8;
};

RunReplacements::RunReplacements(const StringList& foundTexts) {
    for (const auto& found : foundTexts)
        if (!found.empty()) steps_.push_back(std::make_unique<Step>(found));
}

RunReplacements::~RunReplacements() = default;

bool RunReplacements::empty() const { return steps_.empty(); }

std::string RunReplacements::apply(std::string_view text) const {
    static const CaseBlindPattern mailto("mailto:");
    const PageCharset charset = detectPageCharset(text);
    std::string result(text);
    std::string upper = toUpper1252(result);
    // After one "mailto:" pass none is left: its replacement holds no letter
    // and the word cannot overlap itself. So a pass only needs repeating
    // after a found text was actually replaced.
    bool mailtoLeft = true;
    for (const auto& step : steps_) {
        const Replacement& replacement = step->in(charset);
        if (step->pattern.replaceIn(result, upper, replacement.text, replacement.upper)) mailtoLeft = true;
        if (mailtoLeft) {
            mailto.replaceIn(result, upper, kEncodedMailto, kEncodedMailto);
            mailtoLeft = false;
        }
    }
    return result;
}

}  // namespace quill
