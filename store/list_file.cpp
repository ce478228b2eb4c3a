#include "store/list_file.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "store/whole_file.h"

namespace qw {

const char kListFileHeader[] = "QUELLBOX2";
const char kUnicodeListFileHeader[] = "QUELLBOX3";
const char kOptionsListFileHeader[] = "QUELLBOX4";

namespace {

constexpr char kCrLf[] = "\r\n";
// Begins an option line of the newest header.
constexpr char kOptionMark = '+';
constexpr unsigned kErrorFlags = kMbSetForeground | kMbIconStop;
// Lines are gathered and written in blocks: a full list is 32,767 lines.
constexpr std::size_t kWriteBlock = 64 * 1024;

// The usual key range; files written with it must stay readable everywhere.
constexpr int kKeyLow = 68;
constexpr int kKeyHigh = 89;

int Pick(RandomSource& random, int count) {
    const int i = static_cast<int>(random.Next() * count);
    return std::clamp(i, 0, count - 1);
}

// The key for a character: from the usual range while c + k still fits a
// byte; above 187 it cannot, so from a range below it that keeps c + k a byte
// and never stores CR or LF.
int DrawKey(int c, RandomSource& random) {
    const int high = std::min(kKeyHigh, 255 - c);
    if (high >= kKeyLow) return kKeyLow + Pick(random, high - kKeyLow + 1);
    int keys[kKeyLow];
    int count = 0;
    for (int k = 0; k <= 255 - c; ++k) {
        if (k != '\r' && k != '\n') keys[count++] = k;
    }
    return keys[Pick(random, count)];
}

// Lines of a file read in blocks. A line ends at CR, and an LF just after the
// CR belongs to it; a lone LF is part of the line.
class LineReader {
public:
    enum class Result { kLine, kTooLong, kEnd, kFailed };

    LineReader(FileApi& files, FileHandle file) : files_(files), file_(file) {}

    Result Next(std::string& line) {
        line.clear();
        bool started = false;
        bool tooLong = false;
        for (;;) {
            if (position_ == size_ && !Fill()) {
                if (failed_) return Result::kFailed;
                if (!started) return Result::kEnd;
                return tooLong ? Result::kTooLong : Result::kLine;
            }
            if (afterCr_) {
                afterCr_ = false;
                if (buffer_[position_] == '\n') {
                    ++position_;
                    continue;
                }
            }
            started = true;
            const char* from = buffer_ + position_;
            const std::size_t available = size_ - position_;
            const auto* cr = static_cast<const char*>(std::memchr(from, '\r', available));
            const std::size_t n = cr ? static_cast<std::size_t>(cr - from) : available;
            const std::size_t room = kMaxLineBytes - line.size();
            line.append(from, std::min(n, room));
            tooLong = tooLong || n > room;
            position_ += n;
            if (cr) {
                ++position_;
                afterCr_ = true;
                return tooLong ? Result::kTooLong : Result::kLine;
            }
        }
    }

private:
    bool Fill() {
        if (ended_ || failed_) return false;
        const long n = files_.Read(file_, buffer_, sizeof buffer_);
        if (n < 0 || static_cast<std::size_t>(n) > sizeof buffer_) {
            failed_ = true;
            return false;
        }
        ended_ = n == 0;
        position_ = 0;
        size_ = static_cast<std::size_t>(n);
        return !ended_;
    }

    FileApi& files_;
    FileHandle file_;
    char buffer_[8192];
    std::size_t position_ = 0;
    std::size_t size_ = 0;
    bool afterCr_ = false;
    bool ended_ = false;
    bool failed_ = false;
};

// Closes the file on every way out of a procedure.
class FileCloser {
public:
    FileCloser(FileApi& files, FileHandle file) : files_(files), file_(file) {}
    // May throw: the in-memory file layer stops a test's "process" with an
    // exception, at any operation, this close included.
    ~FileCloser() noexcept(false) { files_.Close(file_); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    FileApi& files_;
    FileHandle file_;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string EncodeEntry(const std::string& entry, RandomSource& random) {
    std::string out;
    out.reserve(entry.size() * 2);
    for (char ch : entry) {
        const int c = static_cast<unsigned char>(ch);
        const int k = DrawKey(c, random);
        out += static_cast<char>(c + k);
        out += static_cast<char>(k);
    }
    return out;
}

std::optional<std::string> DecodeEntry(std::string_view line) {
    if (line.size() % 2 != 0) return std::nullopt;
    std::string entry;
    entry.reserve(line.size() / 2);
    for (std::size_t i = 0; i < line.size(); i += 2) {
        const int a = static_cast<unsigned char>(line[i]);
        const int b = static_cast<unsigned char>(line[i + 1]);
        // A NUL would later cut the entry short, leaving a fragment that matches nearly every title.
        if (a <= b) return std::nullopt;
        entry += static_cast<char>(a - b);
    }
    return entry;
}

void ListFile::ShowError(WindowHandle owner, const std::string& text, const std::string& caption) {
    process_.ShowMessageBox(owner, text, caption, kErrorFlags);
}

bool ListFile::ExportWindowList(const std::string& path, WindowHandle owner) {
    if (path.empty()) return false;
    // A list the ANSI code page can hold whole is written as every version
    // wrote it, and reads everywhere; any other in UTF-8, under the newer header.
    std::vector<std::string> ansi;
    ansi.reserve(lv_.Items().size());
    for (const std::string& entry : lv_.Items()) {
        std::optional<std::string> bytes = ansi_.FromUtf8(entry);
        if (!bytes) break;
        ansi.push_back(std::move(*bytes));
    }
    // Options need the newest header, which only this version and later read.
    const bool options = lv_.AnyOptions();
    const bool unicode = options || ansi.size() != lv_.Items().size();
    const std::vector<std::string>& entries = unicode ? lv_.Items() : ansi;
    // A failed export never costs the user the old file.
    WholeFileWriter out(files_, path);
    const char* header = options ? kOptionsListFileHeader : unicode ? kUnicodeListFileHeader : kListFileHeader;
    std::string pending = std::string(header) + kCrLf + kCrLf;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        pending += EncodeEntry(entries[i], random_);
        pending += kCrLf;
        if (options) {
            for (const std::string& option : RuleStrings(lv_.OptionsAt(static_cast<int>(i)))) {
                pending += kOptionMark;
                pending += EncodeEntry(option.substr(0, option.find('\0')), random_);
                pending += kCrLf;
            }
        }
        if (pending.size() >= kWriteBlock) {
            if (!out.Write(pending)) break;
            pending.clear();
        }
    }
    out.Write(pending);
    if (!out.Commit()) {
        ShowError(owner, "Cannot write the window list to\r\n" + path, "Error");
        return false;
    }
    return true;
}

ListFileContents ListFile::ReadWindowList(const std::string& path) {
    ListFileContents contents;
    if (path.empty()) return contents;
    const FileHandle file = files_.OpenRead(path);
    if (!file) return contents;
    FileCloser closer(files_, file);
    LineReader reader(files_, file);
    std::string line;
    auto& outcome = contents.outcome;

    switch (reader.Next(line)) {
    case LineReader::Result::kEnd:
    case LineReader::Result::kFailed: outcome = ImportOutcome::kReadFailed; return contents;
    case LineReader::Result::kTooLong: line.clear(); break;
    case LineReader::Result::kLine: break;
    }
    const bool options = line == kOptionsListFileHeader;
    const bool unicode = options || line == kUnicodeListFileHeader;
    if (line != kListFileHeader && !unicode) {
        outcome = ImportOutcome::kWrongHeader;
        return contents;
    }
    // Line 2 is skipped whatever it holds.
    switch (reader.Next(line)) {
    case LineReader::Result::kEnd: outcome = ImportOutcome::kComplete; return contents;
    case LineReader::Result::kFailed: outcome = ImportOutcome::kReadFailed; return contents;
    default: break;
    }

    std::unordered_set<std::string> seen;
    // The option strings of the entry last taken; an entry dropped drops its options.
    std::vector<std::string> strings;
    bool taking = false;
    const auto endOfEntry = [&] {
        if (taking && options) contents.options.back() = ParseRuleStrings(strings);
        strings.clear();
    };
    // The contents are returned by name, never as a copy: the file's close
    // may end a test's process on the way out, and a copy would be lost then.
    const auto finish = [&](ImportOutcome how) {
        endOfEntry();
        outcome = how;
    };
    for (;;) {
        const LineReader::Result read = reader.Next(line);
        if (read != LineReader::Result::kLine) {
            finish(read == LineReader::Result::kEnd      ? ImportOutcome::kComplete
                   : read == LineReader::Result::kFailed ? ImportOutcome::kReadFailed
                                                         : ImportOutcome::kBadLine);
            return contents;
        }
        const bool option = options && !line.empty() && line[0] == kOptionMark;
        std::optional<std::string> entry = DecodeEntry(option ? std::string_view(line).substr(1) : line);
        // An entry of the newer header that is not UTF-8 is as undecodable as a bad pair.
        if (!entry || (unicode && !utf8::IsValid(*entry))) {
            finish(ImportOutcome::kBadLine);
            return contents;
        }
        if (option) {
            strings.push_back(std::move(*entry));
            continue;
        }
        // Twice a full list of different entries fills any list: the rest
        // of a huge file cannot add anything.
        if (contents.entries.size() >= 2u * EntryList::kMaxEntries) {
            finish(ImportOutcome::kComplete);
            return contents;
        }
        endOfEntry();
        if (!unicode) *entry = ansi_.ToUtf8(*entry);
        taking = utf8::CodePoints(*entry) >= kMinImportedEntry && seen.insert(lower_.Lower(*entry)).second;
        if (!taking) continue;
        contents.entries.push_back(std::move(*entry));
        if (options) contents.options.emplace_back();
    }
}

void ListFile::ReportImport(ImportOutcome outcome, WindowHandle owner) {
    if (outcome == ImportOutcome::kWrongHeader) {
        ShowError(owner, "This window list is invalid, or it may be from an newer version of Quellwatch.",
                  "Unrecognized File Header");
    } else if (outcome == ImportOutcome::kListFull) {
        ShowError(owner,
                  "The window list is full: it holds at most 32,767 entries.\r\n"
                  "The rest of the file was not imported.",
                  "Error");
    }
}

std::string UnquotePath(const std::string& text) {
    std::string_view path = TrimBlanks(text);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = TrimBlanks(path.substr(1, path.size() - 2));
    }
    return std::string(path);
}

}  // namespace qw
