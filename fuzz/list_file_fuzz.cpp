// Fuzzes reading a window-list file of any header: whatever its bytes, an
// import adds only clean entries (UTF-8 of at least 5 characters, no NUL, no
// repeats ignoring case, the list within its limit), keeps the entries it
// found before with their own options, closes the file, reads the same
// however the reads are split, and the list then exports and reads back
// unchanged, options included.
//
// Input: the file's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/memory/memory_files.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_random.h"
#include "store/list_file.h"
#include "store/window_list_store.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

const char kInPath[] = "C:\\lists\\in.wnl";
const char kOutPath[] = "C:\\lists\\out.wnl";

}  // namespace

namespace {

// What the File menu does with a file, short of saving: read, merge, tell.
qw::ImportOutcome Import(qw::ListFile& list, const char* path, qw::EntryList& lv, const qw::CaseFolding& lower) {
    qw::ListFileContents contents = list.ReadWindowList(path);
    Check(contents.options.empty() || contents.options.size() == contents.entries.size());
    const qw::ImportOutcome outcome = qw::AppendNewEntries(lv, contents.entries, lower, contents.options)
                                          ? contents.outcome
                                          : qw::ImportOutcome::kListFull;
    list.ReportImport(outcome, 1);
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qw;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const CaseFolding lower = CaseFolding::Common();
    const std::vector<std::string> before{"Untitled - Notepad", "Error"};

    MemoryFiles files;
    files.files[kInPath] = bytes;
    // Short, odd-sized reads put line ends and CR LF pairs across read boundaries.
    files.SetReadChunk(1 + size % 61);
    MemoryProcess process;
    ScriptedRandom random({0.0, 0.37, 0.999, 0.5});
    EntryOptions own;
    own.program = "own.exe";
    EntryList lv;
    for (const auto& e : before) lv.Add(e, own);
    const AnsiCodePage& ansi = TableCodePage::Windows1252();
    ListFile list(files, process, random, lv, lower, ansi);
    const ImportOutcome outcome = Import(list, kInPath, lv, lower);

    Check(files.OpenHandles() == 0);
    Check(files.files.size() == 1 && files.files[kInPath] == bytes);
    Check(lv.Count() <= EntryList::kMaxEntries);
    Check(std::vector<std::string>(lv.Items().begin(), lv.Items().begin() + 2) == before);
    Check(lv.OptionsAt(0) == own && lv.OptionsAt(1) == own);
    std::unordered_set<std::string> seen;
    for (const std::string& entry : lv.Items()) {
        Check(utf8::CodePoints(entry) >= kMinImportedEntry && entry.find('\0') == std::string::npos);
        Check(utf8::IsValid(entry));
        Check(seen.insert(lower.Lower(entry)).second);
    }
    Check(outcome != ImportOutcome::kNoFile);
    Check((outcome == ImportOutcome::kReadFailed) == bytes.empty());
    if (outcome == ImportOutcome::kWrongHeader) {
        Check(process.boxes.size() == 1 && process.boxes[0].caption == "Unrecognized File Header");
        Check(lv.Items() == before);
    } else {
        Check(process.boxes.size() == (outcome == ImportOutcome::kListFull ? 1u : 0u));
    }

    MemoryFiles whole;
    whole.files[kInPath] = bytes;
    EntryList again;
    for (const auto& e : before) again.Add(e, own);
    ListFile wholeList(whole, process, random, again, lower, ansi);
    Import(wholeList, kInPath, again, lower);
    Check(again.Items() == lv.Items());
    for (int i = 0; i < lv.Count(); ++i) Check(again.OptionsAt(i) == lv.OptionsAt(i));

    process.boxes.clear();
    Check(list.ExportWindowList(kOutPath, 1));
    Check(files.files.size() == 2 && process.boxes.empty());
    EntryList back;
    ListFile reader(files, process, random, back, lower, ansi);
    Check(Import(reader, kOutPath, back, lower) == ImportOutcome::kComplete);
    Check(back.Items() == lv.Items());
    for (int i = 0; i < lv.Count(); ++i) Check(back.OptionsAt(i) == lv.OptionsAt(i));
    Check(files.OpenHandles() == 0);
    return 0;
}
