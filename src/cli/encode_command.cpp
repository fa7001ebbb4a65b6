#include <ostream>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/help_texts.hpp"
#include "encoding/link_page.hpp"
#include "encoding/mail_link.hpp"
#include "html/char_reference.hpp"
#include "text/cp1252.hpp"

namespace quill::cli {

int encodeCommand(const std::vector<std::string>& args, CliIo& io) {
    const ParsedArguments parsed =
        parseArguments(args, {{"--help"}, {"--subject", true}, {"--link"}, {"--page", true}});
    if (parsed.has("--help")) return io.out << helpText(Command::Encode), kExitDone;
    if (parsed.operands().size() != 1) throw UsageError("encode erwartet genau eine E-Mail-Adresse.");
    const std::string& address = parsed.operands().front();
    if (address.empty()) throw UsageError("Die E-Mail-Adresse ist leer.");

    // As the address page does it: characters outside the code page are
    // encoded by their code point rather than turned into "?".
    const std::string encoded = fullEncodingOfCharacters(utf8ToCodePoints(address));
    const std::string link = buildMailLink(encoded, utf8ToCodePoints(parsed.value("--subject").value_or("")));
    if (const auto page = parsed.value("--page")) writeLinkPage(*page, link + "\r\n");
    io.out << cp1252ToUtf8(parsed.has("--link") ? link : encoded) << '\n';
    return kExitDone;
}

}  // namespace quill::cli
