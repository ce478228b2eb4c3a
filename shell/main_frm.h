// MainFrm, the main window's logic: it owns the live list `lv`, the store
// behind it, the scan and the two timers' handlers. The window glue creates
// the controls and routes messages here.
#pragma once

#include <string>

#include "engine/scanner.h"
#include "platform/ansi_case.h"
#include "platform/controls.h"
#include "platform/registry_api.h"
#include "platform/window_api.h"
#include "store/entry_list.h"
#include "store/window_list_store.h"

namespace qw {

struct MainFrmPlatform {
    RegistryApi& registry;
    WindowApi& windows;
    SoundApi& sound;
    Timer& tm;
    Timer& reInitCloseTmr;
    ListBoxControl* lvControl;
    TextControl* numWindows;
    const LowerTable& lower;
    std::string thousandsSeparator;
};

class MainFrm {
public:
    explicit MainFrm(MainFrmPlatform platform);

    // The window exists: its handle joins the program's own windows.
    void Attach(WindowHandle window) { own_.mainFrm = window; }
    void Form_Load();
    void Tm_Timer() { scanner_.ScanCycle(); }
    void ReInitCloseTmr_Timer() { scanner_.ReInitCloseTmrTick(); }

    EntryList& lv() { return lv_; }
    WindowListStore& Store() { return store_; }
    Scanner& Scan() { return scanner_; }
    OwnWindows& Own() { return own_; }

private:
    MainFrmPlatform platform_;
    OwnWindows own_;
    EntryList lv_;
    WindowListStore store_;
    Scanner scanner_;
};

}  // namespace qw
