#pragma once

#include <utility>

#include "files/fault_injection.hpp"
#include "net/socket_ops.hpp"

namespace quill::test {

// Installs a test hook for the life of the scope and clears it however the
// scope ends, so a failing check never leaves a hook (and the locals it
// captured) behind for the next test.
template <typename Hook, void (*Install)(Hook)>
class HookScope {
public:
    explicit HookScope(Hook hook) { Install(std::move(hook)); }
    ~HookScope() { Install({}); }
    HookScope(const HookScope&) = delete;
    HookScope& operator=(const HookScope&) = delete;
};

using FileFaultScope = HookScope<files::FaultHook, &files::setFaultHook>;
using SocketFaultScope = HookScope<ftp::SocketFaultHook, &ftp::setSocketFaultHook>;

}  // namespace quill::test
