#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ftp/ftp_client.hpp"
#include "remote/remote_run.hpp"
#include "runs/encoding_runs.hpp"
#include "text/quill_error.hpp"

namespace quill::test {

// What a remote run works with, and the boxes it showed.
struct RemoteRunHarness {
    explicit RemoteRunHarness(std::uint16_t port) {
        client.Port = port;
        client.ReadTimeout = 10000;
        client.TransferTimeout = 10000;
        client.AcceptTimeout = 10000;
        view.showMessage = [this](const RunOutcome& message) { messages.push_back(message.text); };
        view.refresh = [] {};
    }

    // What the run failed with; "" when it ended without a failure.
    std::string runFailure(const StringList& masks) {
        try {
            ftp::FTP_Go(client, fields, masks, runs, fileBox, view);
        } catch (const QuillError& failure) {
            return failure.what();
        }
        return {};
    }

    ftp::TFTPClient client;
    EncodingRuns runs;
    ftp::RemoteRunFields fields;
    StringList fileBox;
    ftp::RemoteRunView view;
    std::vector<std::string> messages;
};

}  // namespace quill::test
