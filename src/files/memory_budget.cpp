#include "files/memory_budget.hpp"

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace quill::files {

namespace {

constexpr unsigned long long kCopies = 4;

// A "Key:   123 kB" line of a /proc status file, in bytes; nothing: max.
unsigned long long procValue(const char* file, const std::string& key) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name;
        unsigned long long value = 0;
        if (fields >> name >> value && name == key) return value * 1024;
    }
    return std::numeric_limits<unsigned long long>::max();
}

unsigned long long memoryAtHand() {
    unsigned long long available = procValue("/proc/meminfo", "MemAvailable:");
    const unsigned long long swap = procValue("/proc/meminfo", "SwapFree:");
    if (available != std::numeric_limits<unsigned long long>::max() && swap != available) available += swap;
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const unsigned long long used = procValue("/proc/self/status", "VmSize:");
        const unsigned long long left = used < limit.rlim_cur ? limit.rlim_cur - used : 0;
        available = std::min(available, left);
    }
    return available;
}

}  // namespace

void ensureMemoryFor(const std::string& path, off_t size) {
    const auto bytes = static_cast<unsigned long long>(size);
    if (bytes < (64ull << 20)) return;  // small files need no look
    if (bytes <= memoryAtHand() / kCopies) return;
    throw FileTooLargeError(tooLargeText(path, size));
}

std::string tooLargeText(const std::string& path, off_t size) {
    return "Datei " + path + " ist zu groß (" + std::to_string(size) +
           " Bytes) für den verfügbaren Arbeitsspeicher und wurde nicht verändert.";
}

}  // namespace quill::files
