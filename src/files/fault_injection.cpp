#include "files/fault_injection.hpp"

namespace quill::files {

namespace {
FaultHook& hook() {
    static FaultHook installed;
    return installed;
}
}  // namespace

void setFaultHook(FaultHook newHook) {
    hook() = std::move(newHook);
}

int injectedFault(FileStep step, const std::string& path) {
    const auto& installed = hook();
    return installed ? installed(step, path) : 0;
}

}  // namespace quill::files
