#include "engine/case_blind_automaton.hpp"

#include <deque>

#include "text/cp1252.hpp"

namespace quill {

CaseBlindAutomaton::CaseBlindAutomaton(const std::vector<std::string>& patterns) {
    // Class 0 stands for every byte that no pattern holds.
    std::uint8_t upperClass[256] = {};
    for (const auto& pattern : patterns)
        for (unsigned char c : pattern) {
            const unsigned char upper = toUpper1252(c);
            if (upperClass[upper] == 0) upperClass[upper] = static_cast<std::uint8_t>(classes_++);
        }
    for (int b = 0; b < 256; ++b) classOf_[b] = upperClass[toUpper1252(static_cast<unsigned char>(b))];

    nodes_.emplace_back();
    table_.assign(classes_, kRoot);
    nextAtSameNode_.assign(patterns.size(), kNone);
    for (std::size_t p = 0; p < patterns.size(); ++p) {
        State state = kRoot;
        for (unsigned char c : patterns[p]) {
            State& child = table_[state * classes_ + classOf_[c]];
            if (child == kRoot) {
                child = static_cast<State>(nodes_.size());
                Node node;
                node.parent = state;
                node.depth = nodes_[state].depth + 1;
                nodes_.push_back(node);
                table_.resize(nodes_.size() * classes_, kRoot);
            }
            state = table_[state * classes_ + classOf_[c]];
        }
        // Kept in list order at each node, appended at its end: many equal
        // patterns must not cost a walk along all the others each.
        Node& node = nodes_[state];
        (node.lastPattern == kNone ? node.firstPattern : nextAtSameNode_[node.lastPattern]) =
            static_cast<std::uint32_t>(p);
        node.lastPattern = static_cast<std::uint32_t>(p);
        patternNodes_.push_back(state);
    }

    // Breadth first, so a node's failure is final before its children need it.
    std::deque<State> queue;
    nodes_[kRoot].matchLink = kNone;
    for (std::size_t c = 0; c < classes_; ++c)
        if (const State child = table_[c]; child != kRoot) queue.push_back(child);
    while (!queue.empty()) {
        const State state = queue.front();
        queue.pop_front();
        Node& node = nodes_[state];
        node.matchLink = node.firstPattern != kNone ? state : nodes_[node.failure].matchLink;
        for (std::size_t c = 0; c < classes_; ++c) {
            State& entry = table_[state * classes_ + c];
            const State viaFailure = table_[node.failure * classes_ + c];
            if (entry != kRoot && nodes_[entry].parent == state && nodes_[entry].depth == node.depth + 1) {
                nodes_[entry].failure = viaFailure;
                queue.push_back(entry);
            } else {
                entry = viaFailure;
            }
        }
    }
}

}  // namespace quill
