#include <istream>
#include <iterator>
#include <ostream>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/help_texts.hpp"
#include "encoding/reference_decoding.hpp"
#include "text/cp1252.hpp"

namespace quill::cli {

int decodeCommand(const std::vector<std::string>& args, CliIo& io) {
    const ParsedArguments parsed = parseArguments(args, {{"--help"}});
    if (parsed.has("--help")) return io.out << helpText(Command::Decode), kExitDone;
    if (parsed.operands().size() > 1) throw UsageError("decode erwartet höchstens einen Text.");

    const std::string input = parsed.operands().empty()
                                  ? std::string(std::istreambuf_iterator<char>(io.in), std::istreambuf_iterator<char>())
                                  : parsed.operands().front();
    // The input is taken as pasted into the decoding memo: every line break
    // is CR LF there, and the decoding joins the lines.
    const std::string memoText = withMemoLineBreaks(utf8ToCp1252(input));
    const std::u32string decoded = decodeReferences(withMemoLineBreaks(removeCrLfPairs(memoText)));
    io.out << codePointsToUtf8(decoded) << '\n';
    return kExitDone;
}

}  // namespace quill::cli
