#include "remote/leftover_uploads.hpp"

#include <set>

#include "remote/remote_replace.hpp"
#include "text/cp1252.hpp"

namespace quill::ftp {

namespace {

std::string quoted(const StringList& names) {
    std::string text;
    for (const auto& name : names) text += (text.empty() ? "\"" : ", \"") + cp1252ToUtf8(name) + "\"";
    return text;
}

}  // namespace

LeftoverUploads settleLeftoverUploads(remote::RemoteFolder& server) {
    StringList temporaries;
    server.list(kTemporaryUploadMask, [&](remote::RemoteEntry&& entry) {
        if (pageOfTemporaryUpload(entry.name)) temporaries.push_back(std::move(entry.name));
    });
    LeftoverUploads result;
    if (temporaries.empty()) return result;

    std::set<std::string> present;
    server.list("", [&](remote::RemoteEntry&& entry) { present.insert(std::move(entry.name)); });
    for (const auto& temporary : temporaries) {
        const std::string page = *pageOfTemporaryUpload(temporary);
        if (present.count(page) == 0) {
            if (server.rename(temporary, page) == remote::RenameResult::Done) {
                result.finished.push_back(page);
                present.insert(page);
            } else {
                result.kept.push_back(temporary);
            }
        } else if (server.remove(temporary)) {
            result.removed.push_back(temporary);
        } else {
            result.kept.push_back(temporary);
        }
    }
    return result;
}

std::string leftoverUploadsMessage(const LeftoverUploads& leftovers) {
    if (leftovers.finished.empty() && leftovers.removed.empty() && leftovers.kept.empty()) return {};
    std::string text = "Ein früherer Lauf wurde beim Hochladen unterbrochen. Auf dem Server:";
    if (!leftovers.finished.empty())
        text += "\r\nFertiggestellt (die vollständig hochgeladene neue Fassung ersetzt die fehlende Seite): " +
                quoted(leftovers.finished);
    if (!leftovers.removed.empty())
        text += "\r\nGelöscht (vorläufige Dateien neben ihrer Seite): " + quoted(leftovers.removed);
    if (!leftovers.kept.empty())
        text += "\r\nNicht aufgeräumt (der Server lehnt Umbenennen oder Löschen ab): " + quoted(leftovers.kept);
    return text;
}

}  // namespace quill::ftp
