#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/case_blind_automaton.hpp"

namespace quill {

// Several case-blind replacements made in one pass over a text, with the
// result of making them one after the other, earlier ones first, provided
// that no pattern can meet text that an earlier one inserts (ReplacementPlan
// sees to that): each pattern takes its occurrences left to right without
// overlap, and where occurrences of two patterns overlap the earlier one wins.
//
// An inserted text that ends in a reference ("&#" and digits) and is followed
// by a decimal digit gets ";", so that the reference cannot swallow the digit.
class ReplacementPass {
public:
    // patterns[i] (not empty) is replaced by replacements[i].
    ReplacementPass(const std::vector<std::string>& patterns, std::vector<std::string> replacements);

    // places, when given, grows by the number of places replaced.
    std::string apply(std::string_view text, std::size_t* places = nullptr) const;

private:
    struct Hit {
        std::size_t start;
        std::uint32_t pattern;
    };
    std::vector<Hit> winners(std::vector<Hit> hits) const;
    bool digitFollows(const std::vector<Hit>& taken, std::size_t k, std::string_view text) const;

    CaseBlindAutomaton automaton_;
    std::vector<std::size_t> lengths_;
    std::vector<std::string> replacements_;
    std::vector<bool> endsInReference_;
};

// True when text ends in "&#" and at least one decimal digit.
bool endsInReference(std::string_view text);

}  // namespace quill
