#pragma once

#include <optional>
#include <vector>

#include "addresses/address_audit.hpp"
#include "runs/run_outcome.hpp"

namespace quill {

// The message after a run that lists the addresses still readable, the
// first 20 of them as "file:line: address".
std::string readableAddressesMessage(const std::vector<ReadableAddress>& hits);

// The box that follows a run's closing message: an error box with that
// message and the full list of hits ("file:line:column: address"), or none
// when no address is readable.
std::optional<RunOutcome> readableAddressesOutcome(const std::vector<ReadableAddress>& hits);

}  // namespace quill
