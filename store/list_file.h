// Window-list files (.wnl): the user's list, lines ending CR LF. Line 1 is the
// header, line 2 is empty, and each further line is one entry, every byte of
// it stored as two bytes (c + k, k) with k random, so that the file does not
// read as a plain list of titles. Under the header "QUELLBOX2" the entries are
// text of the system's ANSI code page, as every version has written them; a
// list with an entry that code page cannot hold is written under "QUELLBOX3",
// its entries in UTF-8, which older versions refuse as "from a newer version".
// A list whose entries have options is written under "QUELLBOX4": its entries
// as under "QUELLBOX3", each followed by a line per option string, "+" and
// then the string ("name=value", UTF-8) stored as the entries are. An entry
// line never begins with "+" (every byte of it is 69 or more).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "platform/file_api.h"
#include "platform/random.h"
#include "platform/shell_api.h"
#include "store/entry_list.h"

namespace qw {

extern const char kListFileHeader[];         // "QUELLBOX2": the ANSI code page
extern const char kUnicodeListFileHeader[];  // "QUELLBOX3": UTF-8
extern const char kOptionsListFileHeader[];  // "QUELLBOX4": UTF-8, with each entry's options
// Entries shorter than this are dropped on import: they would match nearly every window.
constexpr std::size_t kMinImportedEntry = 5;
// A line is read up to this many bytes (an entry needs at most 508); beyond
// that it cannot be an entry, and the rest is skipped unread into memory.
constexpr std::size_t kMaxLineBytes = 4096;

// Two bytes per byte: c + k, then k. The entry must not contain code 0.
std::string EncodeEntry(const std::string& entry, RandomSource& random);
// The entry a line holds; nothing when the length is odd or a pair (a, b)
// has a <= b (a character of code 0 or less).
std::optional<std::string> DecodeEntry(std::string_view line);

enum class ImportOutcome {
    kComplete,     // read to the end of the file
    kNoFile,       // no path given, or the file could not be opened
    kWrongHeader,  // not a window list
    kBadLine,      // stopped at a line that holds no entry
    kReadFailed,   // a read failed, or the file is empty
    kListFull,     // the merge stopped at the list's limit
};

// What a list file holds: its entries in file order, each once (ignoring
// case), none shorter than kMinImportedEntry; those read before a failure
// are kept.
struct ListFileContents {
    ImportOutcome outcome = ImportOutcome::kNoFile;
    std::vector<std::string> entries;
    std::vector<EntryOptions> options;  // side by side with the entries; none without options
};

class ListFile {
public:
    ListFile(FileApi& files, ProcessApi& process, RandomSource& random, EntryList& lv, const CaseFolding& lower,
             const AnsiCodePage& ansi)
        : files_(files), process_(process), random_(random), lv_(lv), lower_(lower), ansi_(ansi) {}

    // Writes `lv` to `path`. The old file stays whole until the new one is
    // written in full; on failure the user is told and false returned. An
    // empty path (a cancelled dialog) returns false silently.
    bool ExportWindowList(const std::string& path, WindowHandle owner);
    // Reads the file's entries, touching neither `lv` nor the user: an
    // import reads first, merges under the list lock, and only then tells.
    ListFileContents ReadWindowList(const std::string& path);
    // Tells the user of a wrong header or a full list; the other outcomes
    // are the caller's to word.
    void ReportImport(ImportOutcome outcome, WindowHandle owner);

private:
    void ShowError(WindowHandle owner, const std::string& text, const std::string& caption);

    FileApi& files_;
    ProcessApi& process_;
    RandomSource& random_;
    EntryList& lv_;
    const CaseFolding& lower_;
    const AnsiCodePage& ansi_;
};

// A path as a command line gives it: blanks around it and one pair of
// enclosing double quotes (with blanks just inside them) removed.
std::string UnquotePath(const std::string& text);

}  // namespace qw
