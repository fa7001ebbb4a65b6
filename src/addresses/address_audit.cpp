#include "addresses/address_audit.hpp"

#include <algorithm>
#include <set>

#include "files/file_io.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

// Offsets where lines begin; CR LF, a lone CR and a lone LF each end a line.
std::vector<std::size_t> lineStarts(std::string_view bytes) {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 >= bytes.size() || bytes[i + 1] != '\n')))
            starts.push_back(i + 1);
    }
    return starts;
}

// Characters from a line's start to an offset: in a UTF-8 page each sequence
// counts once, elsewhere each byte.
int characterColumn(std::string_view bytes, std::size_t lineStart, std::size_t offset, const PageDecoder& decoder) {
    if (decoder.charset() == PageCharset::Windows1252) return static_cast<int>(offset - lineStart) + 1;
    int column = 1;
    for (std::size_t i = lineStart; i < offset; ++column) {
        char32_t first = 0;
        char32_t second = 0;
        i += std::max<std::size_t>(1, decoder.decodeAt(bytes, i, first, second));
    }
    return column;
}

}  // namespace

std::vector<ReadableAddress> auditText(std::string_view bytes, const std::string& path) {
    const PageAddresses page(bytes);
    const std::vector<std::size_t> starts = lineStarts(bytes);
    std::vector<ReadableAddress> hits;
    for (const ShownRegion& region : page.withReadableAddresses()) {
        for (const AddressSpan& span : region.readable) {
            const std::size_t offset = region.shown[span.first].begin;
            const auto line = std::upper_bound(starts.begin(), starts.end(), offset) - 1;
            hits.push_back({path, static_cast<int>(line - starts.begin()) + 1,
                            characterColumn(bytes, *line, offset, page.decoder()), addressText(region, span),
                            region.kind});
        }
    }
    return hits;
}

std::vector<ReadableAddress> auditFiles(const StringList& paths) {
    std::vector<ReadableAddress> hits;
    std::set<std::string> seen;
    for (const std::string& path : paths) {
        if (!seen.insert(path).second || !files::fileExists(path)) continue;
        std::vector<ReadableAddress> inFile = auditText(files::readWholeFile(path), path);
        hits.insert(hits.end(), std::make_move_iterator(inFile.begin()), std::make_move_iterator(inFile.end()));
    }
    return hits;
}

}  // namespace quill
