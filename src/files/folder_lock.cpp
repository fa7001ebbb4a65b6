#include "files/folder_lock.hpp"

#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <map>
#include <utility>

#include "files/regular_file.hpp"

namespace quill::files {

FolderLocks::FolderLocks(const std::vector<std::string>& paths) {
    // One lock per folder, taken in a fixed order.
    std::map<std::pair<dev_t, ino_t>, std::pair<std::string, Descriptor>> folders;
    for (const auto& path : paths) {
        const std::string folder = splitPath(path).folder;
        int error = 0;
        Descriptor fd = openFolderNoFollow(folder, error);
        struct stat info {};
        if (!fd.valid() || ::fstat(fd.get(), &info) != 0) continue;
        folders.try_emplace({info.st_dev, info.st_ino}, folder, std::move(fd));
    }
    for (auto& [id, folder] : folders) {
        if (::flock(folder.second.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
            throw FolderBusyError("Das Verzeichnis " + folder.first +
                                  " wird gerade von einem anderen Lauf bearbeitet. Bitte warten Sie, bis er "
                                  "beendet ist, und starten Sie dann erneut.");
        held_.push_back(std::move(folder.second));
    }
}

}  // namespace quill::files
