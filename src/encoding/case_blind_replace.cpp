#include "encoding/case_blind_replace.hpp"

#include <functional>

#include "encoding/char_reference.hpp"
#include "encoding/found_text_replacement.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

using Searcher = std::boyer_moore_horspool_searcher<std::string::const_iterator>;

// One pattern, upper-cased once, with its search table.
class CaseBlindPattern {
public:
    explicit CaseBlindPattern(std::string_view pattern)
        : upper_(toUpper1252(pattern)), searcher_(upper_.cbegin(), upper_.cend()) {}
    CaseBlindPattern(const CaseBlindPattern&) = delete;
    CaseBlindPattern& operator=(const CaseBlindPattern&) = delete;

    // Replaces in text, whose upper-case form is upper, and keeps upper in
    // step. False (and nothing touched) when there is no occurrence.
    bool replaceIn(std::string& text, std::string& upper, std::string_view newText) const {
        auto found = searcher_(upper.cbegin(), upper.cend()).first;
        if (found == upper.cend()) return false;
        std::string result;
        result.reserve(text.size() + newText.size());
        std::size_t done = 0;
        while (found != upper.cend()) {
            const auto at = static_cast<std::size_t>(found - upper.cbegin());
            result.append(text, done, at - done);
            result += newText;
            done = at + upper_.size();
            found = searcher_(upper.cbegin() + static_cast<std::ptrdiff_t>(done), upper.cend()).first;
        }
        result.append(text, done);
        text.swap(result);
        upper = toUpper1252(text);
        return true;
    }

private:
    const std::string upper_;
    const Searcher searcher_;
};

}  // namespace

std::string replaceIgnoringCase(std::string_view text, std::string_view oldText, std::string_view newText) {
    std::string result(text);
    if (oldText.empty()) return result;
    std::string upper = toUpper1252(result);
    CaseBlindPattern(oldText).replaceIn(result, upper, newText);
    return result;
}

struct RunReplacements::Step {
    Step(std::string_view found, std::string replacementText) : pattern(found), replacement(std::move(replacementText)) {}
    CaseBlindPattern pattern;
    std::string replacement;
};

RunReplacements::RunReplacements(const StringList& foundTexts) {
    for (const auto& found : foundTexts)
        if (!found.empty()) steps_.push_back(std::make_unique<Step>(found, replacementForFoundText(found)));
}

RunReplacements::~RunReplacements() = default;

bool RunReplacements::empty() const { return steps_.empty(); }

std::string RunReplacements::apply(std::string_view text) const {
    static const CaseBlindPattern mailto("mailto:");
    std::string result(text);
    std::string upper = toUpper1252(result);
    // After one "mailto:" pass none is left: its replacement holds no letter
    // and the word cannot overlap itself. So a pass only needs repeating
    // after a found text was actually replaced.
    bool mailtoLeft = true;
    for (const auto& step : steps_) {
        if (step->pattern.replaceIn(result, upper, step->replacement)) mailtoLeft = true;
        if (mailtoLeft) {
            mailto.replaceIn(result, upper, kEncodedMailto);
            mailtoLeft = false;
        }
    }
    return result;
}

}  // namespace quill
