#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/replacement_pass.hpp"

namespace quill {

// The replacements of a run as few passes as exactness allows. The rule is
// sequential: for each found text in order, replace it everywhere (case-blind,
// left to right, without overlap), then "mailto:" by its encoded form. One
// pass gives the same bytes as long as no later pattern can meet text that an
// earlier step inserted (inside it, or across its edges). That is decided
// once, from the patterns and the inserted texts alone; wherever a found text
// (or "mailto:") could meet an earlier insertion, a new pass begins, which
// then sees that insertion as the sequential rule does.
class ReplacementPlan {
public:
    // foundTexts are not empty; replacements[i] is what foundTexts[i] becomes.
    ReplacementPlan(const std::vector<std::string>& foundTexts, const std::vector<std::string>& replacements);

    // places, when given, grows by the number of places replaced.
    std::string apply(std::string_view text, std::size_t* places = nullptr) const;
    std::size_t passCount() const { return passes_.size(); }

private:
    std::vector<ReplacementPass> passes_;
};

}  // namespace quill
