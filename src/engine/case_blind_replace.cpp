#include "engine/case_blind_replace.hpp"

#include <map>
#include <optional>

#include "engine/found_text_replacement.hpp"
#include "engine/replacement_pass.hpp"
#include "engine/replacement_plan.hpp"
#include "html/html_regions.hpp"
#include "html/page_decoder.hpp"

namespace quill {

std::string replaceIgnoringCase(std::string_view text, std::string_view oldText, std::string_view newText) {
    if (oldText.empty()) return std::string(text);
    return *ReplacementPass({std::string(oldText)}, {std::string(newText)}).apply(text);
}

struct RunReplacements::Plans {
    std::vector<std::string> foundTexts;
    struct ForEncoding {
        std::unique_ptr<PageDecoder> decoder;
        std::optional<ReplacementPlan> plan;
    };
    // One per page encoding (and XML or not), built at the first file that
    // needs it.
    mutable std::map<PageEncoding, ForEncoding> plans;

    const ReplacementPlan& get(const PageEncoding& encoding) const {
        auto [entry, isNew] = plans.try_emplace(encoding);
        ForEncoding& forEncoding = entry->second;
        if (isNew) {
            forEncoding.decoder = std::make_unique<PageDecoder>(encoding);
            const PageDecoder* decoder = forEncoding.decoder.get();
            const ReferenceEnd end = encoding.xml ? ReferenceEnd::Always : ReferenceEnd::AsNeeded;
            std::vector<std::string> replacements;
            replacements.reserve(foundTexts.size());
            for (const auto& found : foundTexts) replacements.push_back(replacementForFoundText(found, *decoder, end));
            // An occurrence in another letter case keeps its own characters.
            auto encode = [decoder, end](std::string_view occurrence) {
                return replacementForFoundText(occurrence, *decoder, end);
            };
            forEncoding.plan.emplace(foundTexts, replacements, encode, end);
        }
        return *forEncoding.plan;
    }
};

RunReplacements::RunReplacements(const StringList& foundTexts) : plans_(std::make_unique<Plans>()) {
    for (const auto& found : foundTexts)
        if (!found.empty()) plans_->foundTexts.push_back(found);
}

RunReplacements::~RunReplacements() = default;

bool RunReplacements::empty() const {
    return plans_->foundTexts.empty();
}

std::string RunReplacements::apply(std::string_view text, std::size_t* places) const {
    return apply(text, detectPageEncoding(text), places);
}

std::string RunReplacements::apply(std::string_view text, const PageEncoding& encoding, std::size_t* places) const {
    if (empty() || !PageDecoder(encoding).readable()) return std::string(text);
    // A found text becomes what it is in the page's own encoding.
    const ReplacementPlan& plan = plans_->get(encoding);
    // Scripts, styles and CDATA sections stay as they are, byte for byte:
    // the stretches between them are rewritten one by one.
    const std::vector<ByteRange> kept = rawTextRanges(text);
    if (kept.empty()) return plan.apply(text, ReplacementPass::kNothingFollows, places);
    std::string result;
    result.reserve(text.size() + text.size() / 8);
    std::size_t done = 0;
    for (const ByteRange& range : kept) {
        result +=
            plan.apply(text.substr(done, range.begin - done), static_cast<unsigned char>(text[range.begin]), places);
        result.append(text.substr(range.begin, range.end - range.begin));
        done = range.end;
    }
    result += plan.apply(text.substr(done), ReplacementPass::kNothingFollows, places);
    return result;
}

}  // namespace quill
