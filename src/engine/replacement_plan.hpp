#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/replacement_pass.hpp"
#include "html/char_reference.hpp"

namespace quill {

// The replacements of a run as few passes as exactness allows. The rule is
// sequential: for each found text in order, replace it everywhere (case-blind,
// left to right, without overlap), then "mailto:" by its encoded form. One
// pass gives the same bytes as long as no later pattern can meet text that an
// earlier step inserted (inside it, or across its edges). That is decided
// once, from the patterns and the inserted texts alone; wherever a found text
// (or "mailto:") could meet an earlier insertion, a new pass begins, which
// then sees that insertion as the sequential rule does.
//
// An occurrence in another letter case than its pattern is replaced by the
// encoding of its own bytes (encodeFound, or the references of "MAILTO:" and
// the like). Should such a text be one a later step could meet, the text is
// done step by step instead.
class ReplacementPlan {
public:
    // foundTexts are not empty; replacements[i] is what foundTexts[i] becomes.
    ReplacementPlan(const std::vector<std::string>& foundTexts, const std::vector<std::string>& replacements,
                    ReplacementPass::Encoder encodeFound = {}, ReferenceEnd end = ReferenceEnd::AsNeeded);

    // following: the byte after text when text is a piece of a page; places,
    // when given, grows by the number of places replaced.
    std::string apply(std::string_view text, int following = ReplacementPass::kNothingFollows,
                      std::size_t* places = nullptr) const;
    std::size_t passCount() const { return passes_.size(); }

private:
    std::string stepByStep(std::string_view text, int following, std::size_t* places) const;

    std::vector<ReplacementPass> passes_;
    std::vector<std::string> foundTexts_;
    std::vector<std::string> replacements_;
    ReplacementPass::Encoder encodeFound_;
    ReplacementPass::Encoder encodeMailto_;
    std::string encodedMailto_;
};

}  // namespace quill
