#include "cli/unified_diff.hpp"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace quill::cli {

namespace {

enum class Op { Equal, Remove, Add };

// Above this many removed plus added lines, the middle is shown as one block,
// which keeps the effort near (lines × bound) and the memory near bound².
constexpr int kMaxEdits = 2000;

std::vector<std::string_view> splitKeepingEnds(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

// The shortest edit of a into b (greedy forward search, then back along the
// stored frontiers), or one block replaced beyond kMaxEdits.
std::vector<Op> shortestEdit(const std::vector<int>& a, const std::vector<int>& b) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    const int maxD = std::min(n + m, kMaxEdits);
    const int offset = maxD + 1;
    std::vector<int> v(2 * static_cast<std::size_t>(maxD) + 3, 0);
    std::vector<std::vector<int>> trace;  // trace[d]: v[-d..d] before round d
    for (int d = 0; d <= maxD; ++d) {
        trace.emplace_back(v.begin() + offset - d, v.begin() + offset + d + 1);
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                                   : v[offset + k - 1] + 1;
            int y = x - k;
            while (x < n && y < m && a[x] == b[y]) ++x, ++y;
            v[offset + k] = x;
            if (x < n || y < m) continue;

            std::vector<Op> ops;
            for (int back = d; back > 0; --back) {
                const std::vector<int>& frontier = trace[back];
                const auto at = [&](int kk) { return frontier[kk + back]; };
                const int kNow = x - y;
                const bool fromAbove = kNow == -back || (kNow != back && at(kNow - 1) < at(kNow + 1));
                const int prevK = fromAbove ? kNow + 1 : kNow - 1;
                const int prevX = at(prevK);
                const int prevY = prevX - prevK;
                while (x > prevX && y > prevY) ops.push_back(Op::Equal), --x, --y;
                ops.push_back(fromAbove ? Op::Add : Op::Remove);
                x = prevX;
                y = prevY;
            }
            while (x > 0 && y > 0) ops.push_back(Op::Equal), --x, --y;
            std::reverse(ops.begin(), ops.end());
            return ops;
        }
    }
    std::vector<Op> ops(static_cast<std::size_t>(n), Op::Remove);
    ops.insert(ops.end(), static_cast<std::size_t>(m), Op::Add);
    return ops;
}

void appendLine(std::string& out, char mark, std::string_view line) {
    out += mark;
    out.append(line);
    if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

std::string range(std::size_t start, std::size_t count) {
    // An empty side names the line before it.
    std::string text = std::to_string(count == 0 ? start : start + 1);
    if (count != 1) text += "," + std::to_string(count);
    return text;
}

}  // namespace

std::string unifiedDiff(std::string_view label, std::string_view before, std::string_view after, int context) {
    if (before == after) return {};
    const std::vector<std::string_view> a = splitKeepingEnds(before);
    const std::vector<std::string_view> b = splitKeepingEnds(after);

    std::size_t prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;

    // Lines compared as numbers: equal lines get equal numbers.
    std::unordered_map<std::string_view, int> ids;
    const auto numbered = [&](const std::vector<std::string_view>& lines) {
        std::vector<int> out;
        for (std::size_t i = prefix; i + suffix < lines.size(); ++i)
            out.push_back(ids.emplace(lines[i], static_cast<int>(ids.size())).first->second);
        return out;
    };
    const std::vector<int> middleA = numbered(a);
    const std::vector<int> middleB = numbered(b);

    std::vector<Op> ops(prefix, Op::Equal);
    const std::vector<Op> middle = shortestEdit(middleA, middleB);
    ops.insert(ops.end(), middle.begin(), middle.end());
    ops.insert(ops.end(), suffix, Op::Equal);

    std::string out = "--- " + std::string(label) + "\n+++ " + std::string(label) + "\n";
    const std::size_t ctx = static_cast<std::size_t>(std::max(context, 0));
    std::size_t i = 0;
    std::size_t lineA = 0;  // lines of a and b before ops[i]
    std::size_t lineB = 0;
    while (i < ops.size()) {
        if (ops[i] == Op::Equal) {
            ++i, ++lineA, ++lineB;
            continue;
        }
        // A hunk: back up by the context, then run until ctx * 2 equal lines in a row or the end.
        const std::size_t lead = std::min({ctx, lineA, lineB});
        std::size_t end = i;
        std::size_t equalRun = 0;
        for (std::size_t j = i; j < ops.size(); ++j) {
            if (ops[j] == Op::Equal) {
                if (++equalRun > 2 * ctx) break;
            } else {
                equalRun = 0;
                end = j + 1;
            }
        }
        const std::size_t stop = std::min(ops.size(), end + ctx);
        std::size_t startA = lineA - lead, startB = lineB - lead;
        std::size_t countA = lead, countB = lead;
        for (std::size_t j = i; j < stop; ++j) {
            if (ops[j] != Op::Add) ++countA;
            if (ops[j] != Op::Remove) ++countB;
        }
        out += "@@ -" + range(startA, countA) + " +" + range(startB, countB) + " @@\n";
        std::size_t ia = startA, ib = startB;
        for (std::size_t j = 0; j < lead; ++j) appendLine(out, ' ', a[ia++]), ++ib;
        for (std::size_t j = i; j < stop; ++j) {
            if (ops[j] == Op::Equal)
                appendLine(out, ' ', a[ia++]), ++ib;
            else if (ops[j] == Op::Remove)
                appendLine(out, '-', a[ia++]);
            else
                appendLine(out, '+', b[ib++]);
        }
        i = stop;
        lineA = ia;
        lineB = ib;
    }
    return out;
}

}  // namespace quill::cli
