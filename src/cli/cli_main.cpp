#include <csignal>
#include <exception>
#include <ostream>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/help_texts.hpp"
#include "cli/stop_signals.hpp"
#include "runs/run_progress.hpp"
#include "text/quill_error.hpp"

namespace quill::cli {

namespace {

struct CommandEntry {
    const char* name;
    Command command;
    int (*run)(const std::vector<std::string>&, CliIo&);
};

constexpr CommandEntry kCommands[] = {
    {"encode", Command::Encode, encodeCommand}, {"decode", Command::Decode, decodeCommand},
    {"run", Command::Run, runCommand},          {"audit", Command::Audit, auditCommand},
    {"remote", Command::Remote, remoteCommand}, {"backups", Command::Backups, backupsCommand},
    {"undo", Command::Undo, undoCommand},
};

int usage(CliIo& io, const std::string& text, const std::string& helpHint) {
    io.err << "quillmaskerade-cli: " << text << "\n" << helpHint << "\n";
    return kExitUsage;
}

}  // namespace

int runCli(const std::vector<std::string>& args, CliIo& io) {
    const std::string programHint = "Hilfe: quillmaskerade-cli --help";
    if (args.empty()) return usage(io, "Kein Befehl angegeben.", programHint);
    const std::string& first = args.front();
    if (first == "--help" || first == "-h" || first == "help") return io.out << helpText(Command::Program), kExitDone;
    if (first == "--version") return io.out << versionText(), kExitDone;
    if (first.size() > 1 && first[0] == '-') {
        // An option before any command: the program's own two, or the closest of them.
        try {
            parseArguments({first}, {{"--help"}, {"--version"}});
        } catch (const UsageError& wrong) {
            return usage(io, wrong.what(), programHint);
        }
    }

    for (const auto& entry : kCommands) {
        if (first != entry.name) continue;
        const std::vector<std::string> rest(args.begin() + 1, args.end());
        try {
            return entry.run(rest, io);
        } catch (const RunCancelled& cancelled) {
            // Stopped by a signal after the file in hand: what was done, then
            // the shell's code for that signal.
            std::string text = cancelledRunMessage(cancelled);
            for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at)) text.erase(at, 1);
            io.err << text << "\n";
            const int signal = StopSignals::received();
            return 128 + (signal != 0 ? signal : SIGINT);
        } catch (const UsageError& wrong) {
            return usage(io, wrong.what(), "Hilfe: quillmaskerade-cli " + first + " --help");
        } catch (const QuillError& failure) {
            // The core's own message, as the window's error box shows it.
            io.err << failure.what() << "\n";
            return kExitFailed;
        } catch (const std::exception& failure) {
            io.err << "quillmaskerade-cli: " << failure.what() << "\n";
            return kExitFailed;
        }
    }
    return usage(io, "Unbekannter Befehl: " + first, programHint);
}

}  // namespace quill::cli
