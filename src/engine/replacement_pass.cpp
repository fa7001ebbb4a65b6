#include "engine/replacement_pass.hpp"

#include <algorithm>
#include <map>

namespace quill {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool endsInReference(std::string_view text) {
    std::size_t digits = 0;
    while (digits < text.size() && isDigit(text[text.size() - 1 - digits])) ++digits;
    return digits > 0 && text.substr(0, text.size() - digits).ends_with("&#");
}

ReplacementPass::ReplacementPass(const std::vector<std::string>& patterns, std::vector<std::string> replacements)
    : automaton_(patterns), replacements_(std::move(replacements)) {
    for (const auto& pattern : patterns) lengths_.push_back(pattern.size());
    for (const auto& replacement : replacements_) endsInReference_.push_back(endsInReference(replacement));
}

// Which occurrences the one-after-the-other replacements would take.
std::vector<ReplacementPass::Hit> ReplacementPass::winners(std::vector<Hit> hits) const {
    std::sort(hits.begin(), hits.end(),
              [](const Hit& a, const Hit& b) { return a.start != b.start ? a.start < b.start : a.pattern < b.pattern; });
    bool overlapping = false;
    for (std::size_t k = 1; k < hits.size() && !overlapping; ++k)
        overlapping = hits[k].start < hits[k - 1].start + lengths_[hits[k - 1].pattern];
    if (!overlapping) return hits;

    // Pattern by pattern, earlier first, each left to right: an occurrence
    // is taken unless it overlaps one taken before.
    std::stable_sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) { return a.pattern < b.pattern; });
    std::map<std::size_t, Hit> taken;
    for (const Hit& hit : hits) {
        const std::size_t end = hit.start + lengths_[hit.pattern];
        const auto after = taken.lower_bound(hit.start);
        if (after != taken.end() && after->first < end) continue;
        if (after != taken.begin()) {
            const Hit& before = std::prev(after)->second;
            if (before.start + lengths_[before.pattern] > hit.start) continue;
        }
        taken.emplace(hit.start, hit);
    }
    std::vector<Hit> result;
    result.reserve(taken.size());
    for (const auto& entry : taken) result.push_back(entry.second);
    return result;
}

// Whether the byte that followed the k-th inserted text when it was inserted
// is a digit: the start of a text inserted no later, or the text's own byte.
bool ReplacementPass::digitFollows(const std::vector<Hit>& taken, std::size_t k, std::string_view text) const {
    std::size_t end = taken[k].start + lengths_[taken[k].pattern];
    for (std::size_t next = k + 1; next < taken.size() && taken[next].start == end &&
                                   taken[next].pattern <= taken[k].pattern;
         ++next) {
        const std::string& inserted = replacements_[taken[next].pattern];
        if (!inserted.empty()) return isDigit(inserted.front());
        end += lengths_[taken[next].pattern];
    }
    return end < text.size() && isDigit(text[end]);
}

std::string ReplacementPass::apply(std::string_view text, std::size_t* places) const {
    std::vector<Hit> hits;
    CaseBlindAutomaton::State state = CaseBlindAutomaton::kRoot;
    for (std::size_t i = 0; i < text.size(); ++i) {
        state = automaton_.next(state, static_cast<unsigned char>(text[i]));
        if (automaton_.hasMatch(state))
            automaton_.forEachMatch(state, [&](std::uint32_t p) { hits.push_back(Hit{i + 1 - lengths_[p], p}); });
    }
    if (hits.empty()) return std::string(text);
    const std::vector<Hit> taken = winners(std::move(hits));
    if (places) *places += taken.size();

    std::size_t size = text.size();
    for (const Hit& hit : taken) size += replacements_[hit.pattern].size() + 1 - lengths_[hit.pattern];
    std::string result;
    result.reserve(size);
    std::size_t done = 0;
    for (std::size_t k = 0; k < taken.size(); ++k) {
        const Hit& hit = taken[k];
        result.append(text.substr(done, hit.start - done));
        result += replacements_[hit.pattern];
        if (endsInReference_[hit.pattern] && digitFollows(taken, k, text)) result += ';';
        done = hit.start + lengths_[hit.pattern];
    }
    result.append(text.substr(done));
    return result;
}

}  // namespace quill
