#!/usr/bin/env bash
# Mutation check of the native unit tests (not run by CI). It plants one
# plausible fault at a time in a private copy of the sources, rebuilds the
# unit tests and runs them: a fault the tests do not notice is a fault that
# could ship. The working tree is only read, so it may run while others edit.
#
#   scripts/mutants.sh              every mutant
#   scripts/mutants.sh M07 M31      only these
#   scripts/mutants.sh --check      only check that every mutant still applies
#
# QW_MUTANT_DIR=/some/dir keeps the copy and its build there, so the next run
# builds only what changed; otherwise a temporary directory is used and removed.
# The copy is of the git working tree (tracked and new files), or of every
# file when the sources are not a git checkout.
set -euo pipefail

SRC=$(cd "$(dirname "$0")/.." && pwd)

# One mutant per block: "id  file  what goes wrong", then the exact text it
# replaces ("- " lines) and the text put in its place ("+ " lines; none to
# delete). Texts of several lines are joined with newlines. The old text must
# occur exactly once in the file, or the mutant is reported as STALE.
IFS= read -r -d '' TABLE <<'MUTANTS' || true
E01  engine/scanner.cpp  the desktop "Program Manager" is no longer spared
- if (title == "Program Manager" || title == "DesktopBackgroundClass") return false;
+ if (title == "DesktopBackgroundClass") return false;

E02  engine/scanner.cpp  titles are read through a buffer twice as large (past 254 characters)
- constexpr int kTitleCharacters = 254;
+ constexpr int kTitleCharacters = 508;

E03  engine/scanner.cpp  WM_CLOSE is posted before WM_CANCELMODE
- const bool taken = windows_.Post(window, kWmCancelMode) && windows_.Post(window, kWmClose);
+ const bool taken = windows_.Post(window, kWmClose) && windows_.Post(window, kWmCancelMode);

E04  engine/scanner.cpp  the title is not re-checked just before the close
- if (!IsCandidate(window, facts, *title)) return Closing::kTurnedDown;
+ 

E05  engine/scanner.cpp  the close sound is played without SND_NOSTOP
- constexpr unsigned kSoundFlags = kSndAsync | kSndNoDefault | kSndNoStop;
+ constexpr unsigned kSoundFlags = kSndAsync | kSndNoDefault;

E06  engine/scanner.cpp  the debounce tick forgets to forget the last closed title
- lastClosedTitle_.clear();
+ 

E07  engine/scanner.cpp  a box owned by another window of the program (a file chooser) is closed
- return owner != 0 && (own_.Contains(owner) || windows_.BelongsToProgram(owner));
+ return owner != 0 && own_.Contains(owner);

E08  engine/scanner.cpp  the matcher is built once and never follows list changes
- if (matcherGeneration_ == lv_.Generation()) return;
+ if (matcherGeneration_ != ~std::uint64_t{0}) return;

E09  engine/entry_matcher.cpp  an entry ending inside a longer entry's path is not reported
- least_[child] = std::min(least_[child], least_[target]);
+ 

E12  engine/window_events.h  events wait for the end of a pass
- void OnBetweenWindows() override { Deliver(); }
+ void OnBetweenWindows() override {}

E13  engine/scanner.cpp  a pass never yields to its slice
- if (std::chrono::steady_clock::now() - start >= passSlice_) break;
+ 

E14  engine/scanner.cpp  a pass cut short starts over instead of going on
- if (next_ == pass_.size()) {
+ {

E15  engine/window_events.cpp  a listed window not shown yet is not watched
- if (event == WindowEvent::kCreated && !showReported_ && waiting != waiting_.end() && Watch(window))
-             waiting_.erase(waiting);
+ 

E16  engine/window_events.cpp  every listed window not shown yet is watched, however many come at once
- watched_ = true;
+ 

E17  engine/window_events.cpp  unlisted windows not shown yet are watched too
- if (watched_ || !scanner_.MatchesListEntry(window, scanner_.GetTitle(window))) return false;
+ if (watched_) return false;

S01  store/registry_access.cpp  a 255-character value that fills the buffer is read as a text
- if (Characters(type, data) > kReadBufferChars || Characters(type, read) >= kReadBufferChars)
+ if (Characters(type, data) > kReadBufferChars)

S02  store/registry_access.cpp  a negative number reads as positive
- return negative ? -value : value;
+ return value;

S03  store/registry_access.cpp  a switch ignores the fraction ("0.5" reads as off)
- if (i < text.size() && text[i] == '.') {
+ if (i < text.size() && text[i] == ',') {

S04  store/registry_access.cpp  blanks before a number are not skipped
- while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
+ while (i < text.size() && text[i] == '\t') ++i;

S05  store/registry_access.cpp  a write stores one byte more than the text (a terminator)
- static_cast<std::uint32_t>(data.size())));
+ static_cast<std::uint32_t>(data.size() + 1)));

S06  store/window_list_store.cpp  the count text says "0 window."
- if (count == 1) return "Quellwatch is currently scanning for 1 window.";
+ if (count <= 1) return "Quellwatch is currently scanning for " + std::to_string(count) + " window.";

S07  store/window_list_store.cpp  the digits of the count are grouped from the left
- if (i > 0 && (n - i) % 3 == 0) grouped += separator;
+ if (i > 0 && i % 3 == 0) grouped += separator;

S08  store/window_list_store.cpp  a save overwrites the entries without staging the new list first
- if (!data.Write(kStagedValue, marker, kRegSz)) return Refused(data.Error());
+ 

S09  store/window_list_store.cpp  the staged list starts right after the old count, under the new entries
- Span next{std::max(oldCount, count), count - kept, kept};
+ Span next{oldCount, count - kept, kept};

S10  store/window_list_store.cpp  a save stages over the list an unfinished save left staged
- if (staged && next.first < staged->End() && staged->first < next.End()) next.first = staged->End();
+ 

S11  store/window_list_store.cpp  a load ignores the list a cut-short save left staged
- const Span span = staged ? *staged : Span{0, count};
+ const Span span = Span{0, count};

S12  store/window_list_store.cpp  repeats differing in case are both loaded
- if (!seen.insert(lower_.Lower(entry)).second) continue;
+ if (!seen.insert(entry).second) continue;

S13  store/window_list_store.cpp  a damaged huge count is read whole
- return std::clamp(LeadingNumber(text), 0L, kMaxStoredCount);
+ return std::max(LeadingNumber(text), 0L);

S14  store/window_list_store.cpp  an empty stored entry is loaded
- if (status != ReadStatus::kRead || entry.empty()) continue;
+ if (status != ReadStatus::kRead) continue;

S15  store/window_list_store.cpp  the leftovers of the old list stay after a save
- if (!keep.count(name) && !data.Delete(name)) break;
+ if (false && !keep.count(name) && !data.Delete(name)) break;

S16  store/window_list_store.cpp  IsListedTitle compares case-sensitively
- if (lower_.EqualNoCase(text, entry)) return true;
+ if (text == entry) return true;

S17  store/window_list_store.cpp  a save does not reload the list it wrote
- // stands for.
-         Load();
+ // stands for.

S30  store/window_list_store.cpp  a single stray value beside the list is not looked for
- registry_.EnumValueName(data.Key(), static_cast<std::uint32_t>(count) + 1, &extra)
+ registry_.EnumValueName(data.Key(), static_cast<std::uint32_t>(count) + 2, &extra)

S31  store/window_list_store.cpp  a load after an unfinished save skips the entries kept in place
- if (!read(0, span.kept) || !read(span.first, span.End())) return Unread(data.Error());
+ if (!read(span.first, span.End())) return Unread(data.Error());

S18  store/entry_list.cpp  the list takes a 32,768th entry
- if (Count() >= kMaxEntries) return false;
+ if (Count() > kMaxEntries) return false;

S19  store/entry_list.cpp  changing an entry in place does not count as a change
- items_[static_cast<std::size_t>(index)] = text;
-     ++generation_;
+ items_[static_cast<std::size_t>(index)] = text;

S20  store/file_association.cpp  a standard user's association goes to HKCU's root, not Software\Classes
- RegTryWriteString(registry, kHkeyCurrentUser, kUserClasses + path, name, data, type);
+ RegTryWriteString(registry, kHkeyCurrentUser, path, name, data, type);

F01  store/list_file.cpp  the lowest key of the usual range is one too low
- constexpr int kKeyLow = 68;
+ constexpr int kKeyLow = 67;

F02  store/list_file.cpp  a high character's key may be LF
- if (k != '\r' && k != '\n') keys[count++] = k;
+ if (k != '\r') keys[count++] = k;

F03  store/list_file.cpp  a pair that decodes to NUL is accepted
- if (a <= b) return std::nullopt;
+ if (a < b) return std::nullopt;

F04  store/list_file.cpp  an imported entry of exactly five characters is dropped
- taking = utf8::CodePoints(*entry) >= kMinImportedEntry &&
+ taking = utf8::CodePoints(*entry) > kMinImportedEntry &&

F05  store/list_file.cpp  the header is compared ignoring case
- if (line != kListFileHeader && !unicode) {
+ if (lower_.Lower(line) != lower_.Lower(kListFileHeader) && !unicode) {

F06  store/list_file.cpp  the LF after a CR starts the next line
- if (buffer_[position_] == '\n') {
+ if (false) {

F07  store/list_file.cpp  an export writes no empty line 2
- std::string pending = std::string(header) + kCrLf + kCrLf;
+ std::string pending = std::string(header) + kCrLf;

F08  store/whole_file.cpp  an export ignores a failed close and replaces the old file
- if (file_) ok_ = files_.Close(file_) && ok_;
+ if (file_) files_.Close(file_);

F09  store/whole_file.cpp  a failed export leaves its temporary file behind
- if (!ok_) files_.Delete(temp_);
+ 

F10  store/window_list_store.cpp  a merge does not remember what it added (repeats within the file)
- listed.insert(std::move(key));
+ 

F11  store/list_file.cpp  an overlong line is skipped instead of ending the import
- if (read != LineReader::Result::kLine) {
+ if (read == LineReader::Result::kTooLong) continue;
+         if (read != LineReader::Result::kLine) {

F12  store/list_file.cpp  blanks just inside the quotes of a path stay
- path = TrimBlanks(path.substr(1, path.size() - 2));
+ path = path.substr(1, path.size() - 2);

T01  ui/sys_tray.cpp  the record's size is wrong
- nid_.cbSize = 88;
+ nid_.cbSize = 504;

T02  ui/sys_tray.cpp  the callback message is not WM_MOUSEMOVE
- constexpr std::uint32_t kWmMouseMove = 0x200;
+ constexpr std::uint32_t kWmMouseMove = 0x201;

T03  ui/sys_tray.cpp  the tip is padded with NULs, not spaces
- std::memset(nid_.szTip, ' ', sizeof nid_.szTip);
+ std::memset(nid_.szTip, 0, sizeof nid_.szTip);

T04  ui/sys_tray.cpp  a removed icon comes back when the taskbar is recreated
- if (added_) Add();
+ Add();

T05  ui/sys_tray.cpp  the re-added icon keeps the flags of the last change only
- nid_.uFlags = kNifMessage | kNifIcon | kNifTip;
-     // An add that timed out
+ // An add that timed out

T06  ui/sys_tray.cpp  a right double click arrives as a right button up
- case 0x206: dbl(kRightButton); break;
+ case 0x206: up(kRightButton); break;

T07  ui/sys_tray.cpp  unloading twice deletes the icon twice
- shell_.NotifyIcon(kNimDelete, nid_);
-     added_ = shown_ = false;
+ shell_.NotifyIcon(kNimDelete, nid_);
+     shown_ = false;

M01  shell/main_frm.cpp  the system menu items are removed in the wrong order
- view.RemoveSystemMenuItem(kSystemMenuClose);
-     view.RemoveSystemMenuItem(kSystemMenuCloseSeparator);
+ view.RemoveSystemMenuItem(kSystemMenuCloseSeparator);
+     view.RemoveSystemMenuItem(kSystemMenuClose);

M02  shell/main_frm.cpp  "Minimized at start" is ignored
- if (!Switch(Setting::kMinimizedAtStart)) view.ShowNormal();
+ view.ShowNormal();

M03  shell/main_frm.cpp  a middle button up pops the tray menu up
- if (button != kRightButton) return;
+ if (button == kLeftButton) return;

M04  shell/main_frm.cpp  the tray menu of the other tracking state pops up
- platform_.tm.IsRunning() ? TrayMenu::kEnabled : TrayMenu::kDisabled,
+ platform_.tm.IsRunning() ? TrayMenu::kDisabled : TrayMenu::kEnabled,

M05  shell/main_frm.cpp  the tray menu is owned by the main window, which it raises
- sysIcon_ ? sysIcon_->Record().hWnd : 0);
+ own_.mainFrm);

M06  shell/main_frm.cpp  exit does not wait for OK
- if (answer != kIdOk) return;
+ 

M07  shell/main_frm.cpp  exit leaves the tray icon behind
- if (answer != kIdOk) return;
-     Form_Unload();
+ if (answer != kIdOk) return;

M08  shell/main_frm.cpp  help starts without a working folder
- platform_.process.ShellExecuteFile("open", path, "", platform_.process.ProgramFolder(), 1);
+ platform_.process.ShellExecuteFile("open", path, "", "", 1);

M09  shell/main_frm.cpp  the import dialog accepts a typed name of no file
- request.flags = kOfnHideReadOnly | kOfnPathMustExist | kOfnFileMustExist | kOfnNoChangeDir;
+ request.flags = kOfnHideReadOnly | kOfnPathMustExist | kOfnNoChangeDir;

M10  platform/shell_api.h  export overwrites without asking
- constexpr unsigned kSaveDialogFlags = kOfnOverwritePrompt | kOfnHideReadOnly
+ constexpr unsigned kSaveDialogFlags = kOfnHideReadOnly

M11  shell/main_frm.cpp  the status bar's Disable command is not handled
- case IDM_STATUS_DISABLE:
+ 

M12  shell/main_frm.cpp  "Open" of the disabled tray menu is not handled
- case IDM_OPEN2: menu_Open_Click(); return true;
+ menu_Open_Click(); return true;

M13  shell/main_frm.cpp  the file association is not rewritten at start
- RegisterListFileType(ReadIconIndex(platform_.registry));
+ 

M14  shell/main_frm.cpp  "Task Target" is ignored at start
- if (Switch(Setting::kTaskTarget)) target_.ShowTargetIcon();
+ 

M15  shell/main_frm.cpp  enabling tracking does not start the tick
- platform_.tm.Start();
+ 

P01  shell/startup.cpp  the tray program stays in command-line mode
- flags.commandLineMode = false;
+ 

P02  shell/startup.cpp  "Show Splash Screen" is read the wrong way round
- if (ReadSwitch(registry, Setting::kShowSplashScreen)) {
+ if (!ReadSwitch(registry, Setting::kShowSplashScreen)) {

P03  shell/startup.cpp  "already running" shows the wrong icon
- kMbOk | kMbIconInformation | kMbSetForeground
+ kMbOk | kMbIconExclamation | kMbSetForeground

P04  shell/startup.cpp  the running tray copy is not told to reload after an import
- if (trayCopy) host.TellTrayCopyToReload();
+ 

P05  shell/startup.cpp  the "press refresh" message goes to the wrong case
- trayCopy ? kImportedPressRefresh : kImported
+ trayCopy ? kImported : kImportedPressRefresh

P06  store/window_list_store.cpp  an import merges into an empty list instead of the stored one
- if (stamp_ != *stored) {
+ if (stamp_ && stamp_ != *stored) {

P07  shell/startup.cpp  the closing quote of the program path is left on the arguments
- end = end == std::string::npos ? commandLine.size() : end + 1;
+ end = end == std::string::npos ? commandLine.size() : end;

P08  shell/startup.cpp  an unquoted program path is compared case-sensitively
- if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
+ 

P09  shell/splash.cpp  the splash can load the main window twice
- if (handedOver_) return;
+ 

P10  shell/about.cpp  the build shows the fourth version number instead of the third
- return ProgramVersion{high >> 16, high & 0xFFFFu, low & 0xFFFFu};
+ return ProgramVersion{high >> 16, high & 0xFFFFu, low >> 16};

C01  store/settings.cpp  tracking is off at start when "On at Start" is missing
- {Setting::kOnAtStart, "On at Start", StoredForm::kSwitch, "1", "1", Reader::kSwitch},
+ {Setting::kOnAtStart, "On at Start", StoredForm::kSwitch, "1", "0", Reader::kSwitch},

C02  store/settings.cpp  the close sound plays before the options were ever stored
- "Play Sound", StoredForm::kSwitch, "1", "False", Reader::kFlag},
+ "Play Sound", StoredForm::kSwitch, "1", "1", Reader::kFlag},

C03  store/settings.cpp  icon 9 is out of range
- if (index >= kFirstIcon && index <= kLastIcon) return static_cast<int>(index);
+ if (index >= kFirstIcon && index < kLastIcon) return static_cast<int>(index);

C04  store/settings.cpp  "1x" counts as a sound flag that is on
- return end && *end == '\0' && number != 0.0;
+ return end && number != 0.0;

C05  store/settings.cpp  the start entry is not written for the user when the machine refuses
- } else if (RegTryWriteString(registry, kHkeyCurrentUser, kRunKeyPath, kRunValueName, data, kRegSz)) {
+ } else if (false) {

C06  store/settings.cpp  switching start-with-Windows off leaves the user's entry
- RegDeleteValue(registry, kHkeyCurrentUser, kRunKeyPath, kRunValueName);
-     }
+ }

C07  store/settings.cpp  the start entry's path is not quoted
- std::string RunEntryData(const std::string& modulePath) { return "\"" + ProgramExePath(modulePath) + "\""; }
+ std::string RunEntryData(const std::string& modulePath) { return ProgramExePath(modulePath); }

C08  store/settings.cpp  the options dialog reads "Play Sound" as a flag word
- if (side == Side::kProgram && info.reader == Reader::kFlag) return SoundFlagOn(text);
+ if (info.reader == Reader::kFlag) return SoundFlagOn(text);

C09  options/options.cpp  OK stores the splash box as "Minimized at start"
- WriteSwitch(reg, Setting::kMinimizedAtStart, view_.Checked(OptionsCheck::kStartMin));
+ WriteSwitch(reg, Setting::kMinimizedAtStart, view_.Checked(OptionsCheck::kShwSplash));

C10  options/options.cpp  the slider previews the icon one too low
- int IconResourceAt(int position) { return position + 1; }
+ int IconResourceAt(int position) { return position; }

C11  options/options.cpp  a sound path of 254 characters is refused
- if (utf8::Utf16Units(path) > kLongestReadableText) {
+ if (utf8::Utf16Units(path) >= kLongestReadableText) {

C12  options/options.cpp  a chooser answering after a reload fills the new dialog
- if (load != loads_ || !view_.Handle()) return;
+ if (!view_.Handle()) return;

C13  options/options.cpp  the association is rewritten before the icon index is stored
- WriteSetting(reg, Setting::kFileIcon, std::to_string(icon));
-     if (platform_.registerListFileType) platform_.registerListFileType(icon);
+ if (platform_.registerListFileType) platform_.registerListFileType(icon);
+     WriteSetting(reg, Setting::kFileIcon, std::to_string(icon));

C14  options/options.cpp  a reopened dialog is not reloaded
- if (view_.Handle()) view_.Close();
+ 

D01  editing/add_item.cpp  a five-character title is refused as too short
- if (text.empty() || utf8::CodePoints(text) >= kMinimumEntryLength) return false;
+ if (text.empty() || utf8::CodePoints(text) > kMinimumEntryLength) return false;

D02  editing/add_item.cpp  the picker lists titles with their browser suffix
- std::string title = scanner_.GetTitle(window);
-         StripBrowserSuffix(title);
+ std::string title = scanner_.GetTitle(window);

D03  editing/add_item.cpp  the crosshair stays after a drag
- view_.SetCrosshair(false);
+ 

D04  editing/add_item.cpp  the invalid-window message has no owner
- ShowMessageBox(view_.Handle(), kInvalidWindow,
+ ShowMessageBox(0, kInvalidWindow,

D05  editing/edit.cpp  Apply changes whatever now stands at the opened index
- if (index >= 0 && index < lv.Count() && lv.At(static_cast<int>(index)) == opened_) return static_cast<int>(index);
+ if (index >= 0 && index < lv.Count()) return static_cast<int>(index);

D06  editing/edit.cpp  a moved entry is looked for case-sensitively
- if (platform_.lower.EqualNoCase(lv.At(i), opened_)) return i;
+ if (lv.At(i) == opened_) return i;

D07  ui/entry_commands.cpp  removal does not re-check the list after the question
- int at = index < lv.Count() && lv.At(index) == text ? index : -1;
+ int at = index;

D08  ui/entry_commands.cpp  the removal question's default button is OK
- kMbOkCancel | kMbIconQuestion | kMbDefButton2 | kMbSetForeground;
+ kMbOkCancel | kMbIconQuestion | kMbSetForeground;

D09  editing/taskbar_target.cpp  the right button on the target offers the title too
- if (button != kLeftButton) return;
+ 

D10  editing/taskbar_target.cpp  the title cut at its browser suffix is not checked for length
- if (title.empty() || RefuseShortTitle(platform_, owner, title)) return;
+ if (title.empty()) return;

D11  editing/taskbar_target.cpp  the target stores "Task Target" the wrong way round
- WriteSwitch(platform_.registry, Setting::kTaskTarget, on);
+ WriteSwitch(platform_.registry, Setting::kTaskTarget, !on);

D12  editing/taskbar_target.cpp  every hover reads the title again
- if (foreground == lastForegroundWindow_) return;
+ 

D13  editing/taskbar_target.cpp  asking for the target twice makes two icons
- if (target_) return;  // one icon, however often it is asked for
+ 

D14  editing/browser_suffix.cpp  the cut keeps the suffix's first character
- if (at != std::string::npos) text.erase(at);
+ if (at != std::string::npos) text.erase(at + 1);

L01  store/window_list_store.cpp  a save writes over what another copy saved meanwhile
- if (stamp_ != *stored) {
+ if (!stamp_) {

L02  store/window_list_store.cpp  a stamp that cannot be read counts as unchanged
- if (key.TryRead(kDataStampValue, &stamp) == ReadStatus::kFailed) {
+ if (false) {

L03  store/window_list_store.cpp  a reload drops the changes still waiting for a save
- for (const ListChange& made : pending_) Apply(made);
+ 

L04  store/window_list_store.cpp  a change made again finds its entry only in the same case
- if (lower_.EqualNoCase(lv_.At(i), text)) return i;
+ if (lv_.At(i) == text) return i;

L05  store/window_list_store.cpp  an entry added by both copies is stored twice
- return IsListedTitle(change.text) || lv_.Add(change.text, change.options.value_or(EntryOptions{}));
+ return lv_.Add(change.text, change.options.value_or(EntryOptions{}));

L06  store/window_list_store.cpp  a merge adds entries the list holds already
- if (listed.count(key)) continue;
+ 

L07  store/window_list_store.cpp  the user cannot try again while another copy holds the list
- if (!whenBusy_ || !whenBusy_(saving)) return false;
+ return false;

L08  shell/main_frm.cpp  an importing copy is not offered to try again
- return process.ShowMessageBox(own_.mainFrm, kListBusy, "Quellwatch", kMbRetryCancel | kWarning) == kIdRetry;
+ return false;

L09  shell/startup.cpp  an import given up still reports success
- if (!saved.saved) return ImportExit::kNotStored;  // the user gave up while a tray copy held the list
+ 

L10  editing/edit.cpp  an edit does not tell its save what it changed
- change = ListChange::Edit(platform_.lv.At(index), text,
-                                   newOptions ? std::optional<EntryOptions>(options) : std::nullopt);
+ 

L11  ui/entry_commands.cpp  a removal does not tell its save what it changed
- store.SaveWindowList(ListChange::Remove(text));
+ store.SaveWindowList();

L12  editing/taskbar_target.cpp  the target's add does not tell its save what it changed
- platform_.store.SaveWindowList(ListChange::Add(title));
+ platform_.store.SaveWindowList();

L13  shell/main_frm.cpp  the menu import does not tell its save what it merged
- store_.SaveWindowList(ListChange::Merge(std::move(file.entries), std::move(file.options)));
+ store_.SaveWindowList();

S32  store/window_list_store.cpp  a save after an unfinished one deletes Staged twice and stops before tidying
- // (seconds for a full list under Wine).
+ // (seconds for a full list under Wine).
+     if (staged && !data.Delete(kStagedValue)) return false;

S33  store/window_list_store.cpp  a refused read counts as "nothing stored"
- return countRead != ReadStatus::kFailed && stagedRead != ReadStatus::kFailed;
+ return true;

S34  store/registry_access.cpp  a key that cannot be opened counts as absent
- if (!open_ && opened != kErrorFileNotFound) error_ = opened;
+ 

S35  store/file_association.cpp  the association's texts are stored without their terminator
- const std::string data = type == kRegSz ? text + '\0' : text;
+ const std::string data = text;

F20  store/list_file.cpp  the import's five-character rule counts bytes
- taking = utf8::CodePoints(*entry) >= kMinImportedEntry
+ taking = entry->size() >= kMinImportedEntry

F21  store/whole_file.cpp  a temporary file a crash left beside the target stays there
- TidyLeftovers();
-     file_ = files_.Create(temp_);
+ file_ = files_.Create(temp_);

D20  editing/add_item.cpp  the dialogs' five-character rule counts bytes
- if (text.empty() || utf8::CodePoints(text) >= kMinimumEntryLength) return false;
+ if (text.empty() || text.size() >= kMinimumEntryLength) return false;

D21  editing/add_item.cpp  the crosshair takes a control of the main window
- if (!platform_.scanner.IsProgramWindow(root) && platform_.scanner.IsCandidateWindow(window, title)) {
+ if (platform_.scanner.IsCandidateWindow(window, title)) {

F22  store/list_file.cpp  the reader keeps repeats, so a huge file of one entry hides what follows
- && seen.insert(lower_.Lower(*entry)).second;
+ ;

E20  engine/window_events.cpp  a renamed hidden window is watched at every new name
- if (event == WindowEvent::kCreated && !showReported_ && waiting != waiting_.end() && Watch(window))
+ if (!showReported_ && waiting != waiting_.end() && Watch(window))

E21  engine/scanner.cpp  a refused close takes the debounce
- if (closing != Closing::kAsked && closing != Closing::kTurnedDown) return true;
+ if (closing != Closing::kAsked && closing != Closing::kTurnedDown && closing != Closing::kRefused) return true;

E22  engine/scanner.cpp  a window whose program does not answer is asked all the same
- if (windows_.IsHung(window)) {
+ if (false) {

E23  engine/scanner.cpp  a window that cannot be closed is asked again at every pass
- if (StillRefused(window, title)) return true;
+ 

E24  engine/scanner.cpp  a window stays refused after its program answers again
- (it->second.why != CloseRefusal::kHung || windows_.IsHung(window))
+ true

E25  engine/scanner.cpp  a refusal outlives its window, and spares a new one with its handle
- for (auto it = refused_.begin(); it != refused_.end();) it = listed(it->first) ? std::next(it) : refused_.erase(it);
+ 

E26  engine/window_events.cpp  any event starts the retry timer
- if (!queue_.empty() && !retryTimer_->IsRunning()) retryTimer_->Start();
+ if (!retryTimer_->IsRunning()) retryTimer_->Start();

E27  engine/window_events.cpp  reports of showing are not noticed: windows are watched on Windows too
- if (event == WindowEvent::kShown && waiting_.count(window)) showReported_ = true;
+ 

E28  engine/window_events.cpp  tracking switched on again keeps what the last run found out
- showReported_ = false;
+ 

E29  engine/window_events.cpp  a wake of the message loop does not start a new turn
- testedSinceTick_ = 0;
-     watched_ = false;
-     Deliver();
+ Deliver();

T10  ui/sys_tray.cpp  a refused icon is not tried again
- } else if (!retry_->IsRunning()) {
-         retry_->Start();
-     }
+ }

T11  ui/sys_tray.cpp  an add that timed out is not looked for before the next try
- shown_ = shell_.NotifyIcon(kNimAdd, nid_) || shell_.NotifyIcon(kNimModify, nid_);
+ shown_ = shell_.NotifyIcon(kNimAdd, nid_);

C20  store/settings.cpp  the user's Run entry stays beside the machine's: two copies start at logon
- RegDeleteValue(registry, kHkeyCurrentUser, kRunKeyPath, kRunValueName);
-         } else if
+ } else if

C21  options/options.cpp  a sound in a folder the user may not write is refused by the dialog
- kOfnFileMustExist | kOfnHideReadOnly | kOfnNoTestFileCreate | kOfnNoChangeDir;
+ kOfnFileMustExist | kOfnHideReadOnly | kOfnNoChangeDir;

P20  platform/shell_api.h  a copy running as administrator that refuses its object counts as none
- return result == NamedObject::kExisted || result == NamedObject::kDenied;
+ return result == NamedObject::kExisted;

D23  editing/add_item.cpp  the picker reads every window's title before it asks whether it is shown
- if (!scanner_.IsShown(window) || scanner_.IsUnseen(window)) return;
+ if (scanner_.IsUnseen(window)) return;

D24  editing/taskbar_target.cpp  the target offers the notification flyout that showed it
- if (foreground && IsShellWindowClass(platform_.windows.ClassName(foreground))) return;
+ 

M20  shell/main_frm.cpp  Explorer is not told that the association changed
- platform_.process.AssociationsChanged();
+ 

M21  platform/shell_api.h  the export dialog insists on an existing file
- kOfnOverwritePrompt | kOfnHideReadOnly | kOfnPathMustExist | kOfnNoChangeDir;
+ kOfnOverwritePrompt | kOfnHideReadOnly | kOfnPathMustExist | kOfnNoChangeDir | kOfnFileMustExist;

M22  shell/main_frm.h  the status bar does not name a window that cannot be closed
- platform_.view.SetStatusText(CannotCloseText(title, why));
+ 

U01  platform/text.cpp  letters beyond ASCII keep their case
- utf8::Append(out, Lower(code));
+ utf8::Append(out, code);

U02  engine/entry_matcher.cpp  a title's letters beyond ASCII are matched in their own case
- count = Encode(folding_->Lower(code), bytes);
+ count = Encode(code, bytes);

U03  platform/text.cpp  Cyrillic capitals are not folded
- range(0x410, 0x42F, 32);
+ 

U04  platform/text.cpp  characters are counted in bytes
- for (std::size_t at = 0; at < text.size(); ++count) Next(text, at);
+ count = text.size();

U05  store/registry_access.cpp  a text's length in the registry is counted in bytes
- return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz ? utf8::Utf16Units(data) : data.size();
+ return data.size();

U06  store/list_file.cpp  every list is written under the older header
- const bool unicode = options || ansi.size() != lv_.Items().size();
+ const bool unicode = options;

U07  store/list_file.cpp  a line of the newer header that is not UTF-8 is taken
- if (!entry || (unicode && !utf8::IsValid(*entry))) {
+ if (!entry) {

U08  store/list_file.cpp  entries of the older header are taken as UTF-8
- if (!unicode) *entry = ansi_.ToUtf8(*entry);
+ 

U09  platform/text.h  overlong forms are read as characters
- if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
+ if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {

U10  platform/text.cpp  a cut may split a character beyond the first plane
- used += Next(text, next) < 0x10000 ? 1 : 2;
+ used += 1;

U11  platform/text.cpp  a lone surrogate is written as it is
- } else if (code >= 0xD800 && code <= 0xDFFF) {
-             code = kReplacement;
-         }
+ }

U12  store/list_file.cpp  the older header is refused
- if (line != kListFileHeader && !unicode) {
+ if (!unicode) {

U13  options/options.cpp  a sound path's length is counted in bytes
- if (utf8::Utf16Units(path) > kLongestReadableText) {
+ if (path.size() > kLongestReadableText) {

H01  ui/display_scale.cpp  a scaled length is cut down instead of rounded
- int ScaleForDpi(int length, int dpi) { return (length * dpi + 48) / 96; }
+ int ScaleForDpi(int length, int dpi) { return length * dpi / 96; }

H02  ui/display_scale.cpp  an old pixel counts whole under a new pixel that covers only part of it
- const long long left = std::max(static_cast<long long>(i) * to, begin);
+ const long long left = static_cast<long long>(i) * to;

H03  ui/display_scale.cpp  a scaled pixel's mean is cut down instead of rounded
- pixel |= static_cast<std::uint32_t>((sum[c] + area / 2) / area) << (8 * c);
+ pixel |= static_cast<std::uint32_t>(sum[c] / area) << (8 * c);

H04  ui/display_scale.cpp  the red channel is dropped when a picture is scaled
- for (int c = 0; c < 3; ++c) sum[c] +=
+ for (int c = 0; c < 2; ++c) sum[c] +=

H05  ui/display_scale.cpp  a picture with fewer pixels than its size says is read past its end
- from.pixels.size() != static_cast<std::size_t>(from.width) * static_cast<std::size_t>(from.height))
+ from.pixels.empty())

H06  shell/main_layout.cpp  a button keeps its design width however wide its caption
- c.buttonWidth = std::max(designWidth, text.widestCaption + ScaleForDpi(kCaptionPaddingX, dpi));
+ c.buttonWidth = designWidth;

H07  shell/main_layout.cpp  a button keeps its design height however tall its font
- c.buttonHeight = std::max(ScaleForDpi(kButtonHeight, dpi), text.fontHeight + ScaleForDpi(kCaptionPaddingY, dpi));
+ c.buttonHeight = ScaleForDpi(kButtonHeight, dpi);

H08  shell/main_layout.cpp  the count label keeps its design height however tall its font
- c.labelHeight = std::max(ScaleForDpi(kLabelHeight, dpi), text.fontHeight);
+ c.labelHeight = ScaleForDpi(kLabelHeight, dpi);

H09  shell/main_layout.cpp  the list and buttons do not move down below a taller label
- c.listTop = ScaleForDpi(kListTop, dpi) + labelGrowth;
+ c.listTop = ScaleForDpi(kListTop, dpi);

H10  shell/main_layout.cpp  the list does not give way to wider buttons
- c.besideList = ScaleForDpi(3 * kMargin + kButtonWidth, dpi) + (c.buttonWidth - designWidth);
+ c.besideList = ScaleForDpi(3 * kMargin + kButtonWidth, dpi);

H11  shell/main_layout.cpp  the list's margins are rounded apart, taking a pixel from the list
- c.aboveAndBelowList = ScaleForDpi(kListTop + kMargin, dpi) + labelGrowth;
+ c.aboveAndBelowList = ScaleForDpi(kListTop, dpi) + ScaleForDpi(kMargin, dpi) + labelGrowth;

H12  shell/main_layout.cpp  the list runs under the status bar
- std::max(0, client.height - statusHeight - c.aboveAndBelowList)};
+ std::max(0, client.height - c.aboveAndBelowList)};

H13  shell/main_layout.cpp  the buttons stand with no gap between them
- const int step = c.buttonHeight + ScaleForDpi(kButtonGap, dpi);
+ const int step = c.buttonHeight;

H14  shell/main_layout.cpp  the least width does not hold the longest count text
- std::max(2 * margin + text.widestCount, c.besideList + ScaleForDpi(kMinListWidth, dpi));
+ c.besideList + ScaleForDpi(kMinListWidth, dpi);

H15  shell/main_layout.cpp  the least height forgets the status bar
- const int contentHeight = c.aboveAndBelowList + buttons + statusHeight;
+ const int contentHeight = c.aboveAndBelowList + buttons;

H16  shell/main_layout.cpp  the least size does not grow with the scale
- return {std::max(ScaleForDpi(kMinWidth, dpi), frame.width + contentWidth),
+ return {std::max(kMinWidth, frame.width + contentWidth),

H17  shell/main_layout.cpp  the window opens taller than the monitor's work area
- r.height = std::max(least.height, std::min(size.height, workArea.height));
+ r.height = std::max(least.height, size.height);

H18  shell/main_layout.cpp  the window opens below its least size on a small work area
- r.width = std::max(least.width, std::min(size.width, workArea.width));
+ r.width = std::min(size.width, workArea.width);

H19  shell/main_layout.cpp  the window is not moved up into the work area
- r.top = std::max(workArea.top, std::min(proposed.top, workArea.Bottom() - r.height));
+ r.top = std::max(workArea.top, proposed.top);

H20  shell/splash.cpp  the splash picture is scaled even where the window would not fit
- if (scaled.client.width <= room.width && scaled.client.height <= room.height) return scaled;
-     return at(bitmap);
+ return scaled;

H21  shell/splash.cpp  the notice shrinks below its template's height
- std::max(leastNoticeHeight, noticeHeight(width))};
+ noticeHeight(width)};

H22  shell/splash.cpp  the notice keeps its template's height however much text it must show
- std::max(leastNoticeHeight, noticeHeight(width))};
+ leastNoticeHeight};

H23  shell/splash.cpp  the splash has no margin below its notice
- l.client = {picture.width, l.notice.Bottom() + margin.height};
+ l.client = {picture.width, l.notice.Bottom()};

U14  store/registry_access.cpp  data of another type than text is handed on though it is not UTF-8
- *text = utf8::IsValid(read) ? std::string(read) : utf8::FromUtf16(utf8::ToUtf16(read));
+ *text = std::string(read);

E30  engine/entry_matcher.cpp  of two equal entries the later one is named
- terminal[node] = std::min(terminal[node], index);
+ terminal[node] = index;

E31  engine/entry_matcher.cpp  the entry named is the first found along the title, not the first in the list
- best = std::min(best, least_[state]);
-             return best != 0;
+ if (least_[state] != kNone) best = least_[state];
+             return best == kNone;

R01  engine/close_history.cpp  the history grows past its bound
- if (rows_.size() > kLimit) rows_.pop_back();
+ 

R02  engine/close_history.cpp  each request to a window that stays is a row of its own
- if (w.window == report.window && w.title == report.title) {
+ if (false) {

R03  engine/close_history.cpp  a refused request waits for an outcome like any other
- record.outcome = report.refused ? CloseOutcome::kRefused : asked;
+ record.outcome = asked;

R04  engine/close_history.cpp  a window is "Still open" at the first look
- } else if (now - it->firstAsked >= kCloseWithin) {
+ } else if (now - it->firstAsked >= 0) {

R05  engine/close_history.cpp  a window its program hid counts as still open
- return !windows_.IsTopLevelWindow(window) || !(windows_.GetStyle(window) & kWsVisible);
+ return !windows_.IsTopLevelWindow(window);

R06  engine/close_history.cpp  a window that stays is no longer followed while it is asked again
- const bool settled = !row || gone || now - it->lastAsked >= kCloseWithin;
+ const bool settled = !row || gone || now - it->firstAsked >= kCloseWithin;

R07  engine/close_history.cpp  the check timer runs on when nothing waits
- if (waiting_.empty()) checkTimer_.Stop();
+ 

R08  engine/close_history.cpp  the check timer is never started
- if (!checkTimer_.IsRunning()) checkTimer_.Start();
+ 

R09  engine/close_history.cpp  an open window does not show outcomes as they become known
- if (changed) Tell(0);
+ 

R10  engine/scanner.cpp  a request Windows refused is reported as asked
- Tell(ActKind::kAskedToClose, window, title, entry, !taken);
+ Tell(ActKind::kAskedToClose, window, title, entry, false);

R11  shell/main_frm.h  the main window keeps no history
- if (history_) history_->Acted(report);
+ 

R12  history/closed_windows.cpp  a field with a line break is not quoted
- if (field.find_first_of(",\"\r\n") == std::string::npos) {
+ if (field.find_first_of(",\"") == std::string::npos) {

R13  history/closed_windows.cpp  quotes inside a field are not doubled
- if (c == '"') line += '"';
+ 

R14  history/closed_windows.cpp  the CSV file has no byte-order mark
- std::string csv = "\xEF\xBB\xBF";
+ std::string csv;

R15  history/closed_windows.cpp  the selection stays at its place while new rows push its row down
- if (added > 0 && selected >= 0) view_.SelectRow(selected + added < count ? selected + added : -1);
+ 

R16  history/closed_windows.cpp  a failed save is not told
- if (!out.Commit()) {
+ if (!out.Commit() && false) {

R17  history/closed_windows.h  a closed window still follows the history
- void Form_Unload() { platform_.history.SetListener(nullptr); }
+ void Form_Unload() {}

R18  history/closed_windows.cpp  a double click below the rows says to select one
- if (row < 0) return;  // below the rows
+ 

R19  shell/main_frm.cpp  a row's entry is selected with the main window left where it was
- lv_.Select(index);
-     platform_.view.ShowNormal();
-     platform_.view.BringToFront();
+ lv_.Select(index);
+     platform_.view.ShowNormal();

R20  shell/main_frm.cpp  the tray menu's item does not open the window
- case IDM_CLOSEDWINDOWS2:
+ 

V01  editing/close_preview.cpp  four characters are previewed as an entry
- if (utf8::CodePoints(text) < kMinimumEntryLength) {
+ if (text.empty()) {

V02  engine/scanner.cpp  the preview counts the program's own windows
- if (own_.Contains(window)) return "";
+ 

V03  engine/scanner.cpp  the preview reads the titles of hidden windows
- if (!facts.visible || facts.ownedByUs) return "";
+ if (facts.ownedByUs) return "";

V04  engine/scanner.cpp  the preview counts windows the scan never closes (the desktop)
- return IsCandidate(window, facts, title) ? title : "";
+ return title;

V05  editing/close_preview.cpp  the preview matches the typed text case-sensitively
- if (title.empty() || !scanner_.EntryCloses(window, title, text_, options_) || scanner_.LeftAlone(window))
+ if (title.empty() || title.find(text_) == std::string::npos || !scanner_.EntryCloses(window, title, text_, options_) || scanner_.LeftAlone(window))

V06  editing/close_preview.cpp  a line naming many windows has no caution
- const bool many = windows.size() > kCautionAbove;
+ const bool many = false;

V07  editing/close_preview.h  every key refreshes the line at once
- if (parts_) parts_->delay.Start();
+ if (parts_) Refresh();

V08  editing/close_preview.cpp  the delay ticks on after the line was refreshed
- parts_->delay.Stop();
+ 

V09  editing/add_item.cpp  a pick from the list waits for the delay
- part_.Suggest(platform_.scanner.ProgramOf(rowWindows_[static_cast<std::size_t>(row)]));
-     preview_.Refresh();
+ part_.Suggest(platform_.scanner.ProgramOf(rowWindows_[static_cast<std::size_t>(row)]));

V10  editing/add_item.cpp  a pick by the crosshair waits for the delay
- view_.SetCrosshair(false);
-     preview_.Refresh();
+ view_.SetCrosshair(false);

V11  editing/edit.cpp  the edit dialog opens without its line
- view_.Show();
-     preview_.Refresh();
+ view_.Show();

V12  editing/close_preview.cpp  one window is counted as "1 windows"
- (windows.size() == 1 ? " window \xE2\x80\x94 " : " windows \xE2\x80\x94 ");
+ " windows \xE2\x80\x94 ";

S36  store/window_list_store.cpp  a refused read of an entry skips it: the list loads short
- if (status == ReadStatus::kFailed) return false;
+ if (status == ReadStatus::kFailed) continue;

S37  store/window_list_store.cpp  a refused read of the count loads an empty list
- if (!ReadLayout(data, &count, &staged)) return Unread(data.Error());
+ ReadLayout(data, &count, &staged);

S38  store/window_list_store.cpp  a refused load at start-up still stands for the stored list
- if (!Load()) return stamp_.reset();
+ if (!Load()) return;

S39  store/window_list_store.cpp  a save refused before its list took over is reported as saved
- if (!StoreList()) return refused(error_);
+ StoreList();

S40  store/window_list_store.cpp  a refused write of the stamp goes on to store the list unannounced
- if (!program.Write(kDataStampValue, next, kRegSz)) return refused(program.Error());
+ program.Write(kDataStampValue, next, kRegSz);

S41  store/window_list_store.cpp  the waiting changes are dropped before the save is known to have stored them
- if (!StoreList()) return refused(error_);
-         pending_.clear();
+ pending_.clear();
+         if (!StoreList()) return refused(error_);

S42  store/window_list_store.cpp  a save whose reload of another copy's list was refused goes on over it
- if (!Load()) return refused(error_);
+ Load();

S43  store/window_list_store.cpp  a save refused after its list took over is reported as refused
- if (!data.Write("", std::to_string(count), kRegSz) || !data.Delete(kStagedValue)) return true;
+ if (!data.Write("", std::to_string(count), kRegSz) || !data.Delete(kStagedValue)) return Refused(data.Error());

S44  store/window_list_store.cpp  the user is not told when the list reads whole again
- whenRefused_(false, kErrorSuccess);
+ 

S45  store/window_list_store.cpp  a refusal is named by the wrong words
- case kErrorAccessDenied: return "the registry denied access to it.";
+ case kErrorKeyDeleted + 1: return "the registry denied access to it.";

S46  shell/main_frm.cpp  a refused read is not said
- if (!saving) return platform_.view.SetStatusText(kListUnread);
+ if (!saving) return;

S47  shell/main_frm.cpp  a refused save is not said
- platform_.process.ShowMessageBox(own_.mainFrm,
-                                      kListUnsaved + RegistryRefusalText(error) + "\r\n" + kChangeKept, "Error",
+ platform_.process.ShowMessageBox(own_.mainFrm,
+                                      kListUnsaved + RegistryRefusalText(error) + "\r\n" + kChangeKept, "Quellwatch",

S48  shell/startup.cpp  an import the registry refused says it imported
- if (saved.error != kErrorSuccess) {
+ if (false) {

S49  shell/startup.cpp  a declined import ends as if it had imported
- return ImportExit::kDeclined;
+ return ImportExit::kImported;

S50  store/registry_access.cpp  a refused read of a value counts as absent
- default: error_ = result; return ReadStatus::kFailed;
-     }
-     const std::string_view data
+ default: error_ = result; return ReadStatus::kAbsent;
+     }
+     const std::string_view data

O01  store/entry_options.cpp  an entry switched off is stored as switched on
- if (!options.enabled) strings.push_back("enabled=0");
+ 

O02  store/entry_options.cpp  an option of a later version is lost on a rewrite
- options.kept.push_back(text);
+ 

O03  store/entry_options.cpp  "title=prefix" reads as the whole title
- if (SameWord(value, "prefix")) options.title = TitleRule::kPrefix;
+ if (SameWord(value, "prefix")) options.title = TitleRule::kExact;

O04  store/entry_options.cpp  strings after the empty one that ends the list are read
- if (text.empty()) break;
+ if (text.empty()) continue;

O05  store/window_list_store.cpp  a save removes every entry's options once the list took over
- if (!withOptions.count(folded)) ruleKey.Delete(rule.first);
+ ruleKey.Delete(rule.first);

O06  store/window_list_store.cpp  a rule is found only under the entry's exact case
- const auto rule = rules.find(lower_.Lower(entry));
+ const auto rule = rules.find(entry);

O07  store/window_list_store.cpp  a refused read of the rules loads the list without options
- if (!ReadRules(registry_, lower_, &rules, &error)) return Unread(error);
+ ReadRules(registry_, lower_, &rules, &error);

O08  store/window_list_store.cpp  a refused write of a rule lets the list take over without it
- if (!ruleKey.Write(lv_.At(i), MultiSzData(strings), kRegMultiSz)) return Refused(ruleKey.Error());
+ ruleKey.Write(lv_.At(i), MultiSzData(strings), kRegMultiSz);

O09  store/list_file.cpp  a list file carries no options
- for (const std::string& option : RuleStrings(lv_.OptionsAt(static_cast<int>(i)))) {
+ for (const std::string& option : std::vector<std::string>{}) {

O10  store/list_file.cpp  a list with options is written under the older newer header
- const char* header = options ? kOptionsListFileHeader : unicode ? kUnicodeListFileHeader : kListFileHeader;
+ const char* header = unicode ? kUnicodeListFileHeader : kListFileHeader;

O11  store/entry_options.cpp  blanks around a program name stay part of it
- std::string trimmed = Trimmed(name);
+ std::string trimmed = name;

O12  store/entry_options.cpp  a "Never Close" value of another type is read as a list
- if (type != kRegMultiSz) return std::vector<std::string>{};
+ 

O13  store/window_list_store.cpp  entries merged from a file lose their options
- if (!lv.Add(entries[i], i < options.size() ? options[i] : EntryOptions{})) return false;
+ if (!lv.Add(entries[i])) return false;

O14  store/window_list_store.cpp  options set by this copy are lost when another copy saved first
- if (change.options) lv_.SetOptions(index, *change.options);
+ 

O15  store/list_file.cpp  the options of a file entry dropped as a repeat go to the entry before it
- if (taking && options) contents.options.back() = ParseRuleStrings(strings);
-         strings.clear();
+ if (taking && options) contents.options.back() = ParseRuleStrings(strings);
+         if (taking) strings.clear();

O16  store/list_file.cpp  an option line is read as an entry
- const bool option = options && !line.empty() && line[0] == kOptionMark;
+ const bool option = false;

Q01  history/closed_windows.cpp  a CSV cell that begins with a tab or a carriage return is written as it is
- std::string_view("=+-@\t\r")
+ std::string_view("=+-@")

Q02  history/closed_windows.cpp  the apostrophe goes before a quoted cell's opening quote, outside the cell
- const std::string field = ReadsAsFormula(raw) ? "'" + raw : raw;
+ if (ReadsAsFormula(raw)) line += '\'';
+     const std::string& field = raw;

Q03  store/whole_file.cpp  the temporary file is "name.tmp", which may be the user's own
- temp_(path_ + std::string(kTempMark) + std::to_string(files_.ProcessId()) + std::string(kTempEnd))
+ temp_(path_ + std::string(kTempEnd))

Q04  store/whole_file.cpp  a user's "name.~qwerty.tmp" is tidied as a leftover
- SameIgnoringCase(rest.substr(rest.size() - kTempEnd.size()), kTempEnd) &&
-            std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
+ SameIgnoringCase(rest.substr(rest.size() - kTempEnd.size()), kTempEnd) && !id.empty();

Q05  store/whole_file.cpp  a user's "name.~qw17.txt" is tidied as a leftover
- return SameIgnoringCase(rest.substr(0, kTempMark.size()), kTempMark) &&
-            SameIgnoringCase(rest.substr(rest.size() - kTempEnd.size()), kTempEnd) &&
+ return SameIgnoringCase(rest.substr(0, kTempMark.size()), kTempMark) &&

Q06  store/whole_file.cpp  a leftover whose name differs in case stays
- return lower(x) == lower(y);
+ return x == y;

Q07  platform/long_path.cpp  MAX_PATH is counted in bytes of UTF-8
- if (utf8::Utf16Units(path) < kMaxPath) return path;
+ if (path.size() < kMaxPath) return path;

Q08  platform/long_path.cpp  a path of exactly MAX_PATH units keeps the short form
- if (utf8::Utf16Units(path) < kMaxPath) return path;
+ if (utf8::Utf16Units(path) <= kMaxPath) return path;

Q09  platform/long_path.cpp  ".." climbs above a UNC path's share
- if (names.size() > floor) names.pop_back();
+ if (!names.empty()) names.pop_back();

Q10  platform/long_path.cpp  a '/' reaches Windows in the extended-length form, which takes it literally
- if (c == '/') c = '\\';
+ if (c == '\0') c = '\\';

Q11  platform/long_path.cpp  dots and spaces at the end of the last name are kept
- while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
+ 

Q12  platform/memory/memory_registry.cpp  a size query with no buffer gets ERROR_MORE_DATA
- if (data && *size < needed) {
+ if (*size < needed) {

Q13  platform/memory/memory_registry.cpp  a buffer too small is not told the size needed
- *size = needed;
-         return kErrorMoreData;
+ return kErrorMoreData;

Q14  platform/memory/memory_files.cpp  the listing of files compares names with their case
- [&](char a, char b) { return lower(a) == lower(b); }))
+ [&](char a, char b) { return a == b; }))

Q15  platform/memory/memory_registry.cpp  a buffer given without its size is taken as a question for the type
- if (data && !size) return kErrorInvalidParameter;
+ 

W01  engine/scanner.cpp  a ghost window is asked to close, bringing up the "not responding" prompt
- if (ClassOf(window) == kGhostClass) return true;
+ 

W02  engine/scanner.cpp  a window on another virtual desktop is left alone as any cloaked one
- return cloaked != 0 && (cloaked != kDwmCloakedShell || windows_.IsOnCurrentDesktop(window));
+ return cloaked != 0;

W03  engine/scanner.cpp  every window the shell cloaks is asked, its hidden windows too
- return cloaked != 0 && (cloaked != kDwmCloakedShell || windows_.IsOnCurrentDesktop(window));
+ return cloaked != 0 && cloaked != kDwmCloakedShell;

W04  engine/scanner.cpp  a window cloaked by its program too is asked when on another desktop
- return cloaked != 0 && (cloaked != kDwmCloakedShell || windows_.IsOnCurrentDesktop(window));
+ return cloaked != 0 && (!(cloaked & kDwmCloakedShell) || windows_.IsOnCurrentDesktop(window));

W05  editing/close_preview.cpp  the preview names windows nobody sees and questions left to the user
- if (title.empty() || !scanner_.EntryCloses(window, title, text_, options_) || scanner_.LeftAlone(window))
+ if (title.empty() || !scanner_.EntryCloses(window, title, text_, options_))

W06  editing/add_item.cpp  the picker lists windows nobody sees
- if (!scanner_.IsShown(window) || scanner_.IsUnseen(window)) return;
+ if (!scanner_.IsShown(window)) return;

W07  engine/scanner.cpp  a window held back takes the debounce from a visible window of its title
- if (closing != Closing::kAsked && closing != Closing::kTurnedDown) return true;
+ if (closing != Closing::kAsked && closing != Closing::kTurnedDown && closing != Closing::kHeld) return true;

W08  engine/scanner.cpp  every window is asked whether anyone sees it, before its title is matched
- const int entry = FirstListEntry(window, title);
+ if (IsUnseen(window)) return true;
+     const int entry = FirstListEntry(window, title);

W09  engine/scanner.cpp  a disabled window is asked, opening a question inside its question
- return !windows_.IsEnabled(window);
+ return false;

W10  engine/scanner.cpp  the question of a window the scan asked is closed (Cancel), to be asked again
- return IsProtected(window) || IsUnseen(window) || (!answers && IsQuestionOfAsked(facts));
+ return IsProtected(window) || IsUnseen(window);

W11  engine/scanner.cpp  a box over a disabled owner is left alone though the scan never asked the owner
- return facts.owner != 0 && asked_.count(facts.owner) != 0 && !windows_.IsEnabled(facts.owner);
+ return facts.owner != 0 && !windows_.IsEnabled(facts.owner);

W12  engine/scanner.cpp  a window owned by one the scan asked is left alone while its owner takes requests
- return facts.owner != 0 && asked_.count(facts.owner) != 0 && !windows_.IsEnabled(facts.owner);
+ return facts.owner != 0 && asked_.count(facts.owner) != 0;

W13  engine/scanner.cpp  a window that went stays asked, and a new one given its handle is taken for it
- for (auto it = asked_.begin(); it != asked_.end();) it = listed(it->first) ? std::next(it) : asked_.erase(it);
+ 

W14  engine/scanner.cpp  a program in "Never Close" is looked for under an empty name
- const std::string& lowered = LoweredProgramOf(window);
+ const std::string lowered = "";

W15  engine/scanner.h  the preview leaves the question of a window the scan asked in
- bool LeftAlone(WindowHandle window) { return IsUnseen(window) || IsQuestionOfAsked(AskFacts(window)); }
+ bool LeftAlone(WindowHandle window) { return IsUnseen(window); }

W16  engine/scanner.cpp  the scan keeps no window it asked: its questions are closed, it is asked again at once
- asked_[window] = Milliseconds();
-     return Closing::kAsked;
+ return Closing::kAsked;

W17  engine/scanner.cpp  a window is asked again when another title frees its own, before it could take the first request
- if (asked != asked_.end() && Milliseconds() - asked->second < kAskAgainAfter) return true;
+ 

W18  engine/scanner.cpp  a window is asked again a millisecond before its 500 ms are up
- if (asked != asked_.end() && Milliseconds() - asked->second < kAskAgainAfter) return true;
+ if (asked != asked_.end() && Milliseconds() - asked->second < kAskAgainAfter - 1) return true;

G01  engine/scanner.cpp  a list with options is matched as if it had none
- if (first < 0 || !lv_.AnyOptions()) return first;
+ return first;

G02  engine/scanner.cpp  an entry whose options fail hides the later entries that hold
- if (i > first && holds(i)) return i;
+ if (i > first && holds(i)) return -1;

G03  engine/scanner.cpp  an entry switched off still closes
- if (!options.enabled) return false;
+ 

G04  engine/scanner.cpp  "dialog boxes only" closes any window
- if (options.dialogsOnly && ClassOf(window) != kDialogClass) return false;
+ 

G05  engine/scanner.cpp  a program is compared with its case
- known.loweredProgram = lower_.Lower(known.program);
+ known.loweredProgram = known.program;

G06  engine/entry_rules.cpp  "starts with" takes the text anywhere in the title
- case TitleRule::kPrefix: return loweredTitle.substr(0, loweredEntry.size()) == loweredEntry;
+ case TitleRule::kPrefix: break;

G07  engine/entry_rules.cpp  "is exactly" takes a title that only begins with the text
- case TitleRule::kExact: return loweredTitle == loweredEntry;
+ case TitleRule::kExact: return loweredTitle.substr(0, loweredEntry.size()) == loweredEntry;

G08  engine/entry_rules.cpp  a rule's program written as a path never matches
- return slash == std::string_view::npos ? program : program.substr(slash + 1);
+ return program;

G09  engine/scanner.cpp  the programs in "Never Close" are closed
- return std::find(neverCloseLowered_.begin(), neverCloseLowered_.end(), lowered) != neverCloseLowered_.end();
+ return false;

G10  engine/scanner.cpp  the taskbar and the desktop are closed when their titles match
- if (IsShellWindowClass(ClassOf(window))) return true;
+ 

G11  engine/scanner.cpp  Start and search are closed when their titles match
- if (IsShellProgram(ProgramOf(window))) return true;
+ 

G12  engine/scanner.cpp  a program's name is asked at every pass
- if (known.hasProgram) return known.program;
+ 

G13  engine/scanner.cpp  a new process that took an old one's id is named as the old one
- auto found = programs_.find(known.process);
+ auto found = std::find_if(programs_.begin(), programs_.end(), [&](const auto& p) { return p.first.id == known.process.id; });

G14  engine/scanner.cpp  a window's class is asked at every pass
- if (!known.hasClass) {
+ if (true) {

G15  engine/entry_matcher.cpp  the later entries a title contains are not all found
- output_[child] = own_[target] != kNone ? target : output_[target];
+ output_[child] = output_[target];

G16  engine/scanner.cpp  the programs in "Never Close" are compared with their case
- neverCloseLowered_.push_back(lower_.Lower(std::string(ProgramFileName(program))));
+ neverCloseLowered_.push_back(std::string(ProgramFileName(program)));

G17  shell/main_frm.cpp  "Never Close" is not read at start
- if (auto programs = ReadNeverClose(platform_.registry)) scanner_.SetNeverClose(std::move(*programs));
+ 

G18  engine/scanner.cpp  "is exactly" and "starts with" are taken as "contains" in the scan
- if (options.title != TitleRule::kContains && !TitleRuleHolds(options.title, loweredTitle, loweredEntry))
-         return false;
+ 

N01  ui/entry_look.cpp  an entry switched off is drawn as any other
- look.greyed = !options.enabled;
+ look.greyed = false;

N02  ui/entry_look.cpp  the marks run together without a blank between them
- look.mark += (look.mark.empty() ? "[" : " [") + word + "]";
+ look.mark += "[" + word + "]";

N03  ui/entry_look.cpp  "starts with" is marked as "is exactly"
- if (options.title == TitleRule::kPrefix) add("starts");
+ if (options.title == TitleRule::kPrefix) add("exact");

N04  ui/entry_look.cpp  an entry limited to a program has no mark
- if (!options.program.empty()) add(options.program);
+ 

N05  ui/program_names.cpp  a program typed with its folder keeps the folder
- return folder == std::string::npos ? name : name.substr(folder + 1);
+ return name;

N06  ui/program_names.cpp  a program typed as a path with forward slashes keeps its folder
- const auto folder = name.find_last_of("\\/");
+ const auto folder = name.find_last_of('\\');

N07  ui/program_names.cpp  blanks typed after a program stay part of its name
- std::string name = text.substr(first, text.find_last_not_of(" \t") - first + 1);
+ std::string name = text.substr(first);

N08  ui/program_names.cpp  two spellings of one program are taken for two programs
- if (Folded(a[i]) != Folded(b[i])) return false;
+ if (a[i] != b[i]) return false;

N09  ui/program_names.cpp  the running programs are offered once per window
- programs.erase(std::unique(programs.begin(), programs.end(), SameProgram), programs.end());
+ 

N10  ui/program_names.cpp  the running programs are sorted with capitals first
- [](char x, char y) { return Folded(x) < Folded(y); });
+ [](char x, char y) { return x < y; });

N11  ui/program_names.cpp  the programs of hidden windows are offered as running
- if (scanner_.IsShown(window) && !scanner_.IsUnseen(window) &&
+ if (!scanner_.IsUnseen(window) &&

N12  editing/options_part.cpp  an entry with options opens its dialog with the part folded
- if (!shown.IsDefault()) view_->ShowOptionsPart(true);
+ 

N13  editing/options_part.cpp  the part opens for an entry that only carries a later version's strings
- shown.kept.clear();
+ 

N14  editing/options_part.cpp  a picked window limits the entry to its program unasked
- form.program = program;
+ form.program = program;
+     form.programOnly = true;

N15  editing/options_part.cpp  a window whose program Windows will not name empties the program box
- if (!view_ || program.empty()) return;
+ if (!view_) return;

N16  editing/options_part.cpp  the program counts though its check box is not ticked
- if (form.programOnly) options.program = ProgramBoxName(form.program);
+ options.program = ProgramBoxName(form.program);

N17  editing/options_part.cpp  a later version's strings are dropped when the dialog stores the entry
- options.kept = kept_;
+ 

N18  editing/options_part.cpp  the program box stays open to typing whether or not it counts
- shownAction_ = form.action;
-     view_->EnableProgramBox(form.programOnly);
+ shownAction_ = form.action;
+     view_->EnableProgramBox(true);

N19  editing/options_part.cpp  the program is stored as typed, folders and blanks included
- if (form.programOnly) options.program = ProgramBoxName(form.program);
+ if (form.programOnly) options.program = form.program;

N20  editing/close_preview.cpp  the preview ignores the options in the dialog
- const EntryOptions options = options_ ? options_->Options() : EntryOptions{};
+ const EntryOptions options = EntryOptions{};

N21  editing/close_preview.cpp  an entry switched off previews what it would close switched on
- if (!options.enabled) {
+ if (false) {

N22  editing/close_preview.cpp  the preview does not name each window's program
- if (!windows[i].program.empty()) line += " (" + windows[i].program + ")";
+ 

N23  editing/close_preview.cpp  the many-windows caution hides the browser caution
- parts_->line.SetPreview(line, browser || many, browser ? kBrowserCaution : many ? kManyCaution : "");
+ parts_->line.SetPreview(line, browser || many, many ? kManyCaution : browser ? kBrowserCaution : "");

N24  editing/close_preview.cpp  a browser window brings no caution
- browser = browser || windows[i].browser;
+ 

N25  editing/close_preview.cpp  the preview names a window the scan leaves alone, a program never closed
- if (title.empty() || !scanner_.EntryCloses(window, title, text_, options_) || scanner_.LeftAlone(window))
+ if (title.empty() || !scanner_.EntryCloses(window, title, text_, EntryOptions{}) || scanner_.LeftAlone(window))

N26  editing/browser_suffix.cpp  every window but a browser's is taken for a browser's
- return cut.size() != title.size();
+ return cut.size() == title.size();

N27  editing/add_item.cpp  a window picked from the list suggests no program
- part_.Suggest(platform_.scanner.ProgramOf(rowWindows_[static_cast<std::size_t>(row)]));
+ 

N28  editing/add_item.cpp  the crosshair suggests the program of the control under it, not of its window
- part_.Suggest(platform_.scanner.ProgramOf(root));
+ part_.Suggest(platform_.scanner.ProgramOf(window));

N29  editing/add_item.cpp  the add dialog stores a new entry without its options
- platform_.store.SaveWindowList(text.empty() ? ListChange{} : ListChange::Add(text, options));
+ platform_.store.SaveWindowList(text.empty() ? ListChange{} : ListChange::Add(text));

N30  editing/add_item.cpp  a new add dialog keeps the options the last one held
- part_.Load({});
+ 

N31  editing/add_item.cpp  the program box offers no running programs
- part_.SetPrograms(ProgramsOf(platform_.scanner, rowWindows_));
+ 

N32  editing/add_item.h  a key in the program box redraws the preview at once, at every key
- void Program_Change() { preview_.TextChanged(); }
+ void Program_Change() { preview_.Refresh(); }

N33  editing/add_item.h  a choice in the options part leaves the preview as it was
- part_.Changed();
-         preview_.Refresh();
+ part_.Changed();

N34  editing/edit.cpp  an edit writes the options the user left alone over another copy's
- const bool newOptions = options != openedOptions_;
+ const bool newOptions = true;

N35  editing/edit.cpp  an edit never writes the options the user changed
- change = ListChange::Edit(platform_.lv.At(index), text,
-                                   newOptions ? std::optional<EntryOptions>(options) : std::nullopt);
+ change = ListChange::Edit(platform_.lv.At(index), text, std::nullopt);

N36  editing/edit.cpp  the edit dialog shows a plain entry's options for every entry
- part_.Load(platform_.lv.OptionsAt(index));
+ part_.Load({});

N37  editing/edit.cpp  the edit dialog's program box offers no running programs
- part_.SetPrograms(RunningPrograms(platform_.scanner, platform_.windows));
+ 

N38  history/closed_windows.cpp  the program commands are enabled for a row without a program
- view_.SetProgramCommands("Li&mit Entry to " + name, "&Never Close " + name, !program.empty());
+ view_.SetProgramCommands("Li&mit Entry to " + name, "&Never Close " + name, true);

N39  history/closed_windows.cpp  an ampersand in a program's name becomes an access key
- name += program[i] == '&' ? "&&" : program.substr(i, end - i);
+ name += program.substr(i, end - i);

N40  history/closed_windows.cpp  a long program name is cut a character late
- if (characters == kLongest - 1 && utf8::CodePoints(program) > kLongest) return name + "\xE2\x80\xA6";
+ if (characters == kLongest && utf8::CodePoints(program) > kLongest) return name + "\xE2\x80\xA6";

N41  history/closed_windows.cpp  the program commands keep the old row's program when new rows come
- view_.SelectRow(selected + added < count ? selected + added : -1);
-     Rows_SelChange();
+ view_.SelectRow(selected + added < count ? selected + added : -1);

N42  history/closed_windows.cpp  "Limit Entry" acts though the user answered Cancel
- if (!Asked("Limit the entry \"" + entry + "\" to windows of " + program +
-                "?\r\nIt will no longer close windows of other programs."))
-         return;
+ Asked("Limit the entry \"" + entry + "\" to windows of " + program +
+                "?\r\nIt will no longer close windows of other programs.");

N43  history/closed_windows.cpp  a row's command changes the entry listed before the row's
- const int at = platform_.store.Find(entry);
+ const int at = std::max(0, platform_.store.Find(entry) - 1);

N44  history/closed_windows.cpp  "Limit Entry" drops the entry's other options
- EntryOptions options = platform_.lv.OptionsAt(at);
+ EntryOptions options;

N45  history/closed_windows.cpp  "Limit Entry" saves the whole list over another copy's
- platform_.store.SaveWindowList(ListChange::Options(entry, std::move(options)));
+ platform_.store.SaveWindowList();

N46  history/closed_windows.cpp  "Never Close" acts though the user answered Cancel
- if (!Asked("Never close windows of " + program + "?\r\nNo entry will close them until you take " + program +
-                " off the list under Options, Never Close."))
-         return;
+ Asked("Never close windows of " + program + "?\r\nNo entry will close them until you take " + program +
+                " off the list under Options, Never Close.");

N47  history/closed_windows.cpp  "Never Close" writes the scan's list over a stored list it could not read
- } else if (!listed && !WriteNeverClose(platform_.registry, told)) {
+ } if (!listed && !WriteNeverClose(platform_.registry, told)) {

N48  history/closed_windows.cpp  "Never Close" does not tell the scan
- platform_.scanner.SetNeverClose(told);
+ 

N49  history/closed_windows.cpp  "Never Close" lists a program again in another case
- for (const std::string& kept : told) listed = listed || SameProgram(kept, program);
+ for (const std::string& kept : told) listed = listed || kept == program;

N50  history/closed_windows.cpp  "Never Close" stores the scan's list instead of the stored one
- std::vector<std::string> told = programs ? *programs : platform_.scanner.NeverClose();
+ std::vector<std::string> told = platform_.scanner.NeverClose();

N51  options/options.cpp  the page shows nothing where the registry will not give the stored list
- : platform_.neverClose ? CleanProgramNames(platform_.neverClose())
+ : platform_.neverClose ? std::vector<std::string>{}

N52  options/options.cpp  "Add" lists a program again in another case
- if (SameProgram(neverClose_[i], program)) at = static_cast<int>(i);
+ if (neverClose_[i] == program) at = static_cast<int>(i);

N53  options/options.cpp  "Add" keeps the program in its box
- view_.SetNeverCloseProgram("");
-     int at = -1;
+ int at = -1;

N54  options/options.cpp  "Remove" of the last program selects past the end
- view_.SetNeverClose(neverClose_, std::min(selected, static_cast<int>(neverClose_.size()) - 1));
+ view_.SetNeverClose(neverClose_, selected);

N55  options/options.cpp  a program typed and not added is dropped at OK
- NeverCloseAdd_Click();
-     if (neverClose_ != neverCloseLoaded_) {
+ if (neverClose_ != neverCloseLoaded_) {

N56  options/options.cpp  OK writes the page over programs the close history added meanwhile
- for (const std::string& program : stored ? *stored : neverCloseLoaded_) {
+ for (const std::string& program : neverCloseLoaded_) {

N57  options/options.cpp  a program removed on the page comes back at OK
- if (Holds(neverClose_, program) || !Holds(neverCloseLoaded_, program)) programs.push_back(program);
+ programs.push_back(program);

N58  options/options.cpp  OK stores the page's list though the user changed nothing on it
- if (neverClose_ != neverCloseLoaded_) {
+ {

N59  options/options.cpp  OK does not tell the scan
- if (platform_.setNeverClose) platform_.setNeverClose(CleanProgramNames(programs));
+ 

N60  options/options.cpp  a refused "Never Close" write is not told
- platform_.process.ShowMessageBox(view_.Handle(), kNeverCloseUnsaved, "Error",
-                                              kMbIconStop | kMbSetForeground);
+ 

N61  shell/main_frm.cpp  a right click offers the menu without selecting the entry under the pointer
- lv_.Select(index);
-     platform_.view.PopupEntryMenu(lv_.OptionsAt(index).enabled);
+ platform_.view.PopupEntryMenu(lv_.OptionsAt(index).enabled);

N62  shell/main_frm.cpp  "Enabled" is checked for an entry switched off
- platform_.view.PopupEntryMenu(lv_.OptionsAt(index).enabled);
+ platform_.view.PopupEntryMenu(true);

N63  shell/main_frm.cpp  "Enabled" saves the whole list over another copy's
- store_.SaveWindowList(ListChange::Options(text, std::move(options)));
+ store_.SaveWindowList();

N64  shell/main_frm.cpp  "Enabled" leaves no entry selected
- lv_.Select(store_.Find(text));
+ 

N65  shell/main_frm.cpp  "Edit..." of the entry menu removes the entry
- case IDM_ENTRYEDIT: listCommands_.EditEntry_Click(own_.mainFrm); return true;
+ case IDM_ENTRYEDIT: listCommands_.lrem_Click(own_.mainFrm); return true;

N66  shell/main_frm.cpp  the options dialog does not tell the scan the list OK stored
- [this](const std::vector<std::string>& programs) { scanner_.SetNeverClose(programs); },
+ [](const std::vector<std::string>&) {},

N67  shell/main_frm.cpp  the "Never Close" page's program box offers no running programs
- [this] { return RunningPrograms(scanner_, platform_.windows); },
+ [] { return std::vector<std::string>{}; },

N68  shell/main_frm.cpp  the "Never Close" items open the first page
- case IDM_NEVERCLOSE2: options_.ShowOptionsPage(kPageNeverClose); return true;
+ case IDM_NEVERCLOSE2: options_.ShowOptionsPage(kPageOnStartup); return true;

A01  engine/scanner.cpp  a caption's access key "&" is compared as it stands
- if (caption[i] == '&' && i + 1 < caption.size()) ++i;
-         else if (caption[i] == '&') continue;
+ 

A02  engine/scanner.cpp  a button's caption is compared with its case
- if (wanted.empty() || lower_.Lower(ShownCaption(button.caption)) != wanted) continue;
+ if (wanted.empty() || ShownCaption(button.caption) != ShownCaption(caption)) continue;

A03  engine/scanner.cpp  a press leaves out the button's handle
- windows_.PostParams(window, kWmCommand, command, static_cast<std::intptr_t>(button.handle));
+ windows_.PostParams(window, kWmCommand, command, 0);

A04  engine/scanner.cpp  BN_CLICKED and the id trade places in a press
- const std::uintptr_t command = (static_cast<std::uintptr_t>(kBnClicked) << 16) | (button.id & 0xFFFF);
+ const std::uintptr_t command = (static_cast<std::uintptr_t>(button.id & 0xFFFF) << 16) | kBnClicked;

A05  engine/scanner.cpp  a dialog without the button is noted at every pass
- if (noted != title) Tell(ActKind::kNoButton, window, title, entry, false, ShownCaption(caption));
+ Tell(ActKind::kNoButton, window, title, entry, false, ShownCaption(caption));

A06  engine/scanner.cpp  a window is minimized at every pass, one the user brought back as well
- if (minimized_.count(window)) return Closing::kHeld;
+ 

A07  engine/scanner.cpp  a program is ended as soon as its window is asked
- if (now - it->second.asked < kEndAfter || !windows_.IsEnabled(window)) {
+ if (!windows_.IsEnabled(window)) {

A08  engine/scanner.cpp  a program of Windows' own is ended
- if (windows_.BelongsToProgram(window) || IsSystemProgram(ProgramOf(window))) return false;
+ if (windows_.BelongsToProgram(window)) return false;

A09  engine/scanner.cpp  a program is ended while its window asks its user a question
- if (now - it->second.asked < kEndAfter || !windows_.IsEnabled(window)) {
+ if (now - it->second.asked < kEndAfter) {

A10  engine/scanner.cpp  an end Windows refused is reported as done
- report.refused = ended == EndResult::kRefused;
+ report.refused = false;

A11  engine/scanner.cpp  a recorded window is recorded at every pass
- if (noted == title) return Closing::kHeld;
+ 

A12  engine/scanner.cpp  a wait is not waited
- if (now - it->second.since < delay) return false;
+ 

A13  engine/scanner.cpp  a window that goes during its wait is not reported
- for (WindowHandle window : gone) EndWait(window);
+ 

A14  engine/scanner.cpp  a window renamed during its wait keeps the time it waited
- if (it != waits_.end() && it->second.title == title && it->second.entry == lv_.At(entry)) {
+ if (it != waits_.end() && it->second.entry == lv_.At(entry)) {

A15  engine/close_history.cpp  the history does not name the button pressed
- return std::string(OutcomeText(record.outcome)) + (named ? " " + record.button : "");
+ return std::string(OutcomeText(record.outcome));

A16  engine/close_history.cpp  a waiting window's action gets a row of its own
- if (waited != waitRows_.end()) {
+ if (false) {

A17  store/entry_options.cpp  the action is not stored
- strings.push_back(std::string("action=") + kActionWords[static_cast<int>(options.action)]);
+ {}

A18  store/entry_options.cpp  a wait longer than a minute is kept as it stands
- *delay = std::min(std::stoi(value), EntryOptions::kMaxDelay);
+ *delay = std::stoi(value);

A19  engine/scanner.cpp  each request again restarts the 2 s, and a stubborn program is never ended
- if (closing == Closing::kAsked && !ending_.count(window))
+ if (closing == Closing::kAsked)

A20  engine/scanner.cpp  the history does not show that a window waits
- Tell(ActKind::kWaiting, window, title, entry);
+ 

A21  engine/close_history.cpp  a dialog whose button comes later gets a second row at its press
- record.outcome = CloseOutcome::kNoButton;
-         waitRows_[report.window] = NewRow(report.window, record);
+ record.outcome = CloseOutcome::kNoButton;
+         NewRow(report.window, record);

A22  engine/scanner.cpp  an entry naming a button leaves the question of a window asked to its user
- return IsProtected(window) || IsUnseen(window) || (!answers && IsQuestionOfAsked(facts));
+ return IsProtected(window) || IsUnseen(window) || IsQuestionOfAsked(facts);

K01  shell/startup.cpp  a word in capitals is taken for a file to import
- words += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
+ words += c;

K02  shell/startup.cpp  blanks around and between the words count
- if (!words.empty() && words.back() != ' ') words += ' ';
+ words += ' ';

K03  shell/startup.cpp  a command line that begins with a word is taken for the word
- if (words == text) return word;
+ if (words.rfind(text, 0) == 0) return word;

K04  shell/startup.cpp  "/exit" asks the tray copy once only, which a copy in its splash never hears
- if (waited % kExitAskAgainMs == 0) host.AskTrayCopyToExit();
+ if (waited == 0) host.AskTrayCopyToExit();

K05  shell/startup.cpp  "/exit" waits past its 10 s
- if (waited + kExitLookMs >= kExitWaitMs) return ExitRequest::kStillRunning;
+ if (waited >= kExitWaitMs) return ExitRequest::kStillRunning;

K06  shell/startup.cpp  "/exit" says a copy ended where none ran
- if (!ObjectExists(host.FindTrayCopy())) return ExitRequest::kNoCopy;
+ if (!ObjectExists(host.FindTrayCopy())) return ExitRequest::kEnded;

K07  shell/startup.cpp  "/uninstall" does not end the tray copy first
- const bool ended = EndTrayCopy(host) != ExitRequest::kStillRunning;
+ const bool ended = true;

K08  shell/startup.cpp  the question whether the data goes too has Yes for its default
- kMbYesNo | kMbIconQuestion | kMbDefButton2 | kMbSetForeground |
+ kMbYesNo | kMbIconQuestion | kMbSetForeground |

K09  shell/startup.cpp  "/uninstall /removedata" keeps the window list and options
- bool removeData = word == CommandWord::kUninstallRemoveData;
+ bool removeData = false;

K10  shell/startup.cpp  Explorer is not told that the association went
- if (associationRemoved) process.AssociationsChanged();
+ 

K11  shell/startup.cpp  "Start it now?" starts the program on No and ends on Yes
- if (process.ShowMessageBox(0, kStartNow, "Quellwatch", kMbYesNo | kMbIconQuestion | kMbSetForeground) !=
+ if (process.ShowMessageBox(0, kStartNow, "Quellwatch", kMbYesNo | kMbIconQuestion | kMbSetForeground) ==

K12  shell/uninstall.cpp  the case of a path written elsewhere counts
- return lower.EqualNoCase(named, programPath);
+ return named == programPath;

K13  shell/uninstall.cpp  a bare command's "%1" is taken for part of the path
- } else if (named.size() >= 2 && named.substr(named.size() - 2) == "%1") {
+ } else if (false) {

K14  shell/uninstall.cpp  a quoted path is compared with what follows it
- named = named.substr(0, named.find('"'));
+ 

K15  shell/uninstall.cpp  the machine's Run entry is left
- for (RegKey root : {kHkeyLocalMachine, kHkeyCurrentUser})
+ for (RegKey root : {kHkeyCurrentUser})

K16  shell/uninstall.cpp  a Run entry that names another copy is removed
- if (!NamesProgram(lower, data, program)) return true;
+ 

K17  shell/uninstall.cpp  an extension another program took since is removed
- if (!lower.EqualNoCase(text, kListFileType)) return whole;
+ 

K18  shell/uninstall.cpp  the extension's key goes with other programs' values in it
- const long value = registry.EnumValueName(key, 0, &name);
+ const long value = kErrorNoMoreItems;

K19  shell/uninstall.cpp  a tree is deleted at its top only
- for (const std::string& name : names) DeleteTree(registry, root, path + "\\" + name);
+ 

K20  shell/uninstall.cpp  the user's own association is left
- RemoveAssociation(registry, lower, kHkeyCurrentUser, kUserClasses, programPath, associationRemoved) &&
+ true &&

K21  shell/uninstall.cpp  the maker's key stays behind empty
- whole = DeleteIfEmpty(registry, kHkeyCurrentUser, kMakerKeyPath) && whole;
+ 

K22  shell/uninstall.cpp  a refused read of a Run entry counts as no entry
- case Found::kUnknown: return false;
-     case Found::kText: break;
+ case Found::kUnknown: return true;
+     case Found::kText: break;

K23  shell/main_frm.cpp  an importing copy ends when the tray copy is asked to exit
- void MainFrm::ExitRequested() {
-     if (platform_.commandLineMode) return;
+ void MainFrm::ExitRequested() {

K24  shell/main_frm.cpp  the tray copy asked to exit leaves its icons behind
- if (platform_.commandLineMode) return;
-     Form_Unload();
-     platform_.process.EndProcess(0);
+ if (platform_.commandLineMode) return;
+     platform_.process.EndProcess(0);

K25  platform/memory/memory_registry.cpp  the twin lists one subkey past the last
- if (index >= node->subkeys.size()) return kErrorNoMoreItems;
+ if (index > node->subkeys.size()) return kErrorNoMoreItems;

B01  editing/options_part.cpp  a wait's tenths are read as whole seconds
- long scale = 100;
+ long scale = 1000;

B02  editing/options_part.cpp  a wait longer than a minute is kept as typed
- return static_cast<int>(std::min<long>(milliseconds, EntryOptions::kMaxDelay));
+ return static_cast<int>(milliseconds);

B03  editing/options_part.cpp  "No" to ending a program keeps "end its program"
- form.action = shownAction_;
+ 

B04  editing/options_part.cpp  "end its program" is asked about at every change
- if (form.action == EntryAction::kEnd && shownAction_ != EntryAction::kEnd && !view_->ConfirmEndProgram()) {
+ if (form.action == EntryAction::kEnd && !view_->ConfirmEndProgram()) {

B05  editing/options_part.cpp  "Only record at first" is ignored
- if (form.recordFirst) options.action = EntryAction::kRecord;
+ 

B06  editing/options_part.cpp  a press without a caption is stored as a press
- if (options.button.empty()) options.action = EntryAction::kClose;
+ 

B07  editing/options_part.cpp  an edit loses the entry's wait
- form.wait = WaitSeconds(options.delay);
+ 

B08  editing/close_preview.cpp  the preview of a press counts windows without the button
- if (options_.action == EntryAction::kPress && !scanner_.HasButton(window, options_.button)) return;
+ 

B09  editing/options_part.cpp  the button's box stays shut for a press
- view_->EnableButtonBox(form.action == EntryAction::kPress);
- }
+ }

B10  editing/add_item.cpp  the crosshair on a dialog's button takes the button's caption for the title
- const WindowHandle window = caption.empty() ? pointed : root;
+ const WindowHandle window = pointed;

B11  editing/options_part.cpp  the press a dropped button offers is not shown
- view_->ShowOptionsPart(true);
- }
-
- void OptionsPart::Changed() {
+ }
+
+ void OptionsPart::Changed() {

H24  history/closed_windows.cpp  "End the Program Instead" is offered for an entry no longer listed
- recorded || (stillOpen && platform_.store.Find(record->entry) >= 0));
+ recorded || stillOpen);

H25  history/closed_windows.cpp  "Press a Button..." is offered for a row of any outcome
- view_.SetRowCommands(stillOpen, recorded
+ view_.SetRowCommands(record != nullptr, recorded

H26  history/closed_windows.cpp  "Start Closing" has the entry end programs
- const EntryAction action = recorded ? EntryAction::kClose : EntryAction::kEnd;
+ const EntryAction action = EntryAction::kEnd;

H27  history/closed_windows.cpp  a row command stores the whole list, over another copy's changes
- platform_.store.SaveWindowList(ListChange::Options(entry, std::move(options)));
+ platform_.store.SaveWindowList();

H28  history/closed_windows.cpp  "Press a Button..." changes the entry whatever the answer
- "\" in its windows, instead of asking them to close?"))
-         return;
+ "\" in its windows, instead of asking them to close?")) {}

H29  history/closed_windows.cpp  a button without a caption is offered
- if (!ShownCaption(button.caption).empty()) captions.push_back(button.caption);
+ captions.push_back(button.caption);

H30  history/closed_windows.cpp  the chosen button is stored with its access key's "&"
- const std::string button = ShownCaption(captions[static_cast<std::size_t>(chosen)]);
+ const std::string button = captions[static_cast<std::size_t>(chosen)];

H31  engine/scanner.cpp  the chosen button is stored with the blanks around its caption
- return first == std::string::npos ? "" : shown.substr(first, shown.find_last_not_of(' ') - first + 1);
+ return shown;

H32  history/closed_windows.cpp  a window gone is said to have no button
- const bool open = windows.IsTopLevelWindow(window) && (windows.GetStyle(window) & kWsVisible);
+ const bool open = true;

H33  engine/close_history.cpp  a row forgets its window
- CloseOutcome::kAsked, report.button, report.window};
+ CloseOutcome::kAsked, report.button};

H34  history/closed_windows.cpp  "Press a Button..." acts on a row that closed
- if (!record || record->outcome != CloseOutcome::kStillOpen) return;
+ if (!record) return;

H35  history/closed_windows.cpp  the row's action command acts on a row that closed
- if (!recorded && record->outcome != CloseOutcome::kStillOpen) return;
+ 

B12  ui/entry_look.cpp  a press is marked without its button
- case EntryAction::kPress: add("press " + options.button); break;
+ case EntryAction::kPress: add("press"); break;

B13  ui/entry_look.cpp  a wait is marked in whole seconds, a short one as none
- const int tenths = (milliseconds + 50) / 100;
+ const int tenths = milliseconds / 1000 * 10;

A23  store/entry_options.cpp  a stored action is read as the one before it in the table
- if (SameWord(value, kActionWords[action])) options.action = static_cast<EntryAction>(action);
+ if (SameWord(value, kActionWords[action])) options.action = static_cast<EntryAction>(action > 0 ? action - 1 : 0);

I01  ui/global_keys.cpp  Alt is named before Ctrl
- if (modifiers & kHotKeyControl) text += "Ctrl+";
-     if (modifiers & kHotKeyAlt) text += "Alt+";
+ if (modifiers & kHotKeyAlt) text += "Alt+";
+     if (modifiers & kHotKeyControl) text += "Ctrl+";

I02  ui/global_keys.cpp  a key held down is reported at the repeat rate
- if (!api_->Register(HotKeyId(key), mods | kModNoRepeat, virtualKey)) return false;
+ if (!api_->Register(HotKeyId(key), mods, virtualKey)) return false;

I03  ui/global_keys.cpp  Shift registers as Alt
- (modifiers & kHotKeyShift ? kModShift : 0);
+ (modifiers & kHotKeyShift ? kModAlt : 0);

I04  ui/global_keys.cpp  one key asked for both is not refused
- if (wanted[0] != 0 && wanted[0] == wanted[1]) {
+ if (wanted[0] != 0 && wanted[0] == wanted[1] && false) {

I05  ui/global_keys.cpp  a changed key is let go only when its new key is registered, so two keys cannot trade
- if (!changed[i] || held_[i] == 0) continue;
+ if (!changed[i] || held_[i] == 0 || wanted[i] != 0) continue;

I06  ui/global_keys.cpp  a refused change keeps what it registered meanwhile
- if (held_[j] != 0 && api_) api_->Unregister(HotKeyId(other));
+ 

I07  ui/global_keys.cpp  a refused change does not take the earlier keys back
- if (before[j] != 0) Register(other, before[j]);
+ 

I08  ui/global_keys.cpp  at start one refused key keeps the other from being held
- if (!Register(key, value)) refused.push_back(key);
+ if (!Register(key, value)) return {key};

I09  ui/global_keys.cpp  the end of the program lets no key go
- if (held_[Index(key)] != 0 && api_) api_->Unregister(HotKeyId(key));
+ 

I10  ui/global_keys.cpp  a function key is named one too high
- return "F" + std::to_string(virtualKey - 0x70 + 1);
+ return "F" + std::to_string(virtualKey - 0x70 + 2);

I11  engine/power_saver.cpp  "only on battery" is not heeded
- if (choice.onBatteryOnly && source != PowerSource::kBattery) return kScanInterval;
+ 

I12  engine/power_saver.cpp  a power source Windows cannot name counts as battery
- if (choice.onBatteryOnly && source != PowerSource::kBattery) return kScanInterval;
+ if (choice.onBatteryOnly && source == PowerSource::kMains) return kScanInterval;

I13  engine/power_saver.cpp  the walk saves power even when the user did not ask
- if (!choice.savePower) return kScanInterval;
+ 

I14  shell/main_frm.cpp  the pause key only ever pauses
- if (platform_.tm.IsRunning()) {
-             DisableTracking();
+ if (true) {
+             DisableTracking();

I15  shell/main_frm.cpp  the tray tip says "to pause" while paused
- if (!key.empty()) tip += " (" + key + (enabled ? " to pause)" : " to resume)");
+ if (!key.empty()) tip += " (" + key + " to pause)";

I16  shell/main_frm.h  a change of power source is not followed
- void PowerStatus_Changed() { ApplyPower(); }
+ void PowerStatus_Changed() {}

I17  shell/main_frm.cpp  the stored keys are not held at start
- const std::vector<GlobalKey> refused = keys_.Start(pauseKey, addKey);
+ const std::vector<GlobalKey> refused;

I18  shell/main_frm.cpp  a key taken since the last start is not said
- if (!named.empty()) view.SetStatusText(KeysRefusedText(named));
+ 

I19  shell/main_frm.cpp  the tray tip does not follow a changed pause key
- const KeysOutcome outcome = keys_.Change(pause, add);
-     ShowTrayTip();
+ const KeysOutcome outcome = keys_.Change(pause, add);

I20  shell/main_frm.cpp  the power choice is not read at start
- power_.savePower = Switch(Setting::kSavePower);
+ 

I21  editing/taskbar_target.cpp  the add key offers the control under the pointer, not its window
- WindowHandle window = windows.RootOf(windows.WindowUnderPointer());
+ WindowHandle window = windows.WindowUnderPointer();

I22  editing/taskbar_target.cpp  over the desktop the add key offers nothing, not the active window
- if (!window || isDesktopOrTaskbar(window)) window = windows.ForegroundWindow();
+ if (!window) window = windows.ForegroundWindow();

I23  editing/taskbar_target.cpp  a press while the question is open asks again
- if (asking_) return;
+ 

I24  editing/taskbar_target.cpp  the add key offers the program's own windows
- if (!scanner.IsCandidateWindow(window, title)) return;
+ 

I25  options/options.cpp  a refused key still stores the other settings and closes the dialog
- if (!outcome.set) {
+ if (!outcome.set && false) {

I26  options/options.cpp  OK stores the later settings even when unchanged
- if (value != loaded) stored = TryWriteSetting(reg, setting, std::to_string(value)) && stored;
+ stored = TryWriteSetting(reg, setting, std::to_string(value)) && stored;

I27  options/options.cpp  a refused write of the keys is not said
- if (!stored) platform_.process.ShowMessageBox(view_.Handle(), kKeysUnsaved, "Error", kMbIconStop | kMbSetForeground);
+ 

I28  options/options.cpp  the power choice of OK waits for the next start
- if (platform_.powerChanged) platform_.powerChanged(power);
+ 

I29  options/options.cpp  "Only on battery" stays usable while "Save power" is off
- view_.EnableCheck(OptionsCheck::kSavePowerOnBatteryOnly, view_.Checked(OptionsCheck::kSavePower));
+ view_.EnableCheck(OptionsCheck::kSavePowerOnBatteryOnly, true);

I30  options/options.cpp  the refusal names the other key
- return view_.ShowKeyProblem(key, KeyTakenText(keys[KeyIndex(key)]));
+ return view_.ShowKeyProblem(key, KeyTakenText(keys[1 - KeyIndex(key)]));

I31  store/settings.cpp  a stored key beyond 16 bits is taken cut
- return number > 0 && number <= 0xFFFF ? static_cast<unsigned>(number) : 0;
+ return number > 0 ? static_cast<unsigned>(number) & 0xFFFF : 0;

I32  platform/memory/memory_platform.h  the twin lets a key be registered twice
- if (same(k)) return false;
+ if (same(k) && k.id == -1) return false;

I33  options/options.cpp  "Save Power On Battery Only" is read as "Save Power"
- powerLoaded_.onBatteryOnly = ReadSwitch(reg, Setting::kSavePowerOnBatteryOnly, Side::kDialog);
+ powerLoaded_.onBatteryOnly = ReadSwitch(reg, Setting::kSavePower, Side::kDialog);

I34  ui/global_keys.cpp  a stored key refused at start is asked again at every OK
- const bool changed[] = {wanted[0] != asked_[0], wanted[1] != asked_[1]};
+ const bool changed[] = {wanted[0] != held_[0], wanted[1] != held_[1]};

I35  ui/global_keys.cpp  an extended key (Home of its own block) is not the same key as Home of the number pad
- return value & ~(kHotKeyExt << 8) & 0xFFFF;
+ return value & 0xFFFF;

I36  ui/global_keys.cpp  a key typed into a key box while held comes in with Alt for Shift
- (modifiers & kModAlt ? kHotKeyAlt : 0) | (modifiers & kModShift ? kHotKeyShift : 0);
+ (modifiers & kModAlt ? kHotKeyShift : 0) | (modifiers & kModShift ? kHotKeyAlt : 0);

I37  ui/global_keys.cpp  of two keys refused at start only the first is named
- if (refused.size() == 1) {
+ if (refused.size() >= 1) {

I38  options/options.cpp  a key held by the program cannot be typed into a key box
- view_.SetHotKey(key, value);
-     return true;
+ return false;

I39  options/options.cpp  the Keys page does not say a stored key is not held
- if (!note.empty()) view_.ShowKeyNote(note);
+ 

I40  editing/taskbar_target.cpp  the add key asks while the target's question is open
- asking_ = true;
+ 

I41  shell/main_frm.cpp  a held key pressed while a key box has the focus also acts
- if (options_.KeyTyped(HotKeyValue(modifiers, virtualKey))) return;
+ 

I42  ui/global_keys.cpp  the layout's name of a punctuation key is not asked
- if (IsPunctuationKey(virtualKey) && LayoutKeyNames()) {
+ if (false && LayoutKeyNames()) {

I43  ui/global_keys.cpp  a punctuation key the layout does not name is named empty
- if (!name.empty()) return name;
+ return name;

MUTANTS

# ---------------------------------------------------------------------------

CHECK_ONLY=0
if [ "${1:-}" = "--check" ]; then
    CHECK_ONLY=1
    shift
fi

if [ -n "${QW_MUTANT_DIR:-}" ]; then
    WORK=$QW_MUTANT_DIR
    mkdir -p "$WORK"
else
    WORK=$(mktemp -d /tmp/qw-mutants.XXXXXX)
    trap 'rm -rf "$WORK"' EXIT
fi
COPY=$WORK/src
BUILD=$WORK/build
mkdir -p "$COPY" "$WORK/table"

# The table, split into one directory per mutant: file, old, new, what.
printf '%s\n' "$TABLE" | python3 -c '
import os, sys
out = sys.argv[1]
blocks = [b for b in sys.stdin.read().split("\n\n") if b.strip()]
for block in blocks:
    lines = block.split("\n")
    ident, path, what = lines[0].split(None, 2)
    old = [l[2:] for l in lines[1:] if l.startswith("- ") or l == "-"]
    new = [l[2:] for l in lines[1:] if l.startswith("+ ") or l == "+"]
    d = os.path.join(out, ident)
    os.makedirs(d, exist_ok=True)
    new_text = "\n".join(new)
    if new_text.strip() == "":
        new_text = ""  # a deleted step
    for name, text in (("file", path), ("old", "\n".join(old)), ("new", new_text), ("what", what)):
        with open(os.path.join(d, name), "w", encoding="latin-1") as f:
            f.write(text)
    print(ident)
' "$WORK/table" > "$WORK/ids"

if [ $# -gt 0 ]; then
    printf '%s\n' "$@" > "$WORK/wanted"
    grep -Fxf "$WORK/wanted" "$WORK/ids" > "$WORK/run-ids" || true
else
    cp "$WORK/ids" "$WORK/run-ids"
fi

# The private copy: the working tree's tracked and new files as they stand
# now. A file is copied only when it differs, so a kept build stays valid.
(cd "$SRC" && if git rev-parse --is-inside-work-tree > /dev/null 2>&1; then
    git ls-files -co --exclude-standard
else
    find . -path ./build -prune -o -type f -print | sed 's|^\./||'
fi | while IFS= read -r f; do
    [ -f "$f" ] && printf '%s\n' "$f"
done) > "$WORK/files"
while IFS= read -r f; do
    if ! cmp -s "$SRC/$f" "$COPY/$f"; then
        mkdir -p "$(dirname "$COPY/$f")"
        cp "$SRC/$f" "$COPY/$f"
    fi
done < "$WORK/files"

# Substitutes a mutant's text in the copy; fails when it does not occur
# exactly once.
substitute() {
    python3 - "$COPY" "$WORK/table/$1" <<'PY'
import os, sys
copy, d = sys.argv[1], sys.argv[2]
read = lambda name: open(os.path.join(d, name), encoding="latin-1").read()
path = os.path.join(copy, read("file"))
if not os.path.isfile(path):
    sys.exit(3)
text = open(path, encoding="latin-1").read()
old, new = read("old"), read("new")
if text.count(old) != 1:
    sys.exit(3)
with open(path, "w", encoding="latin-1") as f:
    f.write(text.replace(old, new))
PY
}

if [ "$CHECK_ONLY" = 1 ]; then
    stale=0
    while IFS= read -r id; do
        file=$(cat "$WORK/table/$id/file")
        cp "$COPY/$file" "$WORK/original" 2>/dev/null || true
        if substitute "$id"; then
            cp "$WORK/original" "$COPY/$file"
        else
            echo "$id $file STALE: $(cat "$WORK/table/$id/what")"
            stale=$((stale + 1))
        fi
    done < "$WORK/run-ids"
    echo "$(wc -l < "$WORK/run-ids") mutants, $stale stale"
    [ "$stale" = 0 ]
    exit
fi

build() { cmake --build "$BUILD" --target qw_unit_tests -j2 < /dev/null > "$WORK/build.log" 2>&1; }
# A mutant that makes a test hang counts as caught once the run times out
# (the whole suite takes a second or two); one that crashes it, as caught.
# QW_MUTANT_GTEST_FILTER narrows the tests that judge, e.g. "-Events.*".
run_tests() {
    (timeout 60 "$BUILD/tests/unit/qw_unit_tests" --gtest_brief=1 --gtest_fail_fast \
        --gtest_filter="${QW_MUTANT_GTEST_FILTER:-*}") < /dev/null > "$WORK/test.log" 2>&1
}

cmake -S "$COPY" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DQW_BUILD_BENCH=OFF > "$WORK/configure.log" 2>&1 \
    || { cat "$WORK/configure.log"; exit 1; }
if ! build; then
    tail -n 30 "$WORK/build.log"
    echo "the unmutated copy does not build"
    exit 1
fi
if ! run_tests; then
    tail -n 30 "$WORK/test.log"
    echo "the unmutated copy fails its tests: no mutant can be judged"
    exit 1
fi
echo "unmutated copy in $COPY: $(grep -Eo '[0-9]+ tests? from [0-9]+ test suites? ran' "$WORK/test.log"), all pass"

caught=0 applied=0 stale=0 broken=0
while IFS= read -r id; do
    file=$(cat "$WORK/table/$id/file")
    what=$(cat "$WORK/table/$id/what")
    cp "$COPY/$file" "$WORK/original" 2>/dev/null || : > "$WORK/original"
    if ! substitute "$id"; then
        result=STALE
        stale=$((stale + 1))
    elif ! build; then
        # Not a fault the tests could catch: the table needs mending.
        result=BROKEN
        broken=$((broken + 1))
    else
        applied=$((applied + 1))
        if run_tests; then
            result=MISSED
        else
            result=CAUGHT
            caught=$((caught + 1))
        fi
    fi
    # A fresh time stamp: the next build compiles the original again.
    [ "$result" = STALE ] || cp "$WORK/original" "$COPY/$file"
    printf '%-4s %-29s %-72s %s\n' "$id" "$file" "$what" "$result"
done < "$WORK/run-ids"
build || true  # leave the build matching the copy

echo "caught $caught of $applied ($(( applied ? caught * 100 / applied : 0 )) %)"
[ "$stale" = 0 ] || echo "$stale stale: their text no longer occurs exactly once; mend the table"
[ "$broken" = 0 ] || echo "$broken broken: they do not compile; mend the table"
[ "$stale" = 0 ] && [ "$broken" = 0 ]
