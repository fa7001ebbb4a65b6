#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// An Aho-Corasick automaton over texts compared after the 1252 upper-case
// mapping: one pass over a text finds every occurrence of every pattern,
// overlapping ones included. Transitions are a dense table over the bytes
// the patterns use, so a step is one lookup.
class CaseBlindAutomaton {
public:
    using State = std::uint32_t;
    static constexpr State kRoot = 0;
    static constexpr State kNone = UINT32_MAX;

    // Patterns may repeat (also in another letter case); none may be empty.
    explicit CaseBlindAutomaton(const std::vector<std::string>& patterns);

    State next(State state, unsigned char byte) const { return table_[state * classes_ + classOf_[byte]]; }
    State run(std::string_view text, State state = kRoot) const {
        for (unsigned char c : text) state = next(state, c);
        return state;
    }

    // The node of the longest proper suffix that is also a pattern prefix.
    State failure(State state) const { return nodes_[state].failure; }
    std::size_t depth(State state) const { return nodes_[state].depth; }
    State parent(State state) const { return nodes_[state].parent; }
    // The node a whole pattern leads to.
    State patternNode(std::size_t pattern) const { return patternNodes_[pattern]; }
    std::size_t stateCount() const { return nodes_.size(); }

    // Calls found(pattern) for every pattern that ends where state was reached.
    template <class Found>
    void forEachMatch(State state, Found found) const {
        for (State s = nodes_[state].matchLink; s != kNone; s = nodes_[nodes_[s].failure].matchLink)
            for (std::uint32_t p = nodes_[s].firstPattern; p != kNone; p = nextAtSameNode_[p]) found(p);
    }
    bool hasMatch(State state) const { return nodes_[state].matchLink != kNone; }

private:
    struct Node {
        State failure = kRoot;
        State parent = kRoot;
        State matchLink = kNone;  // this node or the nearest on its failure chain that ends a pattern
        std::uint32_t firstPattern = kNone;
        std::uint32_t lastPattern = kNone;  // where the next pattern ending here is linked
        std::uint32_t depth = 0;
    };
    std::uint8_t classOf_[256] = {};
    std::size_t classes_ = 1;
    std::vector<State> table_;
    std::vector<Node> nodes_;
    std::vector<State> patternNodes_;
    std::vector<std::uint32_t> nextAtSameNode_;
};

}  // namespace quill
