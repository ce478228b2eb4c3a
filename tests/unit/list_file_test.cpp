// Window-list files: the bytes an export writes, every quirk of the reader a
// stored file relies on, and an old file surviving every failed export.
#include <gtest/gtest.h>

#include <random>
#include <unordered_set>

#include "platform/memory/memory_files.h"
#include "platform/memory/memory_platform.h"
#include "store/list_file.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;
const char kPath[] = "C:\\lists\\mine.wnl";
const std::string kHead = "QUELLBOX2\r\n\r\n";

// An entry with every key 68 (the lowest of the usual range), and as a line.
std::string Encoded(const std::string& entry) {
    ScriptedRandom lowest;
    return EncodeEntry(entry, lowest);
}
std::string Line(const std::string& entry) { return Encoded(entry) + "\r\n"; }

struct Fixture {
    MemoryFiles files;
    MemoryProcess process;
    ScriptedRandom random;
    MemoryListBox box;
    EntryList lv{&box};
    LowerTable lower = LowerTable::Windows1252();
    ListFile list{files, process, random, lv, lower};

    explicit Fixture(const Strings& entries = {}) {
        for (const auto& e : entries) lv.Add(e);
    }
    ImportOutcome Import(const std::string& bytes) {
        files.files[kPath] = bytes;
        return list.ImportWindowList(kPath, 0x55);
    }
};

TEST(ListFileFormat, EmptyListExportsHeaderAndEmptyLine) {
    Fixture f;
    EXPECT_TRUE(f.list.ExportWindowList(kPath, 0x55));
    EXPECT_EQ(f.files.files, (std::map<std::string, std::string>{{kPath, kHead}}));
    EXPECT_TRUE(f.process.boxes.empty());
}

TEST(ListFileFormat, EachCharacterBecomesItsSumAndKey) {
    struct Case {
        std::string entry;
        double r;
        std::string bytes;
    };
    const Case cases[] = {
        {"abc", 0.0, "\xA5\x44\xA6\x44\xA7\x44"},
        {"a", 0.9999, std::string("\xBA\x59")},         // k = 89, the top of the usual range
        {"\xA6", 0.9999, std::string("\xFF\x59")},      // 166 + 89 still fits a byte
        {"\xB0", 0.9999, std::string("\xFF\x4F")},      // 176: k held to 79
        {"\xBB", 0.5, std::string("\xFF\x44")},         // 187: only k = 68 fits
        {"\xF3", 10.5 / 12, std::string("\xFE\x0B")},   // 243: k from 0..12 without 10 (LF)
        {"\xFF", 0.7, std::string("\xFF\x00", 2)},      // 255: only k = 0
    };
    for (const Case& c : cases) {
        ScriptedRandom random({c.r});
        EXPECT_EQ(EncodeEntry(c.entry, random), c.bytes) << c.entry;
    }
}

TEST(ListFileFormat, RandomListsSurviveExportAndImport) {
    struct Case {
        const char* name;
        int low, high;
    };
    const Case cases[] = {{"printable", 32, 126}, {"high", 128, 255}, {"upper high", 188, 255}, {"control", 1, 31}};
    std::mt19937 rng(7);
    for (const Case& c : cases) {
        Fixture f;
        SeededRandom keys;
        ListFile list{f.files, f.process, keys, f.lv, f.lower};
        std::unordered_set<std::string> seen;
        while (f.lv.Count() < 300) {
            std::string entry(5 + rng() % 250, ' ');
            for (char& ch : entry) ch = static_cast<char>(c.low + static_cast<int>(rng() % (c.high - c.low + 1)));
            if (seen.insert(f.lower.Lower(entry)).second) f.lv.Add(entry);
        }
        ASSERT_TRUE(list.ExportWindowList(kPath, 0));
        // Line ends aside, no CR or LF: other readers may split lines at either.
        std::string body = f.files.files[kPath];
        for (auto at = body.find("\r\n"); at != std::string::npos; at = body.find("\r\n", at)) body.erase(at, 2);
        EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos) << c.name;
        const Strings written = f.lv.Items();
        f.lv.Clear();
        f.files.SetReadChunk(1 + rng() % 700);
        EXPECT_EQ(list.ImportWindowList(kPath, 0), ImportOutcome::kComplete) << c.name;
        EXPECT_EQ(f.lv.Items(), written) << c.name;
    }
}

TEST(ListFileFormat, FilesWithAnyUsualKeyImportUnchanged) {
    std::string file = kHead;
    Strings expected;
    for (int k = 68; k <= 89; ++k) {
        std::string entry = "Window " + std::to_string(k) + " \xA6~";
        for (char ch : entry) file += {static_cast<char>(static_cast<unsigned char>(ch) + k), static_cast<char>(k)};
        file += "\r\n";
        expected.push_back(entry);
    }
    Fixture f;
    EXPECT_EQ(f.Import(file), ImportOutcome::kComplete);
    EXPECT_EQ(f.lv.Items(), expected);
}

TEST(ListFileImport, ReaderRules) {
    using O = ImportOutcome;
    struct Case {
        const char* name;
        std::string bytes;
        O outcome;
        Strings added;  // to the list {"Calculator"}
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        for (std::size_t chunk : {1, 3, 4096}) {
            Fixture f({"Calculator"});
            f.files.SetReadChunk(chunk);
            EXPECT_EQ(f.Import(c.bytes), c.outcome) << c.name;
            Strings expected{"Calculator"};
            expected.insert(expected.end(), c.added.begin(), c.added.end());
            EXPECT_EQ(f.lv.Items(), expected) << c.name;
            EXPECT_EQ(f.files.OpenHandles(), 0u) << c.name;
            ASSERT_EQ(f.process.boxes.size(), c.outcome == O::kWrongHeader ? 1u : 0u) << c.name;
            if (f.process.boxes.empty()) continue;
            const MemoryProcess::Box& box = f.process.boxes[0];
            EXPECT_EQ(box.text, "This window list is invalid, or it may be from an newer version of Quellwatch.");
            EXPECT_EQ(box.caption, "Unrecognized File Header");
            EXPECT_EQ(box.flags, 0x10010u);
            EXPECT_EQ(box.owner, 0x55u);
        }
    }
}

TEST(ListFileImport, StopsAtTheListLimit) {
    struct Case {
        int room;
        ImportOutcome outcome;
    };
    const Strings incoming{"ENTRY10003", "Fresh one", "FRESH ONE", "Fresh two", "Fresh three"};
    for (const Case& c : {Case{3, ImportOutcome::kComplete}, Case{2, ImportOutcome::kListFull}}) {
        Fixture f;
        for (int i = 0; i < EntryList::kMaxEntries - c.room; ++i) f.lv.Add("Entry" + std::to_string(10000 + i));
        std::string file = kHead;
        for (const auto& e : incoming) file += Line(e);
        EXPECT_EQ(f.Import(file), c.outcome);
        EXPECT_EQ(f.lv.Count(), EntryList::kMaxEntries - c.room + std::min(c.room, 3));
        EXPECT_EQ(f.lv.At(EntryList::kMaxEntries - c.room), "Fresh one");
        ASSERT_EQ(f.process.boxes.size(), c.outcome == ImportOutcome::kListFull ? 1u : 0u);
        if (f.process.boxes.empty()) continue;
        EXPECT_EQ(f.process.boxes[0].caption, "Error");
        EXPECT_NE(f.process.boxes[0].text.find("32,767"), std::string::npos);
        EXPECT_EQ(f.process.boxes[0].flags, 0x10010u);
    }
}

TEST(ListFileImport, NoPathOrNoFileIsSilent) {
    Fixture f;
    EXPECT_EQ(f.list.ImportWindowList("", 0), ImportOutcome::kNoFile);
    EXPECT_EQ(f.list.ImportWindowList("C:\\missing.wnl", 0), ImportOutcome::kNoFile);
    EXPECT_FALSE(f.list.ExportWindowList("", 0));
    EXPECT_TRUE(f.files.files.empty());
    EXPECT_TRUE(f.process.boxes.empty());
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
    for (std::uint64_t n = 1; n <= clean.files.Operations(); ++n) {
        Fixture f;
        f.files.SetReadChunk(64);
        f.files.FailAt(n);
        const ImportOutcome outcome = f.Import(file);
        EXPECT_EQ(f.files.OpenHandles(), 0u) << n;
        EXPECT_TRUE(f.process.boxes.empty()) << n;
        EXPECT_EQ(f.lv.Items(), Strings(all.begin(), all.begin() + f.lv.Count())) << n;
        const ImportOutcome expected = n == 1                         ? ImportOutcome::kNoFile
                                       : n == clean.files.Operations() ? ImportOutcome::kComplete
                                                                       : ImportOutcome::kReadFailed;
        EXPECT_EQ(outcome, expected) << n;
    }
}

TEST(ListFileExport, AFailureAnywhereLeavesTheOldFileWhole) {
    Fixture clean;
    for (int i = 0; i < 300; ++i) clean.lv.Add(std::string(240, 'a' + i % 26) + std::to_string(i));
    ASSERT_TRUE(clean.list.ExportWindowList(kPath, 0));
    ASSERT_GT(clean.files.files[kPath].size(), 2u * 64 * 1024);  // more than one block written
    const std::uint64_t operations = clean.files.Operations();
    for (bool stop : {false, true}) {
        for (std::uint64_t n = 1; n <= operations; ++n) {
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
            ASSERT_EQ(f.process.boxes.size(), 1u) << n;
            EXPECT_EQ(f.process.boxes[0].text, std::string("Cannot write the window list to\r\n") + kPath);
            EXPECT_EQ(f.process.boxes[0].caption, "Error");
            EXPECT_EQ(f.process.boxes[0].flags, 0x10010u);
            EXPECT_EQ(f.process.boxes[0].owner, 0x77u);
        }
    }
}

TEST(UnquotePath, StripsBlanksAndOnePairOfQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a.wnl", "C:\\a.wnl"},
        {"  C:\\my lists\\a.wnl \t", "C:\\my lists\\a.wnl"},
        {"\"C:\\my lists\\a.wnl\"", "C:\\my lists\\a.wnl"},
        {" \"  C:\\a.wnl \" ", "C:\\a.wnl"},
        {"\"\"C:\\a.wnl\"\"", "\"C:\\a.wnl\""},
        {"\"C:\\a.wnl", "\"C:\\a.wnl"},
        {"\"", "\""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(UnquotePath(c.first), c.second) << c.first;
}

}  // namespace
}  // namespace qw
