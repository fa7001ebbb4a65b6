#include "cli_test_support.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <stdexcept>

#include "cli/commands.hpp"
#include "support/temp_folder.hpp"

namespace quill::cli::test {

namespace fs = std::filesystem;

Outcome runInProcess(const std::vector<std::string>& args, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliIo io{in, out, err, false};
    Outcome outcome;
    outcome.code = runCli(args, io);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

std::string cliProgram() {
    return QUILL_CLI_PROGRAM;
}

Outcome runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input,
                   int limitMs) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // Small inputs only: they fit the pipe, so writing cannot block.
    [[maybe_unused]] const auto written = ::write(in[1], input.data(), input.size());
    ::close(in[1]);

    Outcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&outcome.out, &outcome.err};
    int open = 2;
    bool timedOut = false;
    while (open > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0 || ::poll(fds, 2, static_cast<int>(left)) <= 0) {
            timedOut = true;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (auto& entry : fds)
        if (entry.fd >= 0) ::close(entry.fd);
    if (timedOut) ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.code = !timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

std::string jsonForm(const std::string& json) {
    const quill::test::TempFolder folder;
    const std::string path = folder.write("data.json", json);
    const char* script = R"PY(
import json, sys
def form(v):
    if isinstance(v, dict): return '{' + ','.join(k + ':' + form(v[k]) for k in sorted(v)) + '}'
    if isinstance(v, list): return '[' + (form(v[0]) if v else '') + ']'
    if isinstance(v, bool): return 'b'
    if isinstance(v, (int, float)): return 'n'
    if isinstance(v, str): return 's'
    return '0'
try:
    print(form(json.load(open(sys.argv[1], encoding='utf-8'))), end='')
except ValueError:
    print('invalid', end='')
)PY";
    return runProgram("/usr/bin/python3", {"-c", script, path}).out;
}

std::map<std::string, std::string> treeBytes(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).string()] = quill::test::readFile(entry.path().string());
    return files;
}

std::map<std::string, long long> treeTimes(const std::string& folder) {
    std::map<std::string, long long> times;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat info {};
        if (entry.is_regular_file() && ::stat(entry.path().c_str(), &info) == 0)
            times[fs::relative(entry.path(), folder).string()] =
                info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    }
    return times;
}

void generateSite(const std::string& folder, unsigned seed) {
    std::mt19937 random(seed);
    const auto pick = [&](const std::vector<std::string>& options) {
        return options[std::uniform_int_distribution<std::size_t>(0, options.size() - 1)(random)];
    };
    const std::vector<std::string> tags = {
        "a href=\"mailto:", "a HREF=\"mailto:", "A href=\"mailto:", "A HREF=\"mailto:", "a hRef=\"mailto:"};
    const std::vector<std::string> addresses = {"info@example.com",
                                                "Info@Example.com",
                                                "web@b\xe4"
                                                "ckerei.de",
                                                "x@y.de?subject=Hallo",
                                                "a&b@c.de",
                                                "post@c.de",
                                                ""};
    const std::vector<std::string> texts = {"Mail", "Schreiben Sie uns", "info@example.com", "\xc4nderung", ""};
    const std::vector<std::string> filler = {"<p>Text</p>", "MaIlTo:post@c.de steht hier", "info@example.com",
                                             "<div>\xfc</div>", "nichts"};
    const std::vector<std::string> folders = {"", "sub/", "sub/tief/", ".versteckt/", "andere/"};
    const std::vector<std::string> names = {"index.html", "kontakt.htm", "seite.HTML", "info.htmx", "bild.txt"};
    const int pages = std::uniform_int_distribution<int>(3, 9)(random);
    for (int page = 0; page < pages; ++page) {
        const std::string lineEnd = random() % 2 ? "\r\n" : "\n";
        std::string text = "<html>" + lineEnd;
        const int lines = std::uniform_int_distribution<int>(1, 6)(random);
        for (int line = 0; line < lines; ++line) {
            if (random() % 3 == 0)
                text += "<" + pick(tags) + pick(addresses) + "\">" + pick(texts) + "</a>" + lineEnd;
            else
                text += pick(filler) + lineEnd;
        }
        text += "</html>" + lineEnd;
        const std::string path = folder + "/" + pick(folders) + std::to_string(page) + pick(names);
        fs::create_directories(fs::path(path).parent_path());
        quill::test::writeFile(path, text);
    }
}

}  // namespace quill::cli::test
