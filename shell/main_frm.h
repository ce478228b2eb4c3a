// MainFrm, the main window's logic: it owns the live list `lv`, the store
// behind it, the scan, the tracking state with its indicators, the tray icon
// and the menu commands. The window glue creates the controls and routes
// messages here; it decides nothing.
#pragma once

#include <memory>
#include <string>

#include "editing/add_item.h"
#include "editing/edit.h"
#include "editing/taskbar_target.h"
#include "engine/close_history.h"
#include "engine/power_saver.h"
#include "engine/scanner.h"
#include "engine/window_events.h"
#include "history/closed_windows.h"
#include "options/options.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/controls.h"
#include "platform/file_api.h"
#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "platform/window_api.h"
#include "shell/about.h"
#include "store/entry_list.h"
#include "store/list_file.h"
#include "store/settings.h"
#include "store/window_list_store.h"
#include "ui/global_keys.h"
#include "ui/sys_tray.h"

namespace qw {

// The two tray pop-up menus.
enum class TrayMenu { kEnabled, kDisabled };

// Operations on the main window itself, its menus and its status bar.
class MainFrmView {
public:
    virtual ~MainFrmView() = default;
    virtual IconHandle LoadIconResource(int id) = 0;
    virtual void SetWindowIcon(IconHandle icon) = 0;
    // Window state normal, then shown.
    virtual void ShowNormal() = 0;
    virtual void Hide() = 0;
    // HWND_TOPMOST then HWND_NOTOPMOST, neither moving nor sizing.
    virtual void BringToFront() = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void EnableMenuItem(int commandId, bool enabled) = 0;
    // Pops the menu up at the mouse position, with `owner` (the tray icon's
    // hidden window) made the foreground window and the menu's owner, so the
    // main window is not raised; the chosen command comes to the main window.
    virtual void PopupTrayMenu(TrayMenu menu, WindowHandle owner) = 0;
    // GetSubMenu(GetMenu(), menuPosition) then GetMenuItemID(itemPosition).
    virtual int MenuItemId(int menuPosition, int itemPosition) = 0;
    // SetMenuItemBitmaps(GetMenu(), id, flags, picture, picture).
    virtual void SetMenuItemBitmaps(int commandId, unsigned flags, int bitmapId) = 0;
    // GetSystemMenu(FALSE), then RemoveMenu(position, MF_BYPOSITION).
    virtual void RemoveSystemMenuItem(int position) = 0;
    // The check mark of an item of the tray pop-up menus.
    virtual void CheckTrayMenuItem(int commandId, bool checked) = 0;
    // Pops the context menu of the selected entry up where the user asked
    // for it, "Enabled" checked or not; the chosen command comes to the
    // main window.
    virtual void PopupEntryMenu(bool enabled) = 0;
};

// The close history and its window.
struct HistoryParts {
    Clock& clock;
    Timer& checkTimer;  // ticks a few times a second while a request waits for its outcome
    ClosedWindowsView& view;
};

struct MainFrmPlatform {
    RegistryApi& registry;
    WindowApi& windows;
    SoundApi& sound;
    Timer& tm;
    Timer& reInitCloseTmr;
    ListBoxControl* lvControl;
    TextControl* numWindows;
    const CaseFolding& lower;
    const AnsiCodePage& ansi;  // of list files under the older header
    std::string thousandsSeparator;
    MainFrmView& view;
    TrayHost& trays;
    ProcessApi& process;
    const bool& commandLineMode;
    AddItemView& addItemView;
    DialogView& editView;
    FileApi& files;
    RandomSource& random;
    FileDialogApi& fileDialogs;
    ListLock* listLock;  // around every save; none in tests that need none
    OptionsView& optionsView;
    AboutView& aboutView;
    MousePointer& pointer;
    ProgramVersion version;
    // Window events beside the tick; none where only the tick scans.
    WindowEventSource* windowEvents = nullptr;
    Timer* retryTimer = nullptr;  // a few milliseconds, for windows not yet shown
    // The close history and the preview lines of the add and edit dialogs;
    // none in tests that need none.
    HistoryParts* history = nullptr;
    PreviewParts* addPreview = nullptr;
    PreviewParts* editPreview = nullptr;
    // The options parts of the add and edit dialogs; none in tests that need none.
    OptionsPartView* addOptions = nullptr;
    OptionsPartView* editOptions = nullptr;
    // The keys that work in every program, and where the power comes from;
    // none in tests that need none (no key is held, the power is the mains').
    HotKeyApi* hotKeys = nullptr;
    PowerApi* power = nullptr;
};

extern const char kTipEnabled[];
extern const char kTipDisabled[];
extern const char kStatusEnabled[];
extern const char kStatusDisabled[];
extern const char kExitQuestion[];
extern const char kHelpMissing[];
extern const char kListBusy[];
extern const char kChangeKept[];
extern const char kListUnread[];
extern const char kListUnsaved[];
extern const unsigned kExportDialogFlags;

// The tray tip: "Quellwatch [Enabled]" or "Quellwatch [Disabled]", and the
// pause key when one is held ("… (Ctrl+Alt+P to pause)").
std::string TrayTip(bool enabled, unsigned pauseKey);

// The status text for a window the scan cannot close.
std::string CannotCloseText(const std::string& title, CloseRefusal why);

class MainFrm : private TargetHost, private CloseObserver {
public:
    explicit MainFrm(MainFrmPlatform platform);

    // The window exists: its handle joins the program's own windows.
    void Attach(WindowHandle window) { own_.mainFrm = window; }

    void Form_Load();
    void Form_Unload();
    void Form_Resize(bool minimized);
    void Tm_Timer() { scanner_.ScanCycle(); }
    void ReInitCloseTmr_Timer() { scanner_.ReInitCloseTmrTick(); }
    void RetryTimer_Timer() { events_.RetryTimer_Timer(); }
    void HistoryCheckTmr_Timer() {
        if (history_) history_->CheckTmr_Timer();
    }
    void WindowEvents_Waiting() { events_.Wake(); }
    // WM_HOTKEY: the Pause Key switches tracking as "Disable" and "Enable"
    // do; the Add Key offers a window's title.
    // A key box of the "Keys" page with the focus takes the key instead.
    void HotKey_Pressed(int id, unsigned modifiers = 0, unsigned virtualKey = 0);
    // WM_POWERBROADCAST's PBT_APMPOWERSTATUSCHANGE: on battery or on the mains now.
    void PowerStatus_Changed() { ApplyPower(); }
    // The walk's period now: 15 ms, or 250 ms while saving power.
    unsigned ScanInterval() const { return scanInterval_; }
    const GlobalKeys& Keys() const { return keys_; }

    void EnableTracking();
    void DisableTracking();
    void CreateTrayIcon();
    void SetMenuBitmaps();
    void ExitApplication();
    // Another program asks the tray copy to end ("Quellbox.exe /exit", as an
    // uninstaller runs it): as Exit after OK, with no question. An importing
    // copy goes on to its own end.
    void ExitRequested();
    void OpenHelpFile();

    void lv_DblClick() { listCommands_.lv_DblClick(); }
    // A right click on entry `index` of `lv` (or the menu key on the
    // selected one): selects it and offers its menu; -1, below the entries,
    // offers nothing.
    void lv_ContextMenu(int index);
    // "Enabled" of the entry menu: switches the selected entry off or on.
    void EntryEnabled_Click();
    void SysIcon_SysTrayDoubleClick(int button);
    void SysIcon_SysTrayMouseUp(int button);
    void menu_Open_Click();
    void RefreshL_Click() { store_.LoadWindowList(); }
    void menu_Imp_Click();
    void menu_Export_Click();
    // Another copy of the program changed the stored list (a shell import).
    void ListChangedElsewhere() { store_.LoadWindowList(); }
    // Routes a menu or button command; false for one this window does not handle.
    bool OnCommand(int id);

    EntryList& lv() { return lv_; }
    WindowListStore& Store() { return store_; }
    ListFile& Files() { return listFile_; }
    Scanner& Scan() { return scanner_; }
    OwnWindows& Own() { return own_; }
    SysTray* SysIcon() { return sysIcon_; }
    AddItem& Adder() { return addItem_; }
    Edit& Editor() { return edit_; }
    TaskbarTarget& Target() { return target_; }
    Options& Opts() { return options_; }
    About& AboutBox() { return about_; }
    // None without HistoryParts.
    CloseHistory* History() { return history_.get(); }
    ClosedWindows* Closed() { return closedWindows_.get(); }

private:
    // Another copy held the stored list past the lock's bound; true to try again.
    bool ListBusy(bool saving);
    // The registry refused a save or a whole read of the stored list.
    void ListRefused(bool saving, long error);
    bool Switch(Setting setting);
    void RegisterListFileType(int iconIndex);
    void SetIcon(int id);
    EditingPlatform Editing();
    // The tick's period from the power choice and where the power comes from.
    void ApplyPower();
    KeysOutcome ChangeKeys(unsigned pause, unsigned add);
    void ShowTrayTip();

    // CloseObserver: said once in the status bar, not in a box, which a
    // window that stays would keep raising.
    void CannotClose(WindowHandle, const std::string& title, CloseRefusal why) override {
        platform_.view.SetStatusText(CannotCloseText(title, why));
    }
    void Acted(const ActReport& report) override {
        if (history_) history_->Acted(report);
    }
    // A row of the close history: its entry selected in `lv`, the window up.
    void ShowEntry(int index);

    // TargetHost
    IconHandle LoadIconResource(int id) override { return platform_.view.LoadIconResource(id); }
    IconHandle MainIcon() override { return platform_.view.LoadIconResource(windowIconId_); }
    WindowHandle MainWindow() override { return own_.mainFrm; }
    void CheckTaskbarTarget(bool checked) override;

    MainFrmPlatform platform_;
    OwnWindows own_;
    EntryList lv_;
    WindowListStore store_;
    Scanner scanner_;
    WindowEvents events_;
    ListFile listFile_;
    AddItem addItem_;
    Edit edit_;
    ListCommands listCommands_;
    TaskbarTarget target_;
    Options options_;
    About about_;
    std::unique_ptr<CloseHistory> history_;
    std::unique_ptr<ClosedWindows> closedWindows_;
    SysTray* sysIcon_ = nullptr;
    int windowIconId_ = 0;
    GlobalKeys keys_;
    PowerChoice power_;
    unsigned scanInterval_ = kScanInterval;
    bool intervalSet_ = false;
};

}  // namespace qw
