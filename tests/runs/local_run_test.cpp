#include "runs/local_run.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <random>

#include "addresses/address_audit.hpp"
#include "encoding/found_addresses.hpp"
#include "encoding/sequential_rule.hpp"
#include "engine/case_blind_replace.hpp"
#include "engine/found_text_replacement.hpp"
#include "files/fault_injection.hpp"
#include "files/file_io.hpp"
#include "html/char_reference.hpp"
#include "support/hook_scopes.hpp"
#include "support/recording_observer.hpp"
#include "support/temp_folder.hpp"

namespace quill {
namespace {

const std::string kMailto(kEncodedMailto);

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_ino;
}

using test::FileFaultScope;

// The message of the error the call raises, or "" when it raises none.
template <class Call>
std::string errorOf(Call call) {
    try {
        call();
    } catch (const QuillError& error) {
        return error.what();
    }
    return "";
}

// Runs the way the window does: the lists stay between runs.
class LocalRunTest : public ::testing::Test {
protected:
    std::string page(const std::string& name, const std::string& bytes) {
        const std::string path = folder.write(name, bytes);
        foundFiles.push_back(path);
        return path;
    }
    // Scans and rewrites paths with the found texts listed so far.
    LocalRunResult encode(const StringList& paths) {
        LocalRunParameters parameters = LocalRunParameters::over(paths);
        parameters.foundTexts = foundTexts;
        parameters.protectAll = protectAll;
        parameters.observer = &observer;
        LocalRunResult result = runLocalEncoding(parameters);
        foundTexts = result.foundTexts;
        return result;
    }
    // "Verzeichnis kodieren"
    RunOutcome encodeFoundFiles() { return encode(foundFiles).outcome; }
    // "Datei(en) auswählen und kodieren"
    RunOutcome encodeChosenFiles(const StringList& chosen) {
        foundFiles.insert(foundFiles.end(), chosen.begin(), chosen.end());
        return encode(chosen).outcome;
    }

    test::TempFolder folder;
    StringList foundFiles;
    StringList foundTexts;
    bool protectAll = false;
    test::RecordingObserver observer;
};

TEST_F(LocalRunTest, FoundTextsAreReplacedInEveryFileAndMailtoEverywhere) {
    const std::string a = page("a.html", "<a href=\"mailto:x@y.de\">X</a> <A HREF=\"mailto:q@r.de\">Q</A>");
    const std::string b = page("b.html", "Write to x@Y.DE\">x or MAILTO:someone, q@r.de\">Q\r\n");
    const RunOutcome outcome = encodeFoundFiles();
    EXPECT_EQ(outcome.kind, OutcomeKind::Information);
    EXPECT_EQ(outcome.text, "Die E-Mail-Adressen wurden erfolgreich kodiert!");
    EXPECT_EQ(foundTexts, (StringList{"x@y.de\">X", "q@r.de\">Q"}));

    const std::string x = fullEncoding("x@y.de") + "\">" + fullEncoding("X");
    const std::string q = fullEncoding("q@r.de") + "\">" + fullEncoding("Q");
    EXPECT_EQ(test::readFile(a), "<a href=\"" + kMailto + x + "</a> <A HREF=\"" + kMailto + q + "</A>");
    // Another spelling keeps its own letters.
    EXPECT_EQ(test::readFile(b), "Write to " + fullEncoding("x@Y.DE") + "\">" + fullEncoding("x") + " or " +
                                     fullEncoding("MAILTO:") + "someone, " + q + "\r\n");
}

TEST_F(LocalRunTest, FurtherAttributesOfALinkSurvive) {
    const std::string a = page("a.html", "<a href=\"mailto:x@y.de\" class=\"mail\" title=\"Schreiben\">Hi</a>");
    encodeFoundFiles();
    EXPECT_EQ(test::readFile(a), "<a href=\"" + kMailto + fullEncoding("x@y.de") +
                                     "\" class=\"mail\" title=\"Schreiben\">" + fullEncoding("Hi") + "</a>");
}

// Each page in its own encoding; its entities count as their characters.
TEST_F(LocalRunTest, EveryFileIsEncodedInItsOwnCharacters) {
    const std::string utf8 = page("utf8.html", "<a href=\"mailto:j\xc3\xbc@x.de\">J &amp; \xe2\x80\x93 &euro;</a>");
    const std::string cp1252 = page("cp1252.html", "<a href=\"mailto:j\xfc@x.de\">J &amp; \x96 &euro;</a>");
    encodeFoundFiles();
    const std::string address = "&#106&#252&#64&#120&#46&#100&#101";
    EXPECT_EQ(test::readFile(utf8), "<a href=\"" + kMailto + address + "\">&#74&#32&#38&#32&#8211&#32&#8364</a>");
    EXPECT_EQ(test::readFile(cp1252), "<a href=\"" + kMailto + address + "\">&#74&#32&#38&#32&#150&#32&#128</a>");
}

TEST_F(LocalRunTest, EncodedFilesYieldNothingNewButAreRewrittenAgain) {
    const std::string a = page("a.html", "<a href=\"mailto:x@y.de\">X</a>");
    encodeFoundFiles();
    const std::string encoded = test::readFile(a);
    const ino_t before = inodeOf(a);

    const RunOutcome again = encodeFoundFiles();  // pressed a second time
    EXPECT_EQ(again.kind, OutcomeKind::Information);
    EXPECT_EQ(foundTexts.size(), 1u);
    EXPECT_EQ(test::readFile(a), encoded);
    EXPECT_NE(inodeOf(a), before);

    foundFiles.clear();  // a fresh folder choice
    foundTexts.clear();
    foundFiles.push_back(a);
    const ino_t rewritten = inodeOf(a);
    const RunOutcome fresh = encodeFoundFiles();
    EXPECT_EQ(fresh.kind, OutcomeKind::Error);
    EXPECT_EQ(fresh.text, "Es wurden keine unkodierten E-Mail-Adressen gefunden!");
    EXPECT_EQ(inodeOf(a), rewritten);  // no file touched
}

TEST_F(LocalRunTest, AnEmptyFoundTextReportsSuccessButTouchesNoFile) {
    const std::string a = page("a.html", "a href=\"mailto:nothing behind, mailto:x");
    const ino_t before = inodeOf(a);
    const RunOutcome outcome = encodeFoundFiles();
    EXPECT_EQ(foundTexts, StringList{""});
    EXPECT_EQ(outcome.kind, OutcomeKind::Information);
    EXPECT_EQ(inodeOf(a), before);
    EXPECT_EQ(test::readFile(a), "a href=\"mailto:nothing behind, mailto:x");
}

TEST_F(LocalRunTest, ACrLfFoundTextIsReplacedOnlyWhereTheFileHasCrLf) {
    const std::string lf = page("lf.html", "<a href=\"mailto:p@q.de\">\nName</a>\n");
    const std::string crlf = page("crlf.html", "<a href=\"mailto:p@q.de\">\r\nName</a>\r\n");
    const std::string empty = page("empty.html", "");
    const ino_t emptyBefore = inodeOf(empty);
    encodeFoundFiles();
    EXPECT_EQ(foundTexts, StringList{"p@q.de\">\r\nName"});
    EXPECT_EQ(test::readFile(lf), "<a href=\"" + kMailto + "p@q.de\">\nName</a>\n");
    EXPECT_EQ(test::readFile(crlf),
              "<a href=\"" + kMailto + fullEncoding("p@q.de") + "\">" + fullEncoding("\r\nName") + "</a>\r\n");
    EXPECT_EQ(test::readFile(empty), "");
    EXPECT_NE(inodeOf(empty), emptyBefore);
}

TEST_F(LocalRunTest, ChosenFilesGetEveryEarlierFoundTextAndOnlyTheyAreRewritten) {
    const std::string a = page("a.html", "<a href=\"mailto:x@y.de\">X</a>");
    encodeFoundFiles();
    const ino_t aBefore = inodeOf(a);
    const std::string c = folder.write("c.html", "no link, just x@y.de\">X and Mailto:");
    const RunOutcome outcome = encodeChosenFiles({c});
    EXPECT_EQ(outcome.kind, OutcomeKind::Information);
    EXPECT_EQ(foundFiles, (StringList{a, c}));
    EXPECT_EQ(test::readFile(c), "no link, just " + fullEncoding("x@y.de") + "\">" + fullEncoding("X") + " and " +
                                     fullEncoding("Mailto:"));
    EXPECT_EQ(inodeOf(a), aBefore);
}

// Scan, rewrite and audit share one read of each page, also for a page
// listed twice, whether the run writes or not.
TEST_F(LocalRunTest, EachPageIsReadOnceAndWrittenOncePerRun) {
    const std::string a = page("a.html", "<a href=\"mailto:1@x.de\">1</a><a href=\"mailto:2@x.de\">2</a>");
    const std::string b = page("b.html", "<p>3@x.de</p> <a href=\"mailto:4@x.de\">4</a>");
    const std::string plain = page("plain.html", "<p>plain@x.de</p>");
    for (const bool writes : {true, false}) {
        std::map<std::pair<files::FileStep, std::string>, int> counts;
        LocalRunResult result;
        {
            FileFaultScope count([&](files::FileStep step, const std::string& path) {
                ++counts[{step, path}];
                return 0;
            });
            // Encoded pages yield no found text: the second round writes nothing.
            result = encode(writes ? foundFiles : StringList{a, b, plain, b});
        }
        if (writes) foundTexts.clear();
        for (const auto& path : {a, b, plain}) {
            EXPECT_EQ((counts[{files::FileStep::OpenRead, path}]), 1) << path << writes;
            EXPECT_EQ((counts[{files::FileStep::CreateTemp, path}]), writes ? 1 : 0) << path;
        }
        // The audit saw each page as the run left it.
        ASSERT_EQ(result.readable.size(), 2u);
        EXPECT_EQ(result.readable[0].address, "3@x.de");
        EXPECT_EQ(result.readable[1].path, plain);
    }
}

TEST_F(LocalRunTest, AFailureEndsTheRunWhereItArisesAndKeepsEarlierFiles) {
    struct Row {
        files::FileStep step;
        int errorNumber;
        std::string (*message)(const std::string& path);
    };
    const std::vector<Row> rows = {
        {files::FileStep::OpenRead, ENOENT, [](const std::string& p) { return files::openErrorText(p, ENOENT); }},
        {files::FileStep::ShortRead, EIO, [](const std::string&) { return std::string("Stream-Lesefehler"); }},
        {files::FileStep::CreateTemp, EACCES, [](const std::string& p) { return files::createErrorText(p, EACCES); }},
        // A full disk names the file and the reason.
        {files::FileStep::ShortWrite, ENOSPC, [](const std::string& p) { return files::writeErrorText(p, ENOSPC); }},
        {files::FileStep::Rename, EBUSY, [](const std::string& p) { return files::createErrorText(p, EBUSY); }},
        {files::FileStep::Sync, EIO, [](const std::string& p) { return files::writeErrorText(p, EIO); }},
    };
    const std::string link = "<a href=\"mailto:x@y.de\">X</a>";
    for (const auto& row : rows) {
        test::TempFolder trees;
        const StringList paths = {trees.write("1.html", link), trees.write("2.html", link),
                                  trees.write("3.html", link)};
        LocalRunParameters run;
        run.rewritten = paths;
        run.foundTexts = {"x@y.de\">X"};
        const std::string failing = paths[1];
        std::string message;
        {
            FileFaultScope fault([&](files::FileStep step, const std::string& path) {
                return step == row.step && path == failing ? row.errorNumber : 0;
            });
            message = errorOf([&] { runLocalEncoding(run); });
        }
        EXPECT_EQ(message, row.message(failing));
        EXPECT_NE(test::readFile(paths[0]), link);
        EXPECT_EQ(test::readFile(paths[1]), link);
        EXPECT_EQ(test::readFile(paths[2]), link);
    }
}

TEST_F(LocalRunTest, AWriteProtectedFileIsRefusedAndKeepsItsContent) {
    const std::string link = "<a href=\"mailto:x@y.de\">X</a>";
    const std::string a = page("a.html", link);
    const std::string b = page("b.html", link);
    ::chmod(b.c_str(), 0444);
    EXPECT_EQ(errorOf([&] { encodeFoundFiles(); }), files::createErrorText(b, EACCES));
    EXPECT_NE(test::readFile(a), link);
    EXPECT_EQ(test::readFile(b), link);
    EXPECT_EQ(observer.addresses.size(), 1u);
}

TEST_F(LocalRunTest, AVanishedFileIsSkippedByTheScanAndFailsTheRewrite) {
    const std::string a = page("a.html", "<a href=\"mailto:x@y.de\">X</a>");
    const std::string gone = folder.file("gone.html");
    foundFiles.push_back(gone);
    EXPECT_EQ(errorOf([&] { encodeFoundFiles(); }), files::openErrorText(gone, ENOENT));
    EXPECT_EQ(observer.addresses.size(), 1u);
    EXPECT_NE(test::readFile(a).find(kMailto), std::string::npos);
}

TEST_F(LocalRunTest, AFileTheScanCannotOpenStopsTheRunBeforeAnyRewrite) {
    const std::string link = "<a href=\"mailto:x@y.de\">X</a>";
    const std::string a = page("a.html", link);
    const std::string b = page("b.html", link);
    FileFaultScope fault([&](files::FileStep step, const std::string& path) {
        return step == files::FileStep::OpenRead && path == b ? EACCES : 0;
    });
    EXPECT_EQ(errorOf([&] { encodeFoundFiles(); }), files::openErrorText(b, EACCES));
    EXPECT_EQ(test::readFile(a), link);
    EXPECT_EQ(observer.addresses.size(), 1u);
}

TEST_F(LocalRunTest, SearchTakesEveryMaskButListsEachFileOnce) {
    folder.write("sub/page.html", "x");
    folder.write("\xc3\xa4rger.html", "x");  // "ärger.html"
    // A file that several masks match is listed once, where the first found it.
    EXPECT_EQ(searchFolder(folder.path(), {"*.htm", "*.html", "\xe4*.html"}, true),
              (StringList{folder.file("\xc3\xa4rger.html"), folder.file("sub/page.html")}));
    EXPECT_EQ(searchFolder(folder.path(), {"*.html"}, false), StringList{folder.file("\xc3\xa4rger.html")});
}

TEST(FoundAddresses, ExactDuplicateTestInFirstDeliveryOrder) {
    FoundAddresses list;
    for (const std::string text : {"b", "a", "B", "b", "", "a", ""}) list.add(text);
    EXPECT_EQ(list.items(), (StringList{"b", "a", "B", ""}));
    EXPECT_TRUE(Adresse_vorhanden("B", list));
    EXPECT_TRUE(Adresse_vorhanden("", list));
    EXPECT_FALSE(Adresse_vorhanden("A", list));
    EXPECT_FALSE(Adresse_vorhanden("b ", list));
    list.clear();
    EXPECT_FALSE(Adresse_vorhanden("b", list));
}

TEST(ErgebnisMelden, SuccessWhenAnyEntryIsListed) {
    EXPECT_EQ(Ergebnis_melden({}, false).kind, OutcomeKind::Error);
    EXPECT_EQ(Ergebnis_melden({""}, false).kind, OutcomeKind::Information);
    EXPECT_EQ(Ergebnis_melden({}, true).kind, OutcomeKind::Information);
}

// The run over real files against the file-by-file rule: every found text
// with its own rewrite of every file, then "mailto:" with another.
TEST(LocalRun, SameFilesAsRewritingOnceForEveryReplacement) {
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"<a href=\"mailto:",
                                             "A HREF=\"mailto:",
                                             "a@b.de",
                                             "A@B.DE",
                                             "\">",
                                             "x",
                                             "</a>",
                                             "\r\n",
                                             "\n",
                                             "mailto:",
                                             "&amp;",
                                             std::string(1, '\0'),
                                             "\xe4",
                                             "\xc3\xbc"};
    for (int round = 0; round < 40; ++round) {
        test::TempFolder batched;
        test::TempFolder sequential;
        StringList batchedPaths;
        StringList sequentialPaths;
        for (int f = 0; f < 3; ++f) {
            std::string bytes;
            for (std::size_t i = random() % 30; i > 0; --i) bytes += pieces[random() % pieces.size()];
            const std::string name = std::to_string(f) + ".html";
            batchedPaths.push_back(batched.write(name, bytes));
            sequentialPaths.push_back(sequential.write(name, bytes));
        }
        batchedPaths.push_back(batchedPaths.front());  // the same file listed twice
        sequentialPaths.push_back(sequentialPaths.front());

        LocalRunParameters run = LocalRunParameters::over(batchedPaths);
        run.foundTexts = {pieces[random() % pieces.size()]};
        const StringList found = runLocalEncoding(run).foundTexts;

        for (const auto& path : withoutRepeats(sequentialPaths))  // a file listed twice is done once
            files::replaceFileContents(path, test::sequentialRule(test::readFile(path), found));
        for (int f = 0; f < 3; ++f)
            ASSERT_EQ(test::readFile(batchedPaths[f]), test::readFile(sequentialPaths[f])) << "round " << round;
    }
}

TEST_F(LocalRunTest, TheOptionEncodesPlainAddressesEvenWithoutFoundTexts) {
    const std::string plain = "<p>Impressum: info@example.de</p><script>s='js@example.de'</script>";
    for (const bool option : {false, true}) {
        foundFiles.clear();
        foundTexts.clear();
        const std::string a = page("a.html", plain);
        const std::string clean = page("clean.html", "<p>nichts</p>");
        const ino_t cleanBefore = inodeOf(clean);
        protectAll = option;
        const LocalRunResult result = encode(foundFiles);
        const RunOutcome& outcome = result.outcome;
        EXPECT_EQ(inodeOf(clean), cleanBefore) << option;  // nothing to encode: not rewritten

        const auto audit = result.auditOutcome();
        ASSERT_TRUE(audit.has_value());
        EXPECT_EQ(audit->kind, OutcomeKind::Error);
        if (option) {
            EXPECT_EQ(outcome.kind, OutcomeKind::Information);
            EXPECT_EQ(test::readFile(a), protectAllAddresses(plain));
            EXPECT_EQ(audit->text.find("info@example.de"), std::string::npos) << audit->text;
        } else {
            EXPECT_EQ(outcome.kind, OutcomeKind::Error);
            EXPECT_EQ(test::readFile(a), plain);
            EXPECT_NE(audit->text.find(a + ":1: info@example.de"), std::string::npos) << audit->text;
        }
        EXPECT_NE(audit->text.find(a + ":1: js@example.de"), std::string::npos) << audit->text;
    }
}

TEST_F(LocalRunTest, WithTheOptionFoundTextsAreReplacedFirst) {
    const std::string text = "<a href=\"mailto:x@y.de\">X</a> <a href='mailto:q@r.de'>Q</a>";
    const std::string a = page("a.html", text);
    protectAll = true;
    const LocalRunResult result = encode(foundFiles);
    EXPECT_EQ(result.outcome.kind, OutcomeKind::Information);
    EXPECT_EQ(test::readFile(a), protectAllAddresses(RunReplacements(foundTexts).apply(text)));
    EXPECT_FALSE(result.auditOutcome().has_value());
}

}  // namespace
}  // namespace quill
