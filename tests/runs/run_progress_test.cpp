#include "runs/run_progress.hpp"

#include <gtest/gtest.h>

#include "runs/local_run.hpp"
#include "support/recording_observer.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

using test::RecordingObserver;

// Four pages in a tree; the addresses of one page reach the others too.
const std::pair<const char*, const char*> kPages[] = {
    {"a.html", "<a href=\"mailto:a@b.de\">A</a>"},
    {"b.html", "schreiben Sie an A@B.DE\">a oder mailto:"},
    {"sub/c.html", "<A HREF=\"mailto:c@d.de\">C</A>"},
    {"sub/d.html", "kein Link"},
};

class ObservedRuns : public ::testing::Test {
protected:
    // The pages in a fresh folder, searched and listed.
    std::string writePages(const test::TempFolder& folder) {
        for (const auto& [name, bytes] : kPages) folder.write(name, bytes);
        return folder.path();
    }
    StringList contents(const StringList& paths) {
        StringList bytes;
        for (const auto& path : paths) bytes.push_back(test::readFile(path));
        return bytes;
    }
};

TEST_F(ObservedRuns, TheObserverHearsEveryStepAndRebuildsBothLists) {
    test::TempFolder folder;
    RecordingObserver observer;
    const StringList files = searchFolder(writePages(folder), {"*.html", "*.htm"}, true, &observer);
    LocalRunParameters parameters = LocalRunParameters::over(files);
    parameters.observer = &observer;
    const LocalRunResult result = runLocalEncoding(parameters);

    EXPECT_EQ(result.outcome.kind, OutcomeKind::Information);
    EXPECT_EQ(observer.foundFiles, files);
    EXPECT_EQ(observer.addresses, result.foundTexts);
    EXPECT_EQ(observer.steps, (std::vector<RunStep>{RunStep::Searching, RunStep::Scanning, RunStep::Encoding}));
    const std::size_t listed = files.size();
    EXPECT_EQ(observer.totals, (std::vector<std::size_t>{0, listed, listed}));
}

// A page over 1 MB tells how far its scan has read once per MB, a small one
// only counts as one item.
TEST_F(ObservedRuns, APageOverOneMegabyteReportsTheBytesItsScanRead) {
    test::TempFolder folder;
    const std::string big = "<a href=\"mailto:a@b.de\">A</a>" + std::string(3 * ItemBytes::kEvery + 1000, 'x');
    const StringList files = {folder.write("a.html", kPages[0].second), folder.write("b.html", big)};
    RecordingObserver observer;
    LocalRunParameters parameters = LocalRunParameters::over(files);
    parameters.observer = &observer;
    runLocalEncoding(parameters);
    EXPECT_TRUE(observer.reportedOncePerMegabyte(RunStep::Scanning, 1, big.size()));
    EXPECT_EQ(observer.itemBytes.size(), 3u);
}

// A cancel at any point leaves every page either as it was or exactly as an
// uncancelled run makes it, and names the pages it did not rewrite.
TEST_F(ObservedRuns, ACancelLeavesEveryFileOriginalOrFullyEncoded) {
    test::TempFolder reference;
    const StringList wholeFiles = searchFolder(writePages(reference), {"*.html"}, true);
    const StringList original = contents(wholeFiles);
    runLocalEncoding(LocalRunParameters::over(wholeFiles));
    const StringList encoded = contents(wholeFiles);
    const std::size_t count = original.size();
    ASSERT_EQ(count, std::size(kPages));

    for (const RunStep step : {RunStep::Scanning, RunStep::Encoding}) {
        for (std::size_t during = 0; during < count; ++during) {
            SCOPED_TRACE(testing::Message() << "step " << static_cast<int>(step) << ", item " << during);
            test::TempFolder folder;
            RecordingObserver observer;
            observer.cancelAt = RecordingObserver::CancelPoint{step, during};
            const StringList paths = searchFolder(writePages(folder), {"*.html"}, true, &observer);
            LocalRunParameters parameters = LocalRunParameters::over(paths);
            parameters.observer = &observer;

            // A cancel during the last scan takes effect before the first rewrite.
            const bool lastItem = during + 1 == count;
            const RunStep stopsIn = step == RunStep::Scanning && !lastItem ? RunStep::Scanning : RunStep::Encoding;
            const std::size_t expectRewritten = step == RunStep::Encoding ? during + 1 : 0;
            std::size_t rewritten = count;
            try {
                runLocalEncoding(parameters);
                EXPECT_TRUE(step == RunStep::Encoding && lastItem) << "the cancel was not taken";
            } catch (const RunCancelled& cancelled) {
                EXPECT_EQ(cancelled.step(), stopsIn);
                rewritten = expectRewritten;
                if (stopsIn == RunStep::Encoding) {
                    EXPECT_EQ(cancelled.finished(), rewritten);
                    EXPECT_EQ(cancelled.unfinished(), StringList(paths.begin() + rewritten, paths.end()));
                }
            }
            const StringList now = contents(paths);
            for (std::size_t i = 0; i < count; ++i)
                EXPECT_EQ(now[i], i < rewritten ? encoded[i] : original[i]) << paths[i];
        }
    }
}

TEST_F(ObservedRuns, ACancelledSearchKeepsTheFilesListedSoFar) {
    test::TempFolder folder;
    const std::string root = writePages(folder);
    const StringList whole = searchFolder(root, {"*.html"}, true);

    // The files listed so far are those the observer heard of.
    RecordingObserver observer;
    observer.cancelAt = RecordingObserver::CancelPoint{RunStep::Searching, 1};
    EXPECT_THROW(searchFolder(root, {"*.html"}, true, &observer), RunCancelled);
    const StringList& listed = observer.foundFiles;
    ASSERT_LT(listed.size(), whole.size());
    EXPECT_GE(listed.size(), 1u);
    EXPECT_EQ(listed, StringList(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(listed.size())));
}

TEST(CancelledRunMessage, CountsAndNamesOnlyForRewritingAndUploading) {
    StringList twelve;
    for (int i = 1; i <= 12; ++i) twelve.push_back("s" + std::to_string(i) + ".html");
    const std::string first10 =
        "\r\ns1.html\r\ns2.html\r\ns3.html\r\ns4.html\r\ns5.html\r\ns6.html\r\ns7.html"
        "\r\ns8.html\r\ns9.html\r\ns10.html";
    const struct {
        RunCancelled cancelled;
        std::string text;
    } cases[] = {
        {{RunStep::Searching, 0, {}}, "Der Vorgang wurde abgebrochen."},
        {{RunStep::Scanning, 2, {"/a.html"}}, "Der Vorgang wurde abgebrochen."},
        {{RunStep::Downloading, 1, {"a.html"}}, "Der Vorgang wurde abgebrochen."},
        {{RunStep::Encoding, 1, {"/x/b.html", "/x/c.html"}},
         "Der Vorgang wurde abgebrochen.\r\n\r\n1 von 3 Dateien wurde kodiert.\r\nNicht kodiert wurden:"
         "\r\n/x/b.html\r\n/x/c.html"},
        {{RunStep::Encoding, 3, {}}, "Der Vorgang wurde abgebrochen.\r\n\r\n3 von 3 Dateien wurden kodiert."},
        {{RunStep::Uploading, 0, {"ä.html"}},
         "Der Vorgang wurde abgebrochen.\r\n\r\n0 von 1 Dateien wurden hochgeladen.\r\nNicht hochgeladen wurde:"
         "\r\nä.html"},
        {{RunStep::Uploading, 2, twelve},
         "Der Vorgang wurde abgebrochen.\r\n\r\n2 von 14 Dateien wurden hochgeladen.\r\nNicht hochgeladen wurden:" +
             first10 + "\r\n(und 2 weitere)"},
    };
    for (const auto& [cancelled, text] : cases) EXPECT_EQ(cancelledRunMessage(cancelled), text);
}

}  // namespace
}  // namespace quill
