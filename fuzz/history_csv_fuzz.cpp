// Fuzzes the CSV file of the closed windows, whose titles, entries and
// program names are whatever other programs and the user chose: read back as
// a spreadsheet reads RFC 4180, the file gives exactly the rows written,
// whatever bytes they hold (commas, quotes, line breaks, text that is not
// UTF-8), and no cell begins with what a spreadsheet runs as a formula: a
// field that begins so comes back after an apostrophe.
//
// Input: fields separated by NUL, three to a row (title, entry, program);
// the year of a row's time is the length of its entry less one, so that it
// may be negative.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "history/closed_windows.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

using Row = std::vector<std::string>;

bool BeginsAsFormula(const std::string& cell) {
    return !cell.empty() && cell[0] != '\0' && std::strchr("=+-@\t\r", cell[0]) != nullptr;
}

// The field as a spreadsheet shows it: after an apostrophe where it begins as a formula would.
std::string Shown(const std::string& field) { return BeginsAsFormula(field) ? "'" + field : field; }

std::vector<Row> ReadCsv(const std::string& text) {
    std::vector<Row> rows(1, Row(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                rows.back().back() += text[++i];
            } else {
                quoted = false;
            }
        } else if (!quoted && c == '"') {
            Check(rows.back().back().empty());  // a quote opens a field, or is doubled inside one
            quoted = true;
        } else if (!quoted && c == ',') {
            rows.back().emplace_back();
        } else if (!quoted && c == '\r') {
            Check(i + 1 < text.size() && text[++i] == '\n');
            rows.emplace_back(1);
        } else {
            Check(quoted || c != '\n');
            rows.back().back() += c;
        }
    }
    Check(!quoted && rows.back() == Row(1));  // the file ends with a line end
    rows.pop_back();
    return rows;
}

constexpr std::size_t kOutcomes = static_cast<std::size_t>(qw::CloseOutcome::kNotActed) + 1;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            fields.emplace_back();
        } else {
            fields.back() += static_cast<char>(data[i]);
        }
    }
    std::deque<qw::CloseRecord> records;
    std::vector<Row> expected{{"Time", "Title", "Entry", "Program", "Outcome"}};
    for (std::size_t i = 0; i + 3 <= fields.size(); i += 3) {
        const auto outcome = static_cast<qw::CloseOutcome>(fields[i].size() % kOutcomes);
        const qw::LocalTime time{static_cast<int>(fields[i + 1].size()) - 1, 5, 31, 14, 3, 7};
        // A button's caption is the entry's text, as the user typed it.
        records.push_back({time, fields[i], fields[i + 1], fields[i + 2], outcome, fields[i + 1]});
        expected.push_back({Shown(qw::FormatLocalTime(time)), Shown(fields[i]), Shown(fields[i + 1]),
                            Shown(fields[i + 2]), Shown(qw::OutcomeText(records.back()))});
    }
    const std::string csv = qw::HistoryCsv(records);
    Check(csv.compare(0, 3, "\xEF\xBB\xBF") == 0);
    const std::vector<Row> read = ReadCsv(csv.substr(3));
    Check(read == expected);
    for (const Row& row : read) {
        for (const std::string& cell : row) Check(!BeginsAsFormula(cell));
    }
    return 0;
}
