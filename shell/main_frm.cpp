#include "shell/main_frm.h"

#include "resources/resource.h"
#include "store/file_association.h"
#include "store/registry_access.h"
#include "store/settings.h"
#include "ui/program_names.h"

namespace qw {

const char kTipEnabled[] = "Quellwatch [Enabled]";
const char kTipDisabled[] = "Quellwatch [Disabled]";
const char kStatusEnabled[] = "Quellwatch Status: [ENABLED]";
const char kStatusDisabled[] = "Quellwatch Status: [DISABLED]";
const char kExitQuestion[] = "Warning: Exiting Quellwatch will disable the\r\nautomatic closing of listed windows!";
const unsigned kExportDialogFlags = kSaveDialogFlags;
const char kListBusy[] = "Another copy of Quellwatch is saving the window list.";
const char kChangeKept[] = "Your change is kept and will be saved with your next change.";
const char kNotReloaded[] = "Press \"Refresh List\" in a moment to see its changes.";
const char kListUnread[] = "Could not read the window list from the registry; your entries are kept.";
const char kListUnsaved[] = "Could not save the window list: ";
const char kHelpMissing[] =
    "Cannot open help file!\r\n\r\nMake sure that 'Quellbox.chm' is in the same directory as 'Quellbox.exe'";

namespace {

struct MenuPicture {
    int menuPosition;
    int itemPosition;
    int bitmapId;
};

// Where the standard system menu has Close, and the separator above it.
constexpr int kSystemMenuClose = 6;
constexpr int kSystemMenuCloseSeparator = 5;
// SetMenuItemBitmaps finds the item by its command id (MF_BYCOMMAND, no
// MF_BYPOSITION); MF_BITMAP is the flag the program has always passed with it.
constexpr unsigned kMfByCommand = 0x0;
constexpr unsigned kMfBitmap = 0x4;

// The menu-bar items that carry a picture, by position.
constexpr MenuPicture kMenuPictures[] = {
    {0, 0, IDB_IMPORT}, {0, 1, IDB_EXPORT}, {0, 3, IDB_CLOSE}, {1, 0, IDB_START}, {1, 1, IDB_SOUND},
    {1, 2, IDB_ICON},   {1, 3, IDB_NEVERCLOSE}, {1, 4, IDB_KEYS}, {2, 0, IDB_GO}, {2, 1, IDB_STOP}, {2, 3, IDB_HISTORY},
    {3, 0, IDB_HELP},
};

}  // namespace

MainFrm::MainFrm(MainFrmPlatform platform)
    : platform_(std::move(platform)),
      lv_(platform_.lvControl),
      store_(platform_.registry, lv_, platform_.numWindows, platform_.lower, platform_.thousandsSeparator,
             platform_.listLock),
      scanner_(platform_.windows, platform_.sound, platform_.registry, lv_, platform_.reInitCloseTmr, own_,
               platform_.lower),
      events_(scanner_, platform_.windows, platform_.windowEvents, platform_.retryTimer),
      listFile_(platform_.files, platform_.process, platform_.random, lv_, platform_.lower, platform_.ansi),
      addItem_(platform_.addItemView, Editing(), platform_.addPreview, platform_.addOptions),
      edit_(platform_.editView, Editing(), platform_.editPreview, platform_.editOptions),
      listCommands_(edit_, Editing()),
      target_(platform_.trays, *this, Editing()),
      options_(platform_.optionsView,
               OptionsPlatform{platform_.registry, platform_.process, platform_.sound, platform_.fileDialogs,
                               [this](int iconIndex) { RegisterListFileType(iconIndex); },
                               platform_.process.ProgramPath(), [this] { return scanner_.NeverClose(); },
                               [this](const std::vector<std::string>& programs) { scanner_.SetNeverClose(programs); },
                               [this] { return RunningPrograms(scanner_, platform_.windows); },
                               [this](unsigned pause, unsigned add) { return ChangeKeys(pause, add); },
                               [this](PowerChoice power) {
                                   power_ = power;
                                   ApplyPower();
                               },
                               [this](GlobalKey key) { return keys_.Held(key); }}),
      about_(platform_.aboutView, platform_.process, platform_.pointer, platform_.version),
      keys_(platform_.hotKeys) {
    store_.WhenBusy([this](bool saving) { return ListBusy(saving); });
    store_.WhenRefused([this](bool saving, long error) { ListRefused(saving, error); });
    scanner_.SetCloseObserver(this);
    if (HistoryParts* parts = platform_.history) {
        history_ = std::make_unique<CloseHistory>(platform_.windows, parts->clock, parts->checkTimer);
        closedWindows_ = std::make_unique<ClosedWindows>(
            parts->view, ClosedWindowsPlatform{*history_, lv_, store_, platform_.process, platform_.fileDialogs,
                                               platform_.files, [this](int index) { ShowEntry(index); },
                                               platform_.registry, scanner_, platform_.windows});
    }
}

void MainFrm::ShowEntry(int index) {
    lv_.Select(index);
    platform_.view.ShowNormal();
    platform_.view.BringToFront();
}

std::string TrayTip(bool enabled, unsigned pauseKey) {
    std::string tip = enabled ? kTipEnabled : kTipDisabled;
    const std::string key = HotKeyText(pauseKey);
    if (!key.empty()) tip += " (" + key + (enabled ? " to pause)" : " to resume)");
    return tip;
}

std::string CannotCloseText(const std::string& title, CloseRefusal why) {
    return "Cannot close \"" + title + "\": " +
           (why == CloseRefusal::kElevated ? "it belongs to a program running as administrator."
                                           : "its program is not responding.");
}

bool MainFrm::ListBusy(bool saving) {
    constexpr unsigned kWarning = kMbIconExclamation | kMbSetForeground;
    ProcessApi& process = platform_.process;
    // An importing copy has no later save to keep the change for: it may
    // try again.
    if (platform_.commandLineMode)
        return process.ShowMessageBox(own_.mainFrm, kListBusy, "Quellwatch", kMbRetryCancel | kWarning) == kIdRetry;
    process.ShowMessageBox(own_.mainFrm, std::string(kListBusy) + "\r\n" + (saving ? kChangeKept : kNotReloaded),
                           "Quellwatch", kMbOk | kWarning);
    return false;
}

void MainFrm::ListRefused(bool saving, long error) {
    // A refused read is said in the status bar, not in a box, which a
    // registry that keeps refusing would keep raising; until it reads again.
    if (!saving && error == kErrorSuccess)
        return platform_.view.SetStatusText(platform_.tm.IsRunning() ? kStatusEnabled : kStatusDisabled);
    if (!saving) return platform_.view.SetStatusText(kListUnread);
    // An importing copy says it in its own report.
    if (platform_.commandLineMode) return;
    platform_.process.ShowMessageBox(own_.mainFrm,
                                     kListUnsaved + RegistryRefusalText(error) + "\r\n" + kChangeKept, "Error",
                                     kMbOk | kMbIconStop | kMbSetForeground);
}

EditingPlatform MainFrm::Editing() {
    return EditingPlatform{platform_.windows, platform_.process, platform_.registry, scanner_, lv_, store_,
                           platform_.lower};
}

void MainFrm::SetIcon(int id) {
    windowIconId_ = id;
    platform_.view.SetWindowIcon(platform_.view.LoadIconResource(id));
}

void MainFrm::CheckTaskbarTarget(bool checked) {
    platform_.view.CheckTrayMenuItem(IDM_ENTASK1, checked);
    platform_.view.CheckTrayMenuItem(IDM_ENTASK2, checked);
}

bool MainFrm::Switch(Setting setting) { return ReadSwitch(platform_.registry, setting); }

void MainFrm::RegisterListFileType(int iconIndex) {
    qw::RegisterListFileType(platform_.registry, ProgramExePath(platform_.process.ProgramPath()), iconIndex);
    platform_.process.AssociationsChanged();
}

void MainFrm::ApplyPower() {
    const unsigned interval = ScanIntervalFor(power_, platform_.power ? platform_.power->Source() : PowerSource::kMains);
    // Windows reports every few per cent of the battery too: the tick keeps
    // its period unless it changes.
    if (intervalSet_ && interval == scanInterval_) return;
    scanInterval_ = interval;
    intervalSet_ = true;
    platform_.tm.SetInterval(scanInterval_);
}

KeysOutcome MainFrm::ChangeKeys(unsigned pause, unsigned add) {
    const KeysOutcome outcome = keys_.Change(pause, add);
    ShowTrayTip();
    return outcome;
}

void MainFrm::ShowTrayTip() {
    if (sysIcon_) sysIcon_->SetToolTip(TrayTip(platform_.tm.IsRunning(), keys_.Held(GlobalKey::kPause)));
}

void MainFrm::HotKey_Pressed(int id, unsigned modifiers, unsigned virtualKey) {
    if (platform_.commandLineMode) return;
    if (options_.KeyTyped(HotKeyValue(modifiers, virtualKey))) return;
    if (id == kPauseKeyId) {
        if (platform_.tm.IsRunning()) {
            DisableTracking();
        } else {
            EnableTracking();
        }
    } else if (id == kAddKeyId) {
        target_.AddKey_Pressed();
    }
}

void MainFrm::Form_Load() {
    if (platform_.commandLineMode) return;
    MainFrmView& view = platform_.view;
    SetIcon(IDI_TRACK_ON);
    CreateTrayIcon();
    if (Switch(Setting::kTaskTarget)) target_.ShowTargetIcon();
    power_.savePower = Switch(Setting::kSavePower);
    power_.onBatteryOnly = Switch(Setting::kSavePowerOnBatteryOnly);
    ApplyPower();
    const unsigned pauseKey = ReadNumber(platform_.registry, Setting::kPauseKey);
    const unsigned addKey = ReadNumber(platform_.registry, Setting::kAddKey);
    const std::vector<GlobalKey> refused = keys_.Start(pauseKey, addKey);
    if (Switch(Setting::kOnAtStart)) {
        EnableTracking();
    } else {
        DisableTracking();
    }
    // Said once, in the status bar; the stored key is kept for a later start.
    std::vector<std::pair<GlobalKey, unsigned>> named;
    for (GlobalKey key : refused) named.emplace_back(key, key == GlobalKey::kPause ? pauseKey : addKey);
    if (!named.empty()) view.SetStatusText(KeysRefusedText(named));
    SetMenuBitmaps();
    store_.LoadWindowList();
    // A list the registry would not give is none: nothing more is closed for it.
    if (auto programs = ReadNeverClose(platform_.registry)) scanner_.SetNeverClose(std::move(*programs));
    // At every start, so that the association follows the program when it moves.
    RegisterListFileType(ReadIconIndex(platform_.registry));
    // Close and the separator above it: the window can be hidden, never closed.
    view.RemoveSystemMenuItem(kSystemMenuClose);
    view.RemoveSystemMenuItem(kSystemMenuCloseSeparator);
    if (!Switch(Setting::kMinimizedAtStart)) view.ShowNormal();
    // Rewritten at every start with the program's current path.
    if (Switch(Setting::kRunAtStart)) SetRunAtStart(platform_.registry, platform_.process.ProgramPath(), true);
}

void MainFrm::Form_Unload() {
    keys_.Stop();
    if (sysIcon_) platform_.trays.UnloadTrayIcon(sysIcon_);
    sysIcon_ = nullptr;
    target_.HideTargetIcon();
}

void MainFrm::Form_Resize(bool minimized) {
    if (minimized) platform_.view.Hide();
}

void MainFrm::EnableTracking() {
    MainFrmView& view = platform_.view;
    view.EnableMenuItem(IDM_STAT_ENABLE, false);
    view.EnableMenuItem(IDM_STATUS_DISABLE, true);
    platform_.tm.Start();
    events_.Enable();
    if (sysIcon_) sysIcon_->SetIconHandle(view.LoadIconResource(IDI_TRACK_ON));
    SetIcon(IDI_TRACK_ON);
    ShowTrayTip();
    view.SetStatusText(kStatusEnabled);
}

void MainFrm::DisableTracking() {
    MainFrmView& view = platform_.view;
    view.EnableMenuItem(IDM_STAT_ENABLE, true);
    view.EnableMenuItem(IDM_STATUS_DISABLE, false);
    platform_.tm.Stop();
    events_.Disable();
    if (sysIcon_) sysIcon_->SetIconHandle(view.LoadIconResource(IDI_TRACK_OFF));
    SetIcon(IDI_TRACK_OFF);
    ShowTrayTip();
    view.SetStatusText(kStatusDisabled);
}

void MainFrm::CreateTrayIcon() {
    // The icon starts with the window's current icon, which the load step set.
    sysIcon_ = platform_.trays.LoadTrayIcon(MainIcon());
    sysIcon_->SysTrayDoubleClick = [this](int button) { SysIcon_SysTrayDoubleClick(button); };
    sysIcon_->SysTrayMouseUp = [this](int button) { SysIcon_SysTrayMouseUp(button); };
}

void MainFrm::SetMenuBitmaps() {
    for (const MenuPicture& picture : kMenuPictures) {
        const int id = platform_.view.MenuItemId(picture.menuPosition, picture.itemPosition);
        platform_.view.SetMenuItemBitmaps(id, kMfByCommand | kMfBitmap, picture.bitmapId);
    }
}

void MainFrm::SysIcon_SysTrayDoubleClick(int) {
    platform_.view.ShowNormal();
    platform_.view.BringToFront();
}

void MainFrm::SysIcon_SysTrayMouseUp(int button) {
    if (button != kRightButton) return;
    platform_.view.PopupTrayMenu(platform_.tm.IsRunning() ? TrayMenu::kEnabled : TrayMenu::kDisabled,
                                 sysIcon_ ? sysIcon_->Record().hWnd : 0);
}

void MainFrm::menu_Open_Click() { platform_.view.ShowNormal(); }

void MainFrm::lv_ContextMenu(int index) {
    if (index < 0 || index >= lv_.Count()) return;
    lv_.Select(index);
    platform_.view.PopupEntryMenu(lv_.OptionsAt(index).enabled);
}

void MainFrm::EntryEnabled_Click() {
    const int index = lv_.Selection();
    if (index < 0 || index >= lv_.Count()) return;
    const std::string text = lv_.At(index);
    EntryOptions options = lv_.OptionsAt(index);
    options.enabled = !options.enabled;
    lv_.SetOptions(index, options);
    store_.SaveWindowList(ListChange::Options(text, std::move(options)));
    // The reload drops the selection; the user is still working on this entry.
    lv_.Select(store_.Find(text));
}

void MainFrm::OpenHelpFile() {
    const std::string path = platform_.process.ProgramFolder() + "\\Quellbox.chm";
    if (!platform_.process.IsOrdinaryFile(path)) {
        platform_.process.ShowMessageBox(own_.mainFrm, kHelpMissing, "Error", kMbOk | kMbIconStop | kMbSetForeground);
        return;
    }
    // The help file's own folder as the working folder: a folder that does not
    // exist would make the shell refuse to start the viewer.
    platform_.process.ShellExecuteFile("open", path, "", platform_.process.ProgramFolder(), 1);
}

void MainFrm::ExitApplication() {
    const int answer =
        platform_.process.ShowMessageBox(own_.mainFrm, kExitQuestion, "Quellwatch",
                                         kMbOkCancel | kMbIconExclamation | kMbSetForeground);
    if (answer != kIdOk) return;
    Form_Unload();
    platform_.process.EndProcess(0);
}

void MainFrm::ExitRequested() {
    if (platform_.commandLineMode) return;
    Form_Unload();
    platform_.process.EndProcess(0);
}

namespace {
const char kListFilter[] = "Window Lists (*.wnl)\0*.wnl\0";
const char kAllFilesFilter[] = "All Files (*.*)\0*.*\0";
}  // namespace

void MainFrm::menu_Imp_Click() {
    FileDialogRequest request;
    request.owner = own_.mainFrm;
    request.filter = std::string(kListFilter, sizeof kListFilter - 1) +
                     std::string(kAllFilesFilter, sizeof kAllFilesFilter - 1) + '\0';
    request.title = "Import Window List";
    // The file and its folder must exist: a typed name that is not there is
    // refused by the dialog itself.
    request.flags = kOfnHideReadOnly | kOfnPathMustExist | kOfnFileMustExist | kOfnNoChangeDir;
    std::string path;
    // Neither the dialog nor the reading of the file holds the list lock;
    // a save follows either way, which reloads the list and its count text.
    ListFileContents file;
    if (platform_.fileDialogs.Open(request, &path)) file = listFile_.ReadWindowList(path);
    const bool fitted = AppendNewEntries(lv_, file.entries, platform_.lower, file.options);
    const SaveOutcome saved = store_.SaveWindowList(ListChange::Merge(std::move(file.entries), std::move(file.options)));
    listFile_.ReportImport(fitted && !saved.listFull ? file.outcome : ImportOutcome::kListFull, own_.mainFrm);
}

void MainFrm::menu_Export_Click() {
    FileDialogRequest request;
    request.owner = own_.mainFrm;
    request.filter = std::string(kListFilter, sizeof kListFilter - 1) + '\0';
    request.title = "Export Window List";
    request.flags = kExportDialogFlags;
    request.defaultExtension = "wnl";
    std::string path;
    if (platform_.fileDialogs.Save(request, &path)) listFile_.ExportWindowList(path, own_.mainFrm);
}

bool MainFrm::OnCommand(int id) {
    switch (id) {
    case IDM_STAT_ENABLE:
    case IDM_ENABLE: EnableTracking(); return true;
    case IDM_STATUS_DISABLE:
    case IDM_DISABLE: DisableTracking(); return true;
    case IDM_OPEN1:
    case IDM_OPEN2: menu_Open_Click(); return true;
    case IDM_CLOSE:
    case IDM_EXIT1:
    case IDM_EXIT2: ExitApplication(); return true;
    case IDM_HELPFILE: OpenHelpFile(); return true;
    case IDC_REFRESHL: RefreshL_Click(); return true;
    case IDM_IMP: menu_Imp_Click(); return true;
    case IDM_EXPORT: menu_Export_Click(); return true;
    case IDC_LADD:
    case IDM_AD1:
    case IDM_AD2: addItem_.Show(); return true;
    case IDC_EDITENTRY: listCommands_.EditEntry_Click(own_.mainFrm); return true;
    case IDC_LREM:
    case IDM_ENTRYREMOVE: listCommands_.lrem_Click(own_.mainFrm); return true;
    case IDM_ENTRYEDIT: listCommands_.EditEntry_Click(own_.mainFrm); return true;
    case IDM_ENTRYENABLED: EntryEnabled_Click(); return true;
    case IDM_ENTASK1:
    case IDM_ENTASK2: target_.TaskbarTarget_Click(); return true;
    case IDM_MODE:
    case IDM_OPTMENU_START:
    case IDM_OPTMENU2_START: options_.ShowOptionsPage(kPageOnStartup); return true;
    case IDM_SOUND:
    case IDM_OPTMENU_SOUND:
    case IDM_OPTMENU2_SOUND: options_.ShowOptionsPage(kPageSounds); return true;
    case IDM_OPTFILEICON:
    case IDM_FILEICON1:
    case IDM_FILEICON2: options_.ShowOptionsPage(kPageListIcon); return true;
    case IDM_NEVERCLOSE:
    case IDM_NEVERCLOSE1:
    case IDM_NEVERCLOSE2: options_.ShowOptionsPage(kPageNeverClose); return true;
    case IDM_KEYS:
    case IDM_KEYS1:
    case IDM_KEYS2: options_.ShowOptionsPage(kPageKeys); return true;
    case IDM_ABT: about_.Show(); return true;
    case IDM_CLOSEDWINDOWS:
    case IDM_CLOSEDWINDOWS1:
    case IDM_CLOSEDWINDOWS2:
        if (closedWindows_) closedWindows_->Show();
        return true;
    }
    return false;
}

}  // namespace qw
