#include "editing/add_item.h"

#include "editing/browser_suffix.h"
#include "resources/resource.h"
#include "ui/program_names.h"

namespace qw {

const char kTitleTooShort[] = "The title must be a least five (5) characters long";
const char kListFull[] = "The window list is full: it holds at most 32,767 entries.\r\nRemove an entry before adding another.";
const char kInvalidWindow[] =
    "Invalid Window, Please select title bar.\r\nNote: You cannot select Quellwatch related windows.";

bool RefuseShortTitle(const EditingPlatform& platform, WindowHandle owner, const std::string& text) {
    if (text.empty() || utf8::CodePoints(text) >= kMinimumEntryLength) return false;
    platform.process.ShowMessageBox(owner, kTitleTooShort, "Error", kMbIconStop | kMbSetForeground);
    return true;
}

bool AppendEntry(EditingPlatform& platform, WindowHandle owner, const std::string& text,
                 const EntryOptions& options) {
    if (platform.lv.Add(text, options)) return true;
    platform.process.ShowMessageBox(owner, kListFull, "Error", kMbIconStop | kMbSetForeground);
    return false;
}

namespace {

// ListCandidateWindow: the scan's own filter, on the title without its browser suffix.
class CandidateLister : public WindowVisitor {
public:
    CandidateLister(Scanner& scanner, std::vector<std::string>& rows, std::vector<WindowHandle>& windows)
        : scanner_(scanner), rows_(rows), windows_(windows) {}
    void Visit(WindowHandle window) override {
        // Only windows the user can see, asked first: reading the title of a
        // hidden window of ours on another thread is a message it must answer.
        if (!scanner_.IsShown(window) || scanner_.IsUnseen(window)) return;
        std::string title = scanner_.GetTitle(window);
        StripBrowserSuffix(title);
        if (!scanner_.IsCandidateWindow(window, title)) return;
        rows_.push_back(std::move(title));
        windows_.push_back(window);
    }

private:
    Scanner& scanner_;
    std::vector<std::string>& rows_;
    std::vector<WindowHandle>& windows_;
};

}  // namespace

void AddItem::Form_Load() {
    view_.SetIcon(IDI_TRACK_ON);
    // A new dialog: a new entry's options, the part folded.
    part_.Load({});
}

void AddItem::Form_Activate() {
    view_.BringToFront();
    FillWndwList();
    preview_.Refresh();
}

void AddItem::RefreshWndwList_Click() {
    FillWndwList();
    preview_.Refresh();
}

void AddItem::FillWndwList() {
    rows_.clear();
    rowWindows_.clear();
    CandidateLister lister(platform_.scanner, rows_, rowWindows_);
    platform_.windows.EnumTopLevel(lister);
    view_.SetRows(rows_);
    // The program box offers the programs of the windows listed.
    part_.SetPrograms(ProgramsOf(platform_.scanner, rowWindows_));
}

void AddItem::WndwList_Click(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    view_.SetText(rows_[static_cast<std::size_t>(row)]);
    part_.Suggest(platform_.scanner.ProgramOf(rowWindows_[static_cast<std::size_t>(row)]));
    preview_.Refresh();
}

void AddItem::Target_MouseDown() { view_.SetCrosshair(true); }

void AddItem::Target_MouseUp() {
    FillWndwList();
    const WindowHandle pointed = platform_.windows.WindowUnderPointer();
    // The pointer may rest on a control: the program's own windows are
    // refused by the window that holds it.
    const WindowHandle root = platform_.windows.RootOf(pointed);
    // Dropped on a push button of a dialog: the entry is for the dialog, and
    // offers to press that button.
    std::string caption;
    if (root != pointed) {
        for (const DialogButton& button : platform_.windows.PushButtons(root)) {
            if (button.handle == pointed) caption = button.caption;
        }
    }
    const WindowHandle window = caption.empty() ? pointed : root;
    // The whole title: the browser suffix stays.
    const std::string title = platform_.scanner.GetTitle(window);
    if (!platform_.scanner.IsProgramWindow(root) && platform_.scanner.IsCandidateWindow(window, title)) {
        view_.SetText(title);
        part_.Suggest(platform_.scanner.ProgramOf(root));
        if (!caption.empty()) part_.SuggestPress(caption);
    } else {
        platform_.process.ShowMessageBox(view_.Handle(), kInvalidWindow, "Error", kMbIconStop | kMbSetForeground);
    }
    view_.SetCrosshair(false);
    preview_.Refresh();
}

void AddItem::done_Click() {
    const std::string text = view_.Text();
    if (RefuseShortTitle(platform_, view_.Handle(), text)) return;
    const EntryOptions options = part_.Options();
    if (!text.empty()) {
        // A full list keeps the dialog open with its text, as a refusal does.
        if (!AppendEntry(platform_, view_.Handle(), text, options)) return;
        view_.SetText("");
    }
    platform_.store.SaveWindowList(text.empty() ? ListChange{} : ListChange::Add(text, options));
    view_.Close();
}

void AddItem::no_Click() {
    view_.SetText("");
    view_.Close();
}

}  // namespace qw
