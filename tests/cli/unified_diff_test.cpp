#include "cli/unified_diff.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace quill::cli {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

// Applies a unified diff the way a patch tool does, checking every context and
// removed line against before; counts the changed lines.
std::string applyDiff(const std::string& before, const std::string& diff, std::size_t& changedLines) {
    const std::vector<std::string> old = linesOf(before);
    std::vector<std::string> body = linesOf(diff);
    std::string result;
    std::size_t next = 0;  // next line of old not yet copied
    for (std::size_t i = 2; i < body.size(); ++i) {
        const std::string& line = body[i];
        if (line.rfind("\\ No newline", 0) == 0) continue;
        if (line.rfind("@@ -", 0) == 0) {
            std::size_t start = std::stoul(line.substr(4));
            const std::size_t comma = line.find(',');
            const std::size_t space = line.find(' ', 4);
            const bool empty = comma < space && std::stoul(line.substr(comma + 1)) == 0;
            if (!empty) --start;
            EXPECT_GE(start, next) << line;
            while (next < start) result += old.at(next++);
            continue;
        }
        const char mark = line[0];
        std::string content = line.substr(1);
        // A line without its line end is followed by the marker.
        if (i + 1 < body.size() && body[i + 1].rfind("\\ No newline", 0) == 0) content.pop_back();
        if (mark == ' ' || mark == '-') {
            EXPECT_LT(next, old.size());
            if (next < old.size()) {
                EXPECT_EQ(old[next], content);
            }
            ++next;
        }
        if (mark != ' ') ++changedLines;
        if (mark != '-') result += content;
    }
    while (next < old.size()) result += old[next++];
    return result;
}

std::size_t lcsLength(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::vector<std::size_t>> table(a.size() + 1, std::vector<std::size_t>(b.size() + 1, 0));
    for (std::size_t i = a.size(); i-- > 0;)
        for (std::size_t j = b.size(); j-- > 0;)
            table[i][j] = a[i] == b[j] ? table[i + 1][j + 1] + 1 : std::max(table[i + 1][j], table[i][j + 1]);
    return table[0][0];
}

std::string randomText(std::mt19937& random) {
    static const char* const pieces[] = {"a\n", "b\n", "c\r\n", "d\n", "a\r\n"};
    std::string text;
    const int count = static_cast<int>(random() % 14);
    for (int i = 0; i < count; ++i) text += pieces[random() % 5];
    if (random() % 3 == 0) text += "ende";  // no line end at the end
    return text;
}

// Random pairs of texts: the diff must turn before into after and change no
// more lines than a shortest edit needs.
TEST(UnifiedDiff, AppliesAndIsShortestForRandomTexts) {
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        const std::string before = randomText(random);
        const std::string after = random() % 5 == 0 ? before : randomText(random);
        const std::string diff = unifiedDiff("seite.html", before, after, static_cast<int>(random() % 4));
        if (before == after) {
            EXPECT_EQ(diff, "");
            continue;
        }
        ASSERT_EQ(diff.rfind("--- seite.html\n+++ seite.html\n@@ -", 0), 0u) << diff;
        std::size_t changed = 0;
        ASSERT_EQ(applyDiff(before, diff, changed), after) << diff;
        const auto a = linesOf(before), b = linesOf(after);
        EXPECT_EQ(changed, a.size() + b.size() - 2 * lcsLength(a, b)) << diff;
    }
}

// Beyond the bounded effort the middle becomes one replaced block, still exact.
TEST(UnifiedDiff, LargeChangesStillApply) {
    std::string before, after;
    for (int i = 0; i < 6000; ++i) {
        before += "zeile " + std::to_string(i) + "\n";
        after += (i % 2 ? "neu " : "zeile ") + std::to_string(i) + "\n";
    }
    std::size_t changed = 0;
    EXPECT_EQ(applyDiff(before, unifiedDiff("x", before, after), changed), after);
}

}  // namespace
}  // namespace quill::cli
