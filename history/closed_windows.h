// ClosedWindows, the "Closed Windows" window: the close history as a list,
// newest first, followed live while the window is open. From it the user
// removes the entry behind a row, limits that entry to the row's program or
// never has that program's windows closed again, has the entry of a window
// that stayed open press one of its buttons or end its program instead, has
// an entry that only records close again, saves the rows as a CSV file,
// clears them, or finds a row's entry in the main window's list.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/close_history.h"
#include "engine/scanner.h"
#include "platform/file_api.h"
#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "store/entry_list.h"
#include "store/window_list_store.h"
#include "ui/dialog_view.h"

namespace qw {

extern const char kClosedWindowsCaption[];
extern const char kNeverCloseUnread[];
// The columns, in order: Time, Title, Entry, Program, Outcome.
constexpr int kHistoryColumns = 5;
extern const char* const kHistoryColumnNames[kHistoryColumns];

// The rows as a CSV file: UTF-8 with a byte-order mark (so that a
// spreadsheet reads it as UTF-8), a header row, lines ending CR LF, and a
// field that holds a comma, a quote or a line break quoted, its quotes doubled.
// A field that begins with =, +, -, @, a tab or a carriage return begins with
// an apostrophe in the file, so that no spreadsheet runs it as a formula.
std::string HistoryCsv(const std::deque<CloseRecord>& rows);

class ClosedWindowsView : public DialogView {
public:
    // The list now has `count` rows, whose texts it asks for with Cell.
    virtual void ShowRows(int count) = 0;
    // -1 when no row is selected.
    virtual int SelectedRow() const = 0;
    // Selects `row`, or none for -1.
    virtual void SelectRow(int row) = 0;
    // The captions of "Limit Entry to <program>" and "Never Close
    // <program>" ("&" before an access key, "&&" for an ampersand), and
    // whether they are enabled.
    virtual void SetProgramCommands(const std::string& limitCaption, const std::string& neverCaption,
                                    bool enabled) = 0;
    // Whether "Press a Button…" is enabled, and the caption of the command
    // beside it ("&End the Program Instead" or "S&tart Closing") and whether
    // that is enabled.
    virtual void SetRowCommands(bool press, const std::string& actionCaption, bool action) = 0;
    // A pop-up menu of `captions` at "Press a Button…" ("&" before an access
    // key): the index of the one chosen, -1 for none.
    virtual int ChooseButton(const std::vector<std::string>& captions) = 0;
};

struct ClosedWindowsPlatform {
    CloseHistory& history;
    EntryList& lv;
    WindowListStore& store;
    ProcessApi& process;
    FileDialogApi& fileDialogs;
    FileApi& files;
    // Selects entry `index` in the main window's list and brings the window up.
    std::function<void(int index)> showEntry;
    // The "Never Close" value lives beside the list; the scan keeps to the
    // programs it is told.
    RegistryApi& registry;
    Scanner& scanner;
    // A row's window, for the buttons it shows now.
    WindowApi& windows;
};

class ClosedWindows final : private HistoryListener {
public:
    ClosedWindows(ClosedWindowsView& view, ClosedWindowsPlatform platform)
        : view_(view), platform_(std::move(platform)) {}

    void Show() { view_.Show(); }
    void Form_Load();
    void Form_Activate() { view_.BringToFront(); }
    void Form_Unload() { platform_.history.SetListener(nullptr); }
    std::string Cell(int row, int column) const;
    void RemoveEntry_Click();
    void SaveAs_Click();
    void Clear_Click() { platform_.history.Clear(); }
    void Close_Click() { view_.Close(); }
    void Rows_DblClick(int row);
    // The selection moved: the program commands follow its row.
    void Rows_SelChange();
    void LimitEntry_Click();
    void NeverClose_Click();
    // "Press a Button…", for a "Still open" row.
    void Press_Click();
    // "End the Program Instead" for a "Still open" row, "Start Closing" for
    // a "Recorded" one.
    void RowAction_Click();

private:
    void HistoryChanged(int added) override;
    // The index in `lv` of the selected row's entry; -1, the user told, when
    // no row is selected or the entry is no longer listed.
    int SelectedEntry(int row);
    // The selected row's program; empty when none is selected or it has none.
    std::string SelectedProgram() const;
    // The selected row; null when none is.
    const CloseRecord* SelectedRecord() const;
    // The box's answer, in a box owned by this window.
    bool Asked(const std::string& question);
    // Changes the options of `entry`, if it is still listed, and stores
    // only that change, so that another copy's changes meanwhile stay.
    void ChangeEntry(const std::string& entry, const std::function<void(EntryOptions&)>& change);

    ClosedWindowsView& view_;
    ClosedWindowsPlatform platform_;
};

}  // namespace qw
