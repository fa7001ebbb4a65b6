#include "engine/replacement_plan.hpp"

#include <algorithm>
#include <climits>

#include "engine/case_blind_automaton.hpp"
#include "html/char_reference.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

constexpr std::string_view kMailto = "mailto:";

// A text some step inserts, and the step: found text i is step 2i, the
// "mailto:" replacement after it step 2i + 1.
struct Inserted {
    std::string text;
    std::size_t step;
};

std::vector<Inserted> insertedTexts(const std::vector<std::string>& replacements, const std::string& encodedMailto) {
    std::vector<Inserted> inserted;
    auto add = [&inserted](const std::string& text, std::size_t step) {
        inserted.push_back({text, step});
        if (endsInReference(text)) inserted.push_back({text + ";", step});
    };
    add(encodedMailto, 1);
    for (std::size_t i = 0; i < replacements.size(); ++i) add(replacements[i], 2 * i);
    return inserted;
}

// For each found text, the earliest step whose inserted text it can meet
// (SIZE_MAX for none): containing it, lying inside it, or overlapping one of
// its edges. Two automatons keep this linear in the lengths of all texts.
std::vector<std::size_t> earliestMeetings(const std::vector<std::string>& foundTexts,
                                          const std::vector<Inserted>& inserted) {
    std::vector<std::size_t> earliest(foundTexts.size(), SIZE_MAX);
    auto lower = [](std::size_t& slot, std::size_t step) { slot = std::min(slot, step); };

    // Found texts inside an inserted text, or beginning in its tail.
    const CaseBlindAutomaton found(foundTexts);
    std::vector<std::size_t> tailStep(found.stateCount(), SIZE_MAX);
    for (const auto& piece : inserted) {
        CaseBlindAutomaton::State state = CaseBlindAutomaton::kRoot;
        for (unsigned char c : piece.text) {
            state = found.next(state, c);
            found.forEachMatch(state, [&](std::uint32_t p) { lower(earliest[p], piece.step); });
        }
        for (; state != CaseBlindAutomaton::kRoot && tailStep[state] > piece.step; state = found.failure(state))
            tailStep[state] = piece.step;
    }
    for (std::size_t p = 0; p < foundTexts.size(); ++p)
        for (auto s = found.patternNode(p); s != CaseBlindAutomaton::kRoot; s = found.parent(s))
            lower(earliest[p], tailStep[s]);

    // Inserted texts inside a found text, or beginning in its tail. Only
    // their first bytes can be reached from a found text.
    std::size_t longest = 0;
    for (const auto& text : foundTexts) longest = std::max(longest, text.size());
    std::vector<std::string> heads;
    std::vector<bool> whole;
    for (const auto& piece : inserted) {
        heads.push_back(piece.text.substr(0, longest));
        whole.push_back(piece.text.size() <= longest);
    }
    const CaseBlindAutomaton insertedHeads(heads);
    std::vector<std::size_t> headStep(insertedHeads.stateCount(), SIZE_MAX);
    for (std::size_t h = 0; h < heads.size(); ++h)
        for (auto s = insertedHeads.patternNode(h); s != CaseBlindAutomaton::kRoot && headStep[s] > inserted[h].step;
             s = insertedHeads.parent(s))
            headStep[s] = inserted[h].step;
    for (std::size_t p = 0; p < foundTexts.size(); ++p) {
        CaseBlindAutomaton::State state = CaseBlindAutomaton::kRoot;
        for (unsigned char c : foundTexts[p]) {
            state = insertedHeads.next(state, c);
            insertedHeads.forEachMatch(state, [&](std::uint32_t h) {
                if (whole[h]) lower(earliest[p], inserted[h].step);
            });
        }
        for (; state != CaseBlindAutomaton::kRoot; state = insertedHeads.failure(state))
            lower(earliest[p], headStep[state]);
    }
    return earliest;
}

}  // namespace

ReplacementPlan::ReplacementPlan(const std::vector<std::string>& foundTexts,
                                 const std::vector<std::string>& replacements, ReplacementPass::Encoder encodeFound,
                                 ReferenceEnd end)
    : foundTexts_(foundTexts),
      replacements_(replacements),
      encodeFound_(std::move(encodeFound)),
      encodedMailto_(fullEncoding(kMailto, end)) {
    if (encodeFound_) encodeMailto_ = [end](std::string_view occurrence) { return fullEncoding(occurrence, end); };
    const std::vector<Inserted> inserted = insertedTexts(replacements, encodedMailto_);
    const std::vector<std::size_t> earliest = earliestMeetings(foundTexts, inserted);

    std::vector<std::string> patterns;
    std::vector<std::string> texts;
    std::vector<ReplacementPass::Encoder> encoders;
    std::size_t mailtoAt = SIZE_MAX;  // its place in the pass, if there
    bool mailtoMeetsPass = false;     // "mailto:" could meet a text this pass inserts
    auto close = [&] {
        if (!patterns.empty()) {
            // Found texts stand in a pass in step order; "mailto:", where the
            // pass has it, stands for the step after each of them.
            passes_.emplace_back(
                patterns, texts, encodeFound_ ? encoders : std::vector<ReplacementPass::Encoder>{},
                mailtoAt < patterns.size() ? std::optional(static_cast<std::uint32_t>(mailtoAt)) : std::nullopt);
        }
        patterns.clear();
        texts.clear();
        encoders.clear();
        mailtoAt = SIZE_MAX;
        mailtoMeetsPass = false;
    };
    for (std::size_t i = 0; i < foundTexts.size(); ++i) {
        // Meeting a later step's text only is harmless, but one step is not
        // told from another cheaply: any earlier step starts a new pass.
        if (earliest[i] < 2 * i) close();
        patterns.push_back(foundTexts[i]);
        texts.push_back(replacements[i]);
        encoders.push_back(encodeFound_);
        if (canMeet(kMailto, replacements[i]) || canMeet(kMailto, replacements[i] + ";")) mailtoMeetsPass = true;
        if (mailtoMeetsPass) close();
        if (mailtoAt == SIZE_MAX) {
            mailtoAt = patterns.size();
            patterns.emplace_back(kMailto);
            texts.push_back(encodedMailto_);
            encoders.push_back(encodeMailto_);
        }
    }
    close();
}

std::string ReplacementPlan::apply(std::string_view text, int following, std::size_t* places) const {
    if (passes_.empty()) return std::string(text);
    std::size_t replaced = 0;
    std::optional<std::string> result = passes_.front().apply(text, following, &replaced);
    for (std::size_t p = 1; result && p < passes_.size(); ++p) result = passes_[p].apply(*result, following, &replaced);
    if (!result) return stepByStep(text, following, places);
    if (places) *places += replaced;
    return std::move(*result);
}

// The sequential rule itself, one pattern at a time; rare enough that each
// step's automaton is built when needed.
std::string ReplacementPlan::stepByStep(std::string_view text, int following, std::size_t* places) const {
    using Encoders = std::vector<ReplacementPass::Encoder>;
    const std::vector<std::string> mailto = {std::string(kMailto)};
    const ReplacementPass mailtoStep(mailto, {encodedMailto_}, encodeMailto_ ? Encoders{encodeMailto_} : Encoders{});
    std::string result(text);
    for (std::size_t i = 0; i < foundTexts_.size(); ++i) {
        const ReplacementPass step({foundTexts_[i]}, {replacements_[i]},
                                   encodeFound_ ? Encoders{encodeFound_} : Encoders{});
        result = *step.apply(result, following, places);
        result = *mailtoStep.apply(result, following, places);
    }
    return result;
}

}  // namespace quill
