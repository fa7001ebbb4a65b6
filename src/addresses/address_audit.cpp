#include "addresses/address_audit.hpp"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>

#include "files/file_io.hpp"
#include "text/cp1252.hpp"

namespace quill {

namespace {

// The line an offset stands in, counted onwards from the last one asked
// for; CR LF, a lone CR and a lone LF each end a line.
class LineCounter {
public:
    explicit LineCounter(std::string_view bytes) : bytes_(bytes) {}

    // offsets come in increasing order.
    void moveTo(std::size_t offset) {
        for (;;) {
            const std::size_t lf = next('\n', nextLf_);
            const std::size_t cr = next('\r', nextCr_);
            const std::size_t lineEnd = std::min(lf, cr);
            if (lineEnd >= offset) return;
            // A CR before an LF ends no line of its own.
            if (lineEnd == lf || lineEnd + 1 >= bytes_.size() || bytes_[lineEnd + 1] != '\n') {
                ++line_;
                lineStart_ = lineEnd + 1;
            }
            at_ = lineEnd + 1;
        }
    }
    int line() const { return line_; }
    std::size_t lineStart() const { return lineStart_; }

private:
    // The first c from at_ on (the page's size when there is none), found
    // again only once at_ has passed the one found before.
    std::size_t next(char c, std::optional<std::size_t>& found) const {
        if (found && *found >= at_) return *found;
        const void* hit = std::memchr(bytes_.data() + at_, c, bytes_.size() - at_);
        found =
            hit == nullptr ? bytes_.size() : static_cast<std::size_t>(static_cast<const char*>(hit) - bytes_.data());
        return *found;
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
    std::optional<std::size_t> nextLf_;
    std::optional<std::size_t> nextCr_;
    int line_ = 1;
    std::size_t lineStart_ = 0;
};

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
    const PageDecoder decoder(readableEncoding(bytes));
    LineCounter lines(bytes);
    std::vector<ReadableAddress> hits;
    forEachReadableRegion(bytes, decoder, [&](const ShownRegion& region) {
        for (const AddressSpan& span : region.readable) {
            const std::size_t offset = region.shown[span.first].begin;
            lines.moveTo(offset);
            hits.push_back({path, lines.line(), characterColumn(bytes, lines.lineStart(), offset, decoder),
                            addressText(region, span), region.kind});
        }
    });
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
