#include "history/closed_windows.h"

#include <string_view>

#include "resources/resource.h"
#include "platform/text.h"
#include "store/entry_options.h"
#include "store/whole_file.h"
#include "ui/entry_commands.h"
#include "ui/program_names.h"

namespace qw {

const char kClosedWindowsCaption[] = "Closed Windows";
const char kNeverCloseUnread[] =
    "Could not read the programs never closed from the registry, so the list was not changed.\r\n"
    "Quellwatch leaves this program's windows open until it ends.";
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

// A program's name in a button's caption: a long one is cut, so that the
// button keeps to the window, and an ampersand shows as one.
std::string CaptionName(const std::string& program) {
    constexpr std::size_t kLongest = 28;  // characters
    std::string name;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < program.size(); ++characters) {
        std::size_t end = i + 1;
        while (end < program.size() && (static_cast<unsigned char>(program[end]) & 0xC0) == 0x80) ++end;
        if (characters == kLongest - 1 && utf8::CodePoints(program) > kLongest) return name + "\xE2\x80\xA6";
        name += program[i] == '&' ? "&&" : program.substr(i, end - i);
        i = end;
    }
    return name;
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
    Rows_SelChange();
}

const CloseRecord* ClosedWindows::SelectedRecord() const {
    const auto& rows = platform_.history.Rows();
    const int row = view_.SelectedRow();
    return row >= 0 && static_cast<std::size_t>(row) < rows.size() ? &rows[static_cast<std::size_t>(row)] : nullptr;
}

std::string ClosedWindows::SelectedProgram() const {
    const CloseRecord* record = SelectedRecord();
    return record ? record->program : "";
}

void ClosedWindows::Rows_SelChange() {
    const std::string program = SelectedProgram();
    const std::string name = program.empty() ? "Program" : CaptionName(program);
    view_.SetProgramCommands("Li&mit Entry to " + name, "&Never Close " + name, !program.empty());
    const CloseRecord* record = SelectedRecord();
    const bool stillOpen = record && record->outcome == CloseOutcome::kStillOpen;
    const bool recorded = record && record->outcome == CloseOutcome::kRecorded;
    view_.SetRowCommands(stillOpen, recorded ? "S&tart Closing" : "&End the Program Instead",
                         recorded || (stillOpen && platform_.store.Find(record->entry) >= 0));
}

bool ClosedWindows::Asked(const std::string& question) {
    constexpr unsigned kQuestion = kMbOkCancel | kMbIconQuestion | kMbDefButton2 | kMbSetForeground;
    return platform_.process.ShowMessageBox(view_.Handle(), question, "Are you sure?", kQuestion) == kIdOk;
}

void ClosedWindows::LimitEntry_Click() {
    const std::string program = SelectedProgram();
    if (program.empty()) return;
    const int index = SelectedEntry(view_.SelectedRow());
    if (index < 0) return;
    const std::string entry = platform_.lv.At(index);
    if (!Asked("Limit the entry \"" + entry + "\" to windows of " + program +
               "?\r\nIt will no longer close windows of other programs."))
        return;
    ChangeEntry(entry, [&program](EntryOptions& options) { options.program = program; });
}

void ClosedWindows::ChangeEntry(const std::string& entry, const std::function<void(EntryOptions&)>& change) {
    // The box runs its own message loop: the entry may have moved meanwhile.
    const int at = platform_.store.Find(entry);
    if (at < 0) return;
    EntryOptions options = platform_.lv.OptionsAt(at);
    change(options);
    platform_.lv.SetOptions(at, options);
    platform_.store.SaveWindowList(ListChange::Options(entry, std::move(options)));
}

void ClosedWindows::RowAction_Click() {
    const CloseRecord* record = SelectedRecord();
    if (!record) return;
    const bool recorded = record->outcome == CloseOutcome::kRecorded;
    if (!recorded && record->outcome != CloseOutcome::kStillOpen) return;
    const int index = SelectedEntry(view_.SelectedRow());
    if (index < 0) return;
    const std::string entry = platform_.lv.At(index);
    const std::string question =
        recorded ? "Have the entry \"" + entry + "\" close its windows again, instead of only recording them?"
                 : "Have the entry \"" + entry + "\" end the program of a window still open 2 seconds after it was "
                   "asked to close?\r\nEnding a program loses whatever it had not saved.";
    if (!Asked(question)) return;
    const EntryAction action = recorded ? EntryAction::kClose : EntryAction::kEnd;
    ChangeEntry(entry, [action](EntryOptions& options) { options.action = action; });
}

void ClosedWindows::Press_Click() {
    const CloseRecord* record = SelectedRecord();
    if (!record || record->outcome != CloseOutcome::kStillOpen) return;
    // Boxes and the menu run message loops, in which the row may go.
    const std::string title = record->title;
    const WindowHandle window = record->window;
    const int index = SelectedEntry(view_.SelectedRow());
    if (index < 0) return;
    const std::string entry = platform_.lv.At(index);
    WindowApi& windows = platform_.windows;
    const bool open = windows.IsTopLevelWindow(window) && (windows.GetStyle(window) & kWsVisible);
    std::vector<std::string> captions;
    if (open) {
        // A button without a caption cannot be named in an entry.
        for (const DialogButton& button : windows.PushButtons(window))
            if (!ShownCaption(button.caption).empty()) captions.push_back(button.caption);
    }
    if (captions.empty()) {
        platform_.process.ShowMessageBox(view_.Handle(),
                                         "The window \"" + title +
                                             (open ? "\" has no button that can be pressed now."
                                                   : "\" is no longer open."),
                                         "Quellwatch", kMbIconInformation | kMbSetForeground);
        return;
    }
    const int chosen = view_.ChooseButton(captions);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= captions.size()) return;
    const std::string button = ShownCaption(captions[static_cast<std::size_t>(chosen)]);
    if (!Asked("Have the entry \"" + entry + "\" press \"" + button +
               "\" in its windows, instead of asking them to close?"))
        return;
    ChangeEntry(entry, [&button](EntryOptions& options) {
        options.action = EntryAction::kPress;
        options.button = button;
    });
}

void ClosedWindows::NeverClose_Click() {
    const std::string program = SelectedProgram();
    if (program.empty()) return;
    if (!Asked("Never close windows of " + program + "?\r\nNo entry will close them until you take " + program +
               " off the list under Options, Never Close."))
        return;
    ProcessApi& process = platform_.process;
    // Stored at once, after the programs stored now.
    std::optional<std::vector<std::string>> programs = ReadNeverClose(platform_.registry);
    std::vector<std::string> told = programs ? *programs : platform_.scanner.NeverClose();
    bool listed = false;
    for (const std::string& kept : told) listed = listed || SameProgram(kept, program);
    if (!listed) told.push_back(program);
    if (!programs) {
        // A list that could not be read is not written over.
        process.ShowMessageBox(view_.Handle(), kNeverCloseUnread, "Error", kMbIconStop | kMbSetForeground);
    } else if (!listed && !WriteNeverClose(platform_.registry, told)) {
        process.ShowMessageBox(view_.Handle(), kNeverCloseUnsaved, "Error", kMbIconStop | kMbSetForeground);
    }
    // The user's word counts for this run, stored or not.
    platform_.scanner.SetNeverClose(told);
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
