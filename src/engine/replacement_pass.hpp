#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/case_blind_automaton.hpp"
#include "html/char_reference.hpp"

namespace quill {

// Several case-blind replacements made in one pass over a text, with the
// result of making them one after the other, earlier ones first, provided
// that no pattern can meet text that an earlier one inserts (ReplacementPlan
// sees to that): each pattern takes its occurrences left to right without
// overlap, and where occurrences of two patterns overlap the earlier one wins.
//
// An inserted text that ends in a reference ("&#" and digits) and is followed
// by a decimal digit or ";" gets ";", so that the reference can neither
// swallow the digit nor take the ";" as its own end.
class ReplacementPass {
public:
    // What an occurrence becomes, made from its own bytes.
    using Encoder = std::function<std::string(std::string_view occurrence)>;
    // Told by the caller when the text is a piece of a larger one: the byte
    // that follows the piece, or none.
    static constexpr int kNothingFollows = -1;

    // patterns[i] (not empty) is replaced by replacements[i]. With encoders,
    // an occurrence spelt otherwise than patterns[i] (in another letter case)
    // becomes encoders[i](its own bytes), which must not be able to meet a
    // pattern whose step comes after pattern i's: every pattern placed after
    // it, and afterEach, a pattern whose step follows each other one's.
    // (Named by their order rather than listed, so a pass of n patterns
    // takes no n * n room.)
    ReplacementPass(const std::vector<std::string>& patterns, std::vector<std::string> replacements,
                    std::vector<Encoder> encoders = {}, std::optional<std::uint32_t> afterEach = std::nullopt);

    // Nothing when an occurrence in another letter case inserts a text that a
    // later step's pattern could meet: the steps must then be made one by one.
    // places, when given, grows by the number of places replaced.
    std::optional<std::string> apply(std::string_view text, int following = kNothingFollows,
                                     std::size_t* places = nullptr) const;

private:
    struct Hit {
        std::size_t start;
        std::uint32_t pattern;
    };
    struct Inserted {
        const std::string* text;
        bool endsInReference;
    };
    std::vector<Hit> winners(std::vector<Hit> hits) const;
    bool continuationFollows(const std::vector<Hit>& taken, const std::vector<Inserted>& inserted, std::size_t k,
                             std::string_view text, int following) const;
    bool laterStepCanMeet(std::uint32_t pattern, const std::string& inserted) const;

    CaseBlindAutomaton automaton_;
    std::vector<std::string> patterns_;
    std::vector<std::size_t> lengths_;
    std::vector<std::string> replacements_;
    std::vector<bool> endsInReference_;
    std::vector<Encoder> encoders_;
    std::optional<std::uint32_t> afterEach_;
};

// Whether pattern, placed anywhere, can share a byte with text (compared
// after the 1252 upper-case mapping): inside it, around it or across an edge.
bool canMeet(std::string_view pattern, std::string_view text);

}  // namespace quill
