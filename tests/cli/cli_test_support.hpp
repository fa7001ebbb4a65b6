#pragma once

#include <map>
#include <string>
#include <vector>

namespace quill::cli::test {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

// The command line inside the test process, with input on standard input.
Outcome runInProcess(const std::vector<std::string>& args, const std::string& input = "");

// A program as a child process with its output collected; killed when it
// outlasts the bound (the outcome's code is then -1).
Outcome runProgram(const std::string& program, const std::vector<std::string>& args, const std::string& input = "",
                   int limitMs = 60000);

// The built command-line program.
std::string cliProgram();

// The form of a JSON text as Python's own parser reads it: objects as
// {key:form,…} with sorted keys, arrays as [form of the first element] or [],
// strings "s", numbers "n", booleans "b", null "0"; "invalid" when it does not parse.
std::string jsonForm(const std::string& json);

// Every regular file below a folder (relative path → bytes), and their modification times.
std::map<std::string, std::string> treeBytes(const std::string& folder);
std::map<std::string, long long> treeTimes(const std::string& folder);

// A generated site below folder: nested folders (one hidden), pages with
// mailto links in the four spellings and other letter cases, addresses outside
// links, "mailto:" in text, CR LF and LF line ends, files of other extensions.
void generateSite(const std::string& folder, unsigned seed);

}  // namespace quill::cli::test
