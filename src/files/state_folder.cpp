#include "files/state_folder.hpp"

#include <fcntl.h>
#include <pwd.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "files/system_error_text.hpp"

namespace quill::files {

namespace {

constexpr const char* kProgramFolder = "Quillmaskerade";

// $HOME only when it is ours: a root run under sudo keeps the caller's HOME,
// and must not keep its records where the caller could reach them.
std::string homeFolder() {
    struct stat info {};
    if (const char* home = std::getenv("HOME");
        home != nullptr && *home == '/' && ::stat(home, &info) == 0 && info.st_uid == ::geteuid())
        return home;
    if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return {};
}

[[noreturn]] void refuse(const std::string& path, int errorNumber) {
    throw StateFolderError("Der private Ordner " + path + " kann nicht verwendet werden. " +
                           systemErrorText(errorNumber));
}

// Creates every missing folder of path for the owner only.
void createFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) refuse(path, errno);
        if (slash == std::string::npos) return;
    }
}

}  // namespace

std::string stateFolderPath() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/')
        return std::string(state) + "/" + kProgramFolder;
    const std::string home = homeFolder();
    return (home.empty() || home == "/" ? std::string() : home) + "/.local/state/" + kProgramFolder;
}

Descriptor openStateFolder() {
    const std::string path = stateFolderPath();
    createFolders(path);
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) refuse(path, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) refuse(path, errno);
    if (info.st_uid != ::geteuid()) refuse(path, EPERM);
    // Ours alone: nobody else may plant or swap a record in it.
    if ((info.st_mode & 077) != 0 && ::fchmod(fd.get(), 0700) != 0) refuse(path, errno);
    return fd;
}

std::string unpredictableName(const std::string& prefix) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    unsigned char random[12];
    std::size_t got = 0;
    while (got < sizeof random) {
        const auto n = ::getrandom(random + got, sizeof random - got, 0);
        if (n > 0)
            got += static_cast<std::size_t>(n);
        else if (errno != EINTR)
            throw StateFolderError("Der Zufallsgenerator des Systems ist nicht verfügbar. " + systemErrorText(errno));
    }
    std::string name = prefix;
    for (unsigned char byte : random) name += kDigits[byte % (sizeof kDigits - 1)];
    return name;
}

}  // namespace quill::files
