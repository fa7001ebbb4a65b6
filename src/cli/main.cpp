#include <unistd.h>

#include <iostream>

#include "cli/commands.hpp"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    quill::cli::CliIo io{std::cin, std::cout, std::cerr, isatty(STDERR_FILENO) == 1};
    const int code = quill::cli::runCli(std::vector<std::string>(argv + 1, argv + argc), io);
    std::cout.flush();
    return std::cout ? code : quill::cli::kExitFailed;
}
