#include "app/progress_window.hpp"

#include <gtest/gtest.h>

#include <QProgressBar>

#include "app_test_support.hpp"

namespace quill {
namespace {

using test::control;

constexpr std::uint64_t kMb = ItemBytes::kEvery;

// What the window shows after each state of a step: the bar counts finished
// items and the share done of a large one, never goes back, and the last
// item stays named between items and at the step's end.
TEST(ProgressWindowBar, CountsItemsAndTheShareOfALargeOneAndKeepsTheNameWithTheStep) {
    ProgressWindow window(nullptr);
    std::vector<int> values;
    QObject::connect(&control<QProgressBar>(window, "Fortschritt"), &QProgressBar::valueChanged,
                     [&](int value) { values.push_back(value); });
    const RunProgressState states[] = {
        {RunStep::Encoding, 0, 3, {}},
        {RunStep::Encoding, 0, 3, "a.html"},
        {RunStep::Encoding, 1, 3, "b.html"},
        {RunStep::Encoding, 1, 3, {}},
        {RunStep::Encoding, 1, 3, "b.html", 1 * kMb, 3 * kMb},
        {RunStep::Encoding, 1, 3, "b.html", 2 * kMb, 3 * kMb},
        {RunStep::Encoding, 2, 3, "c.html"},
        {RunStep::Encoding, 3, 3, {}},
    };
    QString named;
    std::vector<int> shown;
    for (const RunProgressState& state : states) {
        window.showProgress(state);
        if (!state.current.empty()) named = QString::fromStdString(state.current);
        EXPECT_EQ(window.stepText(), QString::fromUtf8("Dateien werden kodiert…"));
        EXPECT_EQ(window.currentText(), named);
        EXPECT_GT(window.barMaximum(), 0);
        shown.push_back(window.barValue());
    }
    EXPECT_EQ(shown[1], 0);
    EXPECT_GT(shown[2], 0);  // the first file done
    EXPECT_EQ(shown[3], shown[2]);
    EXPECT_GT(shown[4], shown[3]);  // a share of the file in hand
    EXPECT_GT(shown[5], shown[4]);
    EXPECT_GT(shown[6], shown[5]);
    EXPECT_EQ(shown[7], window.barMaximum());
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));

    // A search has no total: a busy bar, with the folder in hand.
    window.showProgress({RunStep::Searching, 12, 0, "/site/sub"});
    EXPECT_EQ(window.barMaximum(), 0);
    EXPECT_EQ(window.currentText(), "/site/sub");
    // However many files, the first one done moves the bar.
    window.showProgress({RunStep::Scanning, 1, 3'000'000'000, "x.html"});
    EXPECT_GT(window.barValue(), 0);
    EXPECT_LT(window.barValue(), window.barMaximum());
}

}  // namespace
}  // namespace quill
