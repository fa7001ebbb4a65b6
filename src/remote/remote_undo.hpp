#pragma once

#include <functional>
#include <string>

#include "remote/remote_run.hpp"
#include "remote_folder/remote_folder.hpp"
#include "runs/run_backup.hpp"

namespace quill::ftp {

// Restores the pages of a remote run on its server. It logs in with fields
// (whose host must be the run's: else a QuillError says which server the run
// belongs to), changes into the run's server folder and, for each page that
// still holds exactly the bytes the run uploaded, puts the original back with
// the same safe upload as the run; a page changed since, or gone, is named
// and left alone. The pages are compared through a local copy in the run's
// backup folder that is deleted again. The run is marked as undone.
// askQuestion decides on a certificate nobody vouches for, as in the run.
UndoResult undoRemoteRun(remote::RemoteFolder& server, const RemoteRunFields& fields, const KeptRun& run,
                         std::function<bool(const std::string& question)> askQuestion = {});

}  // namespace quill::ftp
