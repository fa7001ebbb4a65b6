#include "engine/replacement_pass.hpp"

#include <algorithm>
#include <map>

#include "text/cp1252.hpp"

namespace quill {

namespace {
bool continuesReferenceByte(int c) {
    return c == ';' || (c >= '0' && c <= '9');
}
}  // namespace

bool canMeet(std::string_view pattern, std::string_view text) {
    const auto p = static_cast<long>(pattern.size());
    const auto t = static_cast<long>(text.size());
    for (long offset = 1 - p; offset < t; ++offset) {
        bool same = true;
        for (long i = std::max(0L, -offset); same && i < p && offset + i < t; ++i)
            same = toUpper1252(static_cast<unsigned char>(pattern[static_cast<std::size_t>(i)])) ==
                   toUpper1252(static_cast<unsigned char>(text[static_cast<std::size_t>(offset + i)]));
        if (same) return true;
    }
    return false;
}

ReplacementPass::ReplacementPass(const std::vector<std::string>& patterns, std::vector<std::string> replacements,
                                 std::vector<Encoder> encoders, std::optional<std::uint32_t> afterEach)
    : automaton_(patterns),
      patterns_(patterns),
      replacements_(std::move(replacements)),
      encoders_(std::move(encoders)),
      afterEach_(afterEach) {
    for (const auto& pattern : patterns) lengths_.push_back(pattern.size());
    for (const auto& replacement : replacements_) endsInReference_.push_back(endsInReference(replacement));
}

// Which occurrences the one-after-the-other replacements would take.
std::vector<ReplacementPass::Hit> ReplacementPass::winners(std::vector<Hit> hits) const {
    std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
        return a.start != b.start ? a.start < b.start : a.pattern < b.pattern;
    });
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
// is a digit or ";": the start of a text inserted no later, or the text's own
// byte (past its end, the byte the caller names).
bool ReplacementPass::continuationFollows(const std::vector<Hit>& taken, const std::vector<Inserted>& inserted,
                                          std::size_t k, std::string_view text, int following) const {
    std::size_t end = taken[k].start + lengths_[taken[k].pattern];
    for (std::size_t next = k + 1;
         next < taken.size() && taken[next].start == end && taken[next].pattern <= taken[k].pattern; ++next) {
        const std::string& insertedText = *inserted[next].text;
        if (!insertedText.empty()) return continuesReferenceByte(static_cast<unsigned char>(insertedText.front()));
        end += lengths_[taken[next].pattern];
    }
    return continuesReferenceByte(end < text.size() ? static_cast<unsigned char>(text[end]) : following);
}

bool ReplacementPass::laterStepCanMeet(std::uint32_t pattern, const std::string& inserted) const {
    const bool closable = endsInReference(inserted);
    const auto meets = [&](std::uint32_t later) {
        return canMeet(patterns_[later], inserted) || (closable && canMeet(patterns_[later], inserted + ";"));
    };
    for (auto later = static_cast<std::uint32_t>(pattern + 1); later < patterns_.size(); ++later)
        if (later != afterEach_ && meets(later)) return true;
    return afterEach_ && *afterEach_ != pattern && meets(*afterEach_);
}

std::optional<std::string> ReplacementPass::apply(std::string_view text, int following, std::size_t* places) const {
    std::vector<Hit> hits;
    CaseBlindAutomaton::State state = CaseBlindAutomaton::kRoot;
    for (std::size_t i = 0; i < text.size(); ++i) {
        state = automaton_.next(state, static_cast<unsigned char>(text[i]));
        if (automaton_.hasMatch(state))
            automaton_.forEachMatch(state, [&](std::uint32_t p) { hits.push_back(Hit{i + 1 - lengths_[p], p}); });
    }
    if (hits.empty()) return std::string(text);
    const std::vector<Hit> taken = winners(std::move(hits));

    // Each occurrence becomes what its own bytes encode to; those spelt as
    // their pattern share the pattern's text.
    std::vector<Inserted> inserted;
    inserted.reserve(taken.size());
    std::map<std::pair<std::uint32_t, std::string_view>, std::string> variants;
    for (const Hit& hit : taken) {
        const std::string_view occurrence = text.substr(hit.start, lengths_[hit.pattern]);
        if (encoders_.empty() || occurrence == patterns_[hit.pattern]) {
            inserted.push_back({&replacements_[hit.pattern], endsInReference_[hit.pattern]});
            continue;
        }
        auto [variant, isNew] = variants.try_emplace({hit.pattern, occurrence});
        if (isNew) {
            variant->second = encoders_[hit.pattern](occurrence);
            if (variant->second != replacements_[hit.pattern] && laterStepCanMeet(hit.pattern, variant->second))
                return std::nullopt;
        }
        inserted.push_back({&variant->second, endsInReference(variant->second)});
    }
    if (places) *places += taken.size();

    std::size_t size = text.size();
    for (std::size_t k = 0; k < taken.size(); ++k) size += inserted[k].text->size() + 1 - lengths_[taken[k].pattern];
    std::string result;
    result.reserve(size);
    std::size_t done = 0;
    for (std::size_t k = 0; k < taken.size(); ++k) {
        const Hit& hit = taken[k];
        result.append(text.substr(done, hit.start - done));
        result += *inserted[k].text;
        if (inserted[k].endsInReference && continuationFollows(taken, inserted, k, text, following)) result += ';';
        done = hit.start + lengths_[hit.pattern];
    }
    result.append(text.substr(done));
    return result;
}

}  // namespace quill
