#include "engine/case_blind_replace.hpp"

#include <optional>

#include "engine/found_text_replacement.hpp"
#include "html/page_charset.hpp"
#include "engine/replacement_pass.hpp"
#include "engine/replacement_plan.hpp"

namespace quill {

std::string replaceIgnoringCase(std::string_view text, std::string_view oldText, std::string_view newText) {
    if (oldText.empty()) return std::string(text);
    return ReplacementPass({std::string(oldText)}, {std::string(newText)}).apply(text);
}

struct RunReplacements::Plans {
    std::vector<std::string> foundTexts;
    // One per page encoding, built at the first file that needs it.
    mutable std::optional<ReplacementPlan> inCp1252;
    mutable std::optional<ReplacementPlan> inUtf8;

    const ReplacementPlan& get(PageCharset charset) const {
        std::optional<ReplacementPlan>& plan = charset == PageCharset::Utf8 ? inUtf8 : inCp1252;
        if (!plan) {
            std::vector<std::string> replacements;
            replacements.reserve(foundTexts.size());
            for (const auto& found : foundTexts) replacements.push_back(replacementForFoundText(found, charset));
            plan.emplace(foundTexts, replacements);
        }
        return *plan;
    }
};

RunReplacements::RunReplacements(const StringList& foundTexts) : plans_(std::make_unique<Plans>()) {
    for (const auto& found : foundTexts)
        if (!found.empty()) plans_->foundTexts.push_back(found);
}

RunReplacements::~RunReplacements() = default;

bool RunReplacements::empty() const { return plans_->foundTexts.empty(); }

std::string RunReplacements::apply(std::string_view text, std::size_t* places) const {
    if (empty()) return std::string(text);
    // A found text becomes what it is in the page's own encoding.
    return plans_->get(detectPageCharset(text)).apply(text, places);
}

}  // namespace quill
