#include "history/closed_windows.h"

#include <string_view>

#include "resources/resource.h"
#include "store/whole_file.h"
#include "ui/entry_commands.h"

namespace qw {

const char kClosedWindowsCaption[] = "Closed Windows";
const char* const kHistoryColumnNames[kHistoryColumns] = {"Time", "Title", "Entry", "Program", "Outcome"};

namespace {

std::string Field(const CloseRecord& record, int column) {
    switch (column) {
    case 0: return FormatLocalTime(record.time);
    case 1: return record.title;
    case 2: return record.entry;
    case 3: return record.program;
    default: return OutcomeText(record);
    }
}

// A spreadsheet takes a cell that begins with one of these for a formula, or
// the start of one; a title is whatever its program chose.
bool ReadsAsFormula(const std::string& field) {
    return !field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos;
}

void AppendCsvField(std::string& line, const std::string& raw) {
    // OWASP's advice on CSV injection: such a cell is written after an
    // apostrophe, so that it reads as text.
    const std::string field = ReadsAsFormula(raw) ? "'" + raw : raw;
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        line += field;
        return;
    }
    line += '"';
    for (char c : field) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

}  // namespace

std::string HistoryCsv(const std::deque<CloseRecord>& rows) {
    std::string csv = "\xEF\xBB\xBF";
    const auto line = [&csv](const auto& field) {
        for (int column = 0; column < kHistoryColumns; ++column) {
            if (column > 0) csv += ',';
            AppendCsvField(csv, field(column));
        }
        csv += "\r\n";
    };
    line([](int column) { return std::string(kHistoryColumnNames[column]); });
    for (const CloseRecord& record : rows) line([&record](int column) { return Field(record, column); });
    return csv;
}

void ClosedWindows::Form_Load() {
    view_.SetIcon(IDI_TRACK_ON);
    platform_.history.SetListener(this);
    view_.ShowRows(static_cast<int>(platform_.history.Rows().size()));
}

std::string ClosedWindows::Cell(int row, int column) const {
    const auto& rows = platform_.history.Rows();
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return "";
    return Field(rows[static_cast<std::size_t>(row)], column);
}

void ClosedWindows::HistoryChanged(int added) {
    // The selection stays with its row as new rows come in above it.
    const int selected = view_.SelectedRow();
    const int count = static_cast<int>(platform_.history.Rows().size());
    view_.ShowRows(count);
    if (added > 0 && selected >= 0) view_.SelectRow(selected + added < count ? selected + added : -1);
}

int ClosedWindows::SelectedEntry(int row) {
    const auto& rows = platform_.history.Rows();
    ProcessApi& process = platform_.process;
    if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) {
        process.ShowMessageBox(view_.Handle(), kMustSelect, "Error", kMbSetForeground);
        return -1;
    }
    const std::string& entry = rows[static_cast<std::size_t>(row)].entry;
    const int index = platform_.store.Find(entry);
    if (index < 0) {
        process.ShowMessageBox(view_.Handle(), "\"" + entry + "\" is no longer in the window list.", "Quellwatch",
                               kMbIconInformation | kMbSetForeground);
    }
    return index;
}

void ClosedWindows::RemoveEntry_Click() {
    const int index = SelectedEntry(view_.SelectedRow());
    if (index >= 0) RemoveEntryAsked(platform_.process, platform_.lv, platform_.store, view_.Handle(), index);
}

void ClosedWindows::Rows_DblClick(int row) {
    if (row < 0) return;  // below the rows
    const int index = SelectedEntry(row);
    if (index >= 0) platform_.showEntry(index);
}

void ClosedWindows::SaveAs_Click() {
    static const char kFilter[] = "CSV Files (*.csv)\0*.csv\0All Files (*.*)\0*.*\0";
    FileDialogRequest request;
    request.owner = view_.Handle();
    request.filter = std::string(kFilter, sizeof kFilter);
    request.title = "Save Closed Windows";
    request.flags = kSaveDialogFlags;
    request.defaultExtension = "csv";
    std::string path;
    if (!platform_.fileDialogs.Save(request, &path)) return;
    WholeFileWriter out(platform_.files, path);
    out.Write(HistoryCsv(platform_.history.Rows()));
    if (!out.Commit()) {
        platform_.process.ShowMessageBox(view_.Handle(), "Cannot write the closed windows to\r\n" + path, "Error",
                                         kMbIconStop | kMbSetForeground);
    }
}

}  // namespace qw
