// Window-list files: the bytes an export writes, every quirk of the reader a
// stored file relies on, and an old file surviving every failed export.
#include <gtest/gtest.h>

#include <random>
#include <unordered_set>

#include "platform/memory/memory_files.h"
#include "platform/memory/memory_platform.h"
#include "store/list_file.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;
const char kPath[] = "C:\\lists\\mine.wnl";
const std::string kHead = "QUELLBOX2\r\n\r\n";

// An entry with every character's key `k`, as a line.
std::string Encoded(const std::string& entry, int k = 68) {
    std::string bytes;
    for (char ch : entry) bytes += {static_cast<char>(static_cast<unsigned char>(ch) + k), static_cast<char>(k)};
    return bytes;
}
std::string Line(const std::string& entry, int k = 68) { return Encoded(entry, k) + "\r\n"; }

struct Fixture {
    MemoryFiles files;
    MemoryProcess process;
    ScriptedRandom random;
    MemoryListBox box;
    EntryList lv{&box};
    LowerTable lower = LowerTable::Windows1252();
    ListFile list{files, process, random, lv, lower};

    explicit Fixture(const Strings& entries = {}) { lv.Assign(entries); }
    ImportOutcome Import(const std::string& bytes) {
        files.files[kPath] = bytes;
        return list.ImportWindowList(kPath, 0x55);
    }
};

TEST(ListFileFormat, AnExportIsTheHeaderAnEmptyLineAndOneLinePerEntry) {
    for (const Strings& list : {Strings{}, Strings{"abc", "Daily offer"}}) {
        Fixture f(list);
        EXPECT_TRUE(f.list.ExportWindowList(kPath, 0x55));
        std::string expected = kHead;
        for (const std::string& entry : list) expected += Line(entry);
        EXPECT_EQ(f.files.files, (std::map<std::string, std::string>{{kPath, expected}}));
        EXPECT_TRUE(f.process.boxes.empty());
    }
}

TEST(ListFileFormat, EachCharacterBecomesItsSumAndKey) {
    const std::tuple<std::string, double, std::string> cases[] = {
        {"abc", 0.0, "\xA5\x44\xA6\x44\xA7\x44"},
        {"a", 0.9999, "\xBA\x59"},                      // k = 89, the top of the usual range
        {"\xA6", 0.9999, "\xFF\x59"},                   // 166 + 89 still fits a byte
        {"\xB0", 0.9999, "\xFF\x4F"},                   // 176: k held to 79
        {"\xBB", 0.5, "\xFF\x44"},                      // 187: only k = 68 fits
        {"\xF3", 10.5 / 12, "\xFE\x0B"},                // 243: k from 0..12 without 10 (LF)
        {"\xFF", 0.7, std::string("\xFF\x00", 2)},      // 255: only k = 0
    };
    for (const auto& [entry, r, bytes] : cases) {
        ScriptedRandom random({r});
        EXPECT_EQ(EncodeEntry(entry, random), bytes) << entry;
    }
}

TEST(ListFileFormat, RandomListsSurviveExportAndImport) {
    const std::tuple<const char*, int, int> ranges[] = {
        {"printable", 32, 126}, {"high", 128, 255}, {"upper high", 188, 255}, {"control", 1, 31}};
    std::mt19937 rng(7);
    for (const auto& [name, low, high] : ranges) {
        Fixture f;
        SeededRandom keys;
        ListFile list{f.files, f.process, keys, f.lv, f.lower};
        std::unordered_set<std::string> seen;
        while (f.lv.Count() < 300) {
            std::string entry(5 + rng() % 250, ' ');
            for (char& ch : entry) ch = static_cast<char>(low + static_cast<int>(rng() % (high - low + 1)));
            if (seen.insert(f.lower.Lower(entry)).second) f.lv.Add(entry);
        }
        ASSERT_TRUE(list.ExportWindowList(kPath, 0));
        // Line ends aside, no CR or LF: other readers may split lines at either.
        std::string body = f.files.files[kPath];
        for (auto at = body.find("\r\n"); at != std::string::npos; at = body.find("\r\n", at)) body.erase(at, 2);
        EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos) << name;
        const Strings written = f.lv.Items();
        f.lv.Clear();
        f.files.SetReadChunk(1 + rng() % 700);
        EXPECT_EQ(list.ImportWindowList(kPath, 0), ImportOutcome::kComplete) << name;
        EXPECT_EQ(f.lv.Items(), written) << name;
    }
}

TEST(ListFileImport, ReaderRules) {
    using O = ImportOutcome;
    const std::tuple<const char*, std::string, O, Strings> cases[] = {  // what is added to {"Calculator"}
        {"other-case header", "quellbox2\r\n\r\n" + Line("Notepad"), O::kWrongHeader, {}},
        {"padded header", "QUELLBOX2 \r\n\r\n" + Line("Notepad"), O::kWrongHeader, {}},
        {"LF-only file", "QUELLBOX2\n\n" + Encoded("Notepad") + "\n", O::kWrongHeader, {}},
        {"empty file", "", O::kReadFailed, {}},
        {"header only", "QUELLBOX2", O::kComplete, {}},
        {"header and line 2", kHead, O::kComplete, {}},
        {"line 2 skipped", "QUELLBOX2\r\n" + Line("Notepad") + Line("Wordpad"), O::kComplete, {"Wordpad"}},
        {"no final CR LF", kHead + Line("Notepad") + Encoded("Wordpad"), O::kComplete, {"Notepad", "Wordpad"}},
        {"blank lines", kHead + "\r\n" + Line("Notepad") + "\r\n\r\n" + Line("Wordpad"), O::kComplete,
         {"Notepad", "Wordpad"}},
        {"CR alone ends a line", "QUELLBOX2\r\r" + Encoded("Notepad") + "\r", O::kComplete, {"Notepad"}},
        {"lone LF is data", kHead + "R\n" + Line("ello!"), O::kComplete, {"Hello!"}},
        {"any usual key", kHead + Line("Window \xA6~", 89) + Line("Window 77", 77), O::kComplete,
         {"Window \xA6~", "Window 77"}},
        {"repeats ignoring case", kHead + Line("Notepad") + Line("NOTEPAD") + Line("calculator"), O::kComplete,
         {"Notepad"}},
        {"five characters at least", kHead + Line("abcd") + Line("abcde"), O::kComplete, {"abcde"}},
        {"odd line stops", kHead + Line("Notepad") + "abc\r\n" + Line("Wordpad"), O::kBadLine, {"Notepad"}},
        {"pair a < b stops", kHead + Line("Notepad") + "DE\r\n" + Line("Wordpad"), O::kBadLine, {"Notepad"}},
        {"pair giving NUL stops", kHead + Line("Notepad") + Encoded("ab") + "DD" + Line("xyz"), O::kBadLine,
         {"Notepad"}},
        {"overlong line stops", kHead + Line("Notepad") + Line(std::string(2100, 'w')) + Line("Wordpad"),
         O::kBadLine, {"Notepad"}},
    };
    for (const auto& [name, bytes, outcome, added] : cases) {
        for (std::size_t chunk : {1, 3, 4096}) {
            Fixture f({"Calculator"});
            f.files.SetReadChunk(chunk);
            EXPECT_EQ(f.Import(bytes), outcome) << name;
            Strings expected{"Calculator"};
            expected.insert(expected.end(), added.begin(), added.end());
            EXPECT_EQ(f.lv.Items(), expected) << name;
            EXPECT_EQ(f.files.OpenHandles(), 0u) << name;
            const BoxFacts told("This window list is invalid, or it may be from an newer version of Quellwatch.",
                                "Unrecognized File Header", 0x10010u, 0x55);
            EXPECT_EQ(FactsOf(f.process.boxes), std::vector<BoxFacts>(outcome == O::kWrongHeader, told)) << name;
        }
    }
}

TEST(ListFileImport, StopsAtTheListLimit) {
    const Strings incoming{"ENTRY10003", "Fresh one", "FRESH ONE", "Fresh two", "Fresh three"};
    for (const int room : {3, 2}) {
        Fixture f;
        for (int i = 0; i < EntryList::kMaxEntries - room; ++i) f.lv.Add("Entry" + std::to_string(10000 + i));
        std::string file = kHead;
        for (const auto& e : incoming) file += Line(e);
        EXPECT_EQ(f.Import(file), room == 3 ? ImportOutcome::kComplete : ImportOutcome::kListFull);
        EXPECT_EQ(f.lv.Count(), EntryList::kMaxEntries - room + std::min(room, 3));
        EXPECT_EQ(f.lv.At(EntryList::kMaxEntries - room), "Fresh one");
        const BoxFacts told("The window list is full: it holds at most 32,767 entries.\r\n"
                            "The rest of the file was not imported.", "Error", 0x10010u, 0x55);
        EXPECT_EQ(FactsOf(f.process.boxes), std::vector<BoxFacts>(room == 2, told));
    }
}

TEST(ListFileImport, EveryFailedOperationClosesTheFileAndKeepsWhatWasAdded) {
    std::string file = kHead;
    Strings all;
    for (int i = 0; i < 12; ++i) {
        all.push_back("Popup number " + std::to_string(i));
        file += Line(all.back());
    }
    Fixture clean;
    clean.files.SetReadChunk(64);
    clean.Import(file);
    const std::uint64_t operations = clean.files.Operations();
    for (std::uint64_t n = 1; n <= operations; ++n) {
        Fixture f;
        f.files.SetReadChunk(64);
        f.files.FailAt(n);
        const ImportOutcome outcome = f.Import(file);
        EXPECT_EQ(f.files.OpenHandles(), 0u) << n;
        EXPECT_TRUE(f.process.boxes.empty()) << n;
        EXPECT_EQ(f.lv.Items(), Strings(all.begin(), all.begin() + f.lv.Count())) << n;
        EXPECT_EQ(outcome, n == 1 ? ImportOutcome::kNoFile
                           : n == operations ? ImportOutcome::kComplete : ImportOutcome::kReadFailed) << n;
    }
}

TEST(ListFileExport, AFailureAnywhereLeavesTheOldFileWhole) {
    Fixture clean;
    for (int i = 0; i < 300; ++i) clean.lv.Add(std::string(240, 'a' + i % 26) + std::to_string(i));
    ASSERT_TRUE(clean.list.ExportWindowList(kPath, 0));
    ASSERT_GT(clean.files.files[kPath].size(), 2u * 64 * 1024);  // more than one block written
    for (bool stop : {false, true}) {
        for (std::uint64_t n = 1; n <= clean.files.Operations(); ++n) {
            Fixture f(clean.lv.Items());
            f.files.files[kPath] = "old list";
            stop ? f.files.StopAt(n) : f.files.FailAt(n);
            bool ok = true;
            try {
                ok = f.list.ExportWindowList(kPath, 0x77);
            } catch (const ProcessStopped&) {
                ok = false;
            }
            EXPECT_FALSE(ok) << n;
            EXPECT_EQ(f.files.files[kPath], "old list") << n;
            if (stop) continue;  // a stopped process leaves its temporary file
            EXPECT_EQ(f.files.files.size(), 1u) << n;
            EXPECT_EQ(f.files.OpenHandles(), 0u) << n;
            const BoxFacts told(std::string("Cannot write the window list to\r\n") + kPath, "Error", 0x10010u, 0x77);
            EXPECT_EQ(FactsOf(f.process.boxes), std::vector<BoxFacts>{told}) << n;
        }
    }
}

TEST(UnquotePath, StripsBlanksAndOnePairOfQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a.wnl", "C:\\a.wnl"},           {"  C:\\my lists\\a.wnl \t", "C:\\my lists\\a.wnl"},
        {"\"C:\\my lists\\a.wnl\"", "C:\\my lists\\a.wnl"}, {" \"  C:\\a.wnl \" ", "C:\\a.wnl"},
        {"\"\"C:\\a.wnl\"\"", "\"C:\\a.wnl\""}, {"\"C:\\a.wnl", "\"C:\\a.wnl"}, {"\"", "\""}, {"", ""},
    };
    for (const auto& [text, path] : cases) EXPECT_EQ(UnquotePath(text), path) << text;
}

}  // namespace
}  // namespace qw
