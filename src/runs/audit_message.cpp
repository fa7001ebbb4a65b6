#include "runs/audit_message.hpp"

#include <algorithm>

namespace quill {

namespace {

constexpr std::size_t kListedHits = 20;

}  // namespace

std::string readableAddressesMessage(const std::vector<ReadableAddress>& hits) {
    std::string text = "Nach dem Kodieren sind noch " + std::to_string(hits.size()) + " E-Mail-Adressen lesbar:";
    const std::size_t listed = std::min(hits.size(), kListedHits);
    for (std::size_t i = 0; i < listed; ++i)
        text += "\r\n" + hits[i].path + ":" + std::to_string(hits[i].line) + ": " + hits[i].address;
    if (hits.size() > listed) text += "\r\n… und " + std::to_string(hits.size() - listed) + " weitere";
    // The option leaves script and style blocks alone, so it is no help when
    // every hit stands in one.
    const bool optionHelps = std::any_of(hits.begin(), hits.end(),
                                         [](const ReadableAddress& hit) { return hit.kind != ReadableKind::Script; });
    text += optionHelps ? "\r\nMit der Einstellung „Alle E-Mail-Adressen schützen“ werden auch diese kodiert."
                        : "\r\nAdressen in <script>- und <style>-Blöcken werden nicht kodiert, weil Browser dort "
                          "keine Zeichenreferenzen auflösen; bitte ändern Sie diese von Hand.";
    return text;
}

std::optional<RunOutcome> readableAddressesOutcome(const std::vector<ReadableAddress>& hits) {
    if (hits.empty()) return std::nullopt;
    std::string list;
    for (const ReadableAddress& hit : hits)
        list +=
            hit.path + ":" + std::to_string(hit.line) + ":" + std::to_string(hit.column) + ": " + hit.address + "\r\n";
    return RunOutcome{OutcomeKind::Error, readableAddressesMessage(hits), list};
}

}  // namespace quill
