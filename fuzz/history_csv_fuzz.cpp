// Fuzzes the CSV file of the closed windows, whose titles, entries and
// program names are whatever other programs and the user chose: read back as
// a spreadsheet reads RFC 4180, the file gives exactly the rows written,
// whatever bytes they hold (commas, quotes, line breaks, text that is not
// UTF-8).
//
// Input: fields separated by NUL, three to a row (title, entry, program).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "history/closed_windows.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

using Row = std::vector<std::string>;

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
        const auto outcome = static_cast<qw::CloseOutcome>(fields[i].size() % 4);
        records.push_back({{2024, 5, 31, 14, 3, 7}, fields[i], fields[i + 1], fields[i + 2], outcome});
        expected.push_back({"2024-05-31 14:03:07", fields[i], fields[i + 1], fields[i + 2], qw::OutcomeText(outcome)});
    }
    const std::string csv = qw::HistoryCsv(records);
    Check(csv.compare(0, 3, "\xEF\xBB\xBF") == 0);
    Check(ReadCsv(csv.substr(3)) == expected);
    return 0;
}
