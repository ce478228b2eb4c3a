// The tray icon: one record kept for life, notifications decoded into events.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/memory/memory_platform.h"
#include "shell/sys_tray.h"

namespace qw {
namespace {

std::string Tip(const NotifyIconData& d) { return std::string(d.szTip, strnlen(d.szTip, sizeof d.szTip)); }

TEST(SysTray, AddsTheIconWithTheWindowIconAndNoTip) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    tray.Form_Load(0x500, 0x77);
    ASSERT_EQ(shell.calls.size(), 1u);
    const auto& add = shell.calls[0];
    EXPECT_EQ(add.message, kNimAdd);
    EXPECT_EQ(add.data.cbSize, 88u);
    EXPECT_EQ(add.data.hWnd, 0x500u);
    EXPECT_EQ(add.data.uID, 0u);
    EXPECT_EQ(add.data.uFlags, 7u);
    EXPECT_EQ(add.data.uCallbackMessage, 0x200u);
    EXPECT_EQ(add.data.hIcon, 0x77u);
    EXPECT_EQ(std::string(add.data.szTip, 64), std::string(64, '\0'));
}

TEST(SysTray, PropertyChangesModifyOnlyTheirField) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    tray.Form_Load(0x500, 0x77);
    tray.SetIconHandle(0x88);
    tray.SetToolTip("Quellwatch [Enabled]");
    ASSERT_EQ(shell.calls.size(), 3u);
    EXPECT_EQ(shell.calls[1].message, kNimModify);
    EXPECT_EQ(shell.calls[1].data.uFlags, kNifIcon);
    EXPECT_EQ(shell.calls[1].data.hIcon, 0x88u);
    EXPECT_EQ(shell.calls[2].data.uFlags, kNifTip);
    EXPECT_EQ(Tip(shell.calls[2].data), "Quellwatch [Enabled]");
    EXPECT_EQ(shell.calls[2].data.szTip[21], ' ');  // padded after the terminator
    EXPECT_EQ(shell.calls[2].data.hIcon, 0x88u);    // the record is kept
}

TEST(SysTray, TipAlwaysKeepsItsTerminator) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    tray.Form_Load(1, 1);
    const std::string t63(63, 'a'), t64(64, 'b'), t100(100, 'c');
    tray.SetToolTip(t63);
    EXPECT_EQ(Tip(tray.Record()), t63);
    tray.SetToolTip(t64);
    EXPECT_EQ(Tip(tray.Record()), std::string(63, 'b'));
    EXPECT_EQ(tray.Record().szTip[63], '\0');
    tray.SetToolTip(t100);
    EXPECT_EQ(tray.Record().szTip[63], '\0');
    tray.SetToolTip("");
    EXPECT_EQ(Tip(tray.Record()), "");
}

TEST(SysTray, DecodesTheMouseMessageInX) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    std::vector<std::string> events;
    tray.SysTrayMouseUp = [&](int b) { events.push_back("up" + std::to_string(b)); };
    tray.SysTrayMouseDown = [&](int b) { events.push_back("down" + std::to_string(b)); };
    tray.SysTrayDoubleClick = [&](int b) { events.push_back("dbl" + std::to_string(b)); };
    tray.SysTrayMouseMove = [&] { events.push_back("move"); };
    for (int x : {0x201, 0x202, 0x203, 0x204, 0x205, 0x206, 0x207, 0x208, 0x209, 0x200, 0, 600}) tray.Form_MouseMove(x);
    EXPECT_EQ(events, (std::vector<std::string>{"down1", "up1", "dbl1", "down2", "up2", "dbl2", "down4", "up4", "dbl4",
                                                "move", "move", "move"}));
}

TEST(SysTray, UnhandledEventsAreHarmless) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    tray.Form_MouseMove(0x205);
    tray.Form_MouseMove(0x200);
    EXPECT_TRUE(shell.calls.empty());
}

TEST(SysTray, RemovesTheIconOnUnloadOnlyOnce) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    tray.Form_Load(0x500, 0x77);
    tray.Form_Unload();
    tray.Form_Unload();
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[1].message, kNimDelete);
    EXPECT_EQ(shell.calls[1].data.hWnd, 0x500u);
    EXPECT_EQ(shell.calls[1].data.uID, 0u);
}

TEST(SysTray, ReAddsWithCurrentPictureAndTipWhenTheTaskbarIsRecreated) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    tray.Form_Load(0x500, 0x77);
    tray.SetIconHandle(0x99);
    tray.SetToolTip("Quellwatch [Disabled]");
    tray.TaskbarCreated();
    const auto& again = shell.calls.back();
    EXPECT_EQ(again.message, kNimAdd);
    EXPECT_EQ(again.data.uFlags, 7u);
    EXPECT_EQ(again.data.hIcon, 0x99u);
    EXPECT_EQ(Tip(again.data), "Quellwatch [Disabled]");
    tray.Form_Unload();
    const std::size_t n = shell.calls.size();
    tray.TaskbarCreated();  // an unloaded icon stays gone
    EXPECT_EQ(shell.calls.size(), n);
}

TEST(SysTray, TwoInstancesKeepTheirOwnRecords) {
    MemoryShellNotify shell;
    SysTray a(shell), b(shell);
    a.Form_Load(0x500, 1);
    b.Form_Load(0x600, 2);
    a.SetToolTip("A");
    b.Form_Unload();
    EXPECT_EQ(shell.calls[2].data.hWnd, 0x500u);
    EXPECT_EQ(shell.calls[3].data.hWnd, 0x600u);
    EXPECT_EQ(shell.calls[3].message, kNimDelete);
    EXPECT_EQ(a.Record().uID, b.Record().uID);
}

}  // namespace
}  // namespace qw
