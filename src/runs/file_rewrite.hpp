#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runs/exception_list.hpp"
#include "runs/run_progress.hpp"
#include "text/string_list.hpp"

namespace quill {

// Replaces every non-empty found text, and after each one "mailto:", in every
// file of paths, in order. Each file is read once and written once, with the
// bytes that replacing entry after entry would give; the files are synced in
// batches (files::RewriteBatch). The folders of the files are locked for the
// run (files::FolderLocks): a run another one holds is refused. A file that
// changed after it was read, or is too large for the memory at hand, is not
// replaced and is named in the error. Without a
// non-empty found text no file is touched. A failure ends the run where it
// arises: files before it keep their changes, it and those after it are
// untouched. A cancel takes effect between two files (RunCancelled names the
// files not rewritten).
// With protectAll, protectAllAddresses follows in each file, and a file it
// changes is rewritten even without a found text. A file listed twice is
// done once. A page in an encoding iconv cannot read is left as it is and
// named in the result; the run goes on.

// A file a run is about to change, with its bytes before and after.
struct FileChange {
    const std::string& path;
    std::string_view before;
    std::string_view after;
    std::size_t places;  // places replaced, those of protectAll included
};

struct RewriteOptions {
    bool protectAll = false;
    // protectAll leaves these addresses and pages alone; a page is judged by
    // pageName(path) when that is given (a copy by the file it stands for).
    const ExceptionList* exceptions = nullptr;
    std::function<std::string(const std::string&)> pageName{};
    RunObserver* observer = nullptr;
    // Called for each file whose bytes change, before it is changed; a
    // failure it raises ends the run there, that file untouched.
    std::function<void(const FileChange&)> beforeWrite{};
};

struct UnreadablePage {
    std::string path;
    std::string encoding;  // as the page names it
};
struct RewriteResult {
    bool protectedAny = false;  // protectAll changed a file
    std::vector<UnreadablePage> unreadable;
};

RewriteResult Dateien_kodieren(const StringList& paths, const StringList& foundTexts, const RewriteOptions& options = {});

// The lines a run's closing message gets for such pages (UTF-8), or "".
std::string unreadablePagesNote(const std::vector<UnreadablePage>& pages);

}  // namespace quill
