// Window-list files on the real program: export and import through the File
// menu and the system's file dialogs, the one-shot import of a file named on
// the command line, and the shell association that starts it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

std::string Beside(const std::string& name) { return BinDir() + "\\" + name; }

void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(Beside(name), std::ios::binary) << bytes;
}

// A list file as any writer of the format makes it, every key 68 ('D').
std::string ListFile(const Strings& entries, const char* header = "QUELLBOX2") {
    std::string file = std::string(header) + "\r\n\r\n";
    for (const std::string& e : entries) {
        for (char c : e) file += {static_cast<char>(static_cast<unsigned char>(c) + 68), 'D'};
        file += "\r\n";
    }
    return file;
}

// The entries of a list file: each pair (a, b) gives the character a - b.
Strings Decode(const std::string& file) {
    Strings entries;
    std::istringstream lines(file.substr(file.find("\r\n\r\n") + 4));
    for (std::string line; std::getline(lines, line, '\n');) {
        std::string entry;
        for (std::size_t i = 0; i + 1 < line.size(); i += 2)
            entry += static_cast<char>(static_cast<unsigned char>(line[i]) - static_cast<unsigned char>(line[i + 1]));
        entries.push_back(entry);
    }
    return entries;
}

// Answers the file dialog of `program` titled `title` with `path`.
bool ChooseFile(const Program& program, const char* title, const std::string& path) {
    HWND dialog = WaitForWindow(program, title);
    if (!dialog) return false;
    SetDlgItemTextA(dialog, 0x47C, path.c_str());  // the "File name" box
    Press(dialog, IDOK);
    return WaitGone(dialog);
}

bool Stored(const Strings& entries) { return WaitUntil([&] { return StoredList() == entries; }, 10s); }

TEST(ListFiles, ExportAndImportThroughTheFileMenu) {
    QuietOptions();
    SeedList({"Daily Offer", "Weekly deal", "Caf\xE9 au lait"});
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    DeleteFileA(Beside("export.wnl").c_str());
    Press(q.Main(), IDM_EXPORT);
    // A new file, named without its extension: the dialog adds ".wnl".
    ASSERT_TRUE(ChooseFile(q, "Export Window List", Beside("export")));
    std::string bytes;
    ASSERT_TRUE(WaitUntil([&] {
        std::ostringstream read;
        read << std::ifstream(Beside("export.wnl"), std::ios::binary).rdbuf();
        return !(bytes = read.str()).empty();
    }, 10s));
    EXPECT_EQ(bytes.substr(0, 13), "QUELLBOX2\r\n\r\n");
    EXPECT_EQ(Decode(bytes), (Strings{"Daily Offer", "Weekly deal", "Caf\xE9 au lait"}));

    WriteFile("wrong.wnl", ListFile({"Never added"}, "quellbox2"));
    WriteFile("more.wnl", ListFile({"Brand new entry", "DAILY OFFER", "abc", "Another new one"}));
    for (const char* file : {"wrong.wnl", "more.wnl"}) {
        Press(q.Main(), IDM_IMP);
        ASSERT_TRUE(ChooseFile(q, "Import Window List", Beside(file)));
    }
    HWND box = WaitForBox(q, "This window list is invalid, or it may be from an newer version of Quellwatch.");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Unrecognized File Header");
    Press(box, IDOK);
    // Repeats in other case and short entries are dropped; the count follows.
    EXPECT_TRUE(Stored({"Daily Offer", "Weekly deal", "Caf\xE9 au lait", "Brand new entry", "Another new one"}));
    EXPECT_TRUE(WaitUntil(
        [&] { return TextOf(GetDlgItem(q.Main(), IDC_NUMWINDOWS)) == "Quellwatch is currently scanning for 5 windows."; },
        10s));
}

// Opening a .wnl file in the shell runs "Quellbox.exe <path>": a one-shot
// import that asks first, never shows a window or scans, and tells a running
// copy to reload, so that its next save keeps what was imported. A running
// copy never closes the importer's questions, whatever its list holds.
TEST(ListFiles, TheShellImportAsksMergesAndTellsTheRunningCopy) {
    QuietOptions();
    SeedList({"Daily Offer"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    HWND offer = helper.Create("Daily Offer - a window no importer may close");
    WriteFile("my list.wnl", ListFile({"Imported entry one", "Imported entry two"}));
    Program importer;
    for (int answer : {IDNO, IDYES}) {
        ASSERT_TRUE(importer.Start(Beside("Quellbox.exe"), "\"" + Beside("my list.wnl") + "\""));
        HWND box = WaitForBox(importer, "Import my list.wnl ?");
        ASSERT_NE(box, nullptr);
        Press(box, answer);
        if (answer == IDYES) {
            box = WaitForBox(importer, "Window List imported.");
            ASSERT_NE(box, nullptr);
            Press(box, IDOK);
        }
        EXPECT_EQ(importer.WaitExit(10s), 0);
        const Strings expected = answer == IDNO ? Strings{"Daily Offer"}
                                                : Strings{"Daily Offer", "Imported entry one", "Imported entry two"};
        EXPECT_EQ(StoredList(), expected);
    }
    EXPECT_TRUE(helper.Messages(offer).empty());  // the importer never scanned

    // The association, written at start and used as Explorer does.
    SeedList({"Quellwatch"});
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Quellwatch Window List\\shell\\open\\command", 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    char command[512] = {};
    DWORD size = sizeof command - 1;
    RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<BYTE*>(command), &size);
    RegCloseKey(key);
    EXPECT_EQ(std::string(command), "\"" + Beside("Quellbox.exe") + "\" %1");
    HWND sentinel = helper.Create("Quellwatch sentinel", "i");  // asked again every 500 ms
    ASSERT_GT(reinterpret_cast<INT_PTR>(
                  ShellExecuteA(nullptr, "open", Beside("my list.wnl").c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
              32);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindWindowA("#32770", "Quellwatch")) && BoxText(box) == "Import my list.wnl ?"; },
                          20s));
    const std::size_t asked = helper.Stamps(sentinel, WM_CLOSE).size();
    ASSERT_TRUE(helper.WaitForMessages(sentinel, WM_CLOSE, asked + 2, 10s));
    ASSERT_TRUE(IsWindowVisible(box));
    Press(box, IDYES);
    ASSERT_TRUE(WaitUntil([&] {
        box = FindWindowA("#32770", "Quellwatch");
        return box && BoxText(box) ==
                          "Window List imported, please press refresh\r\non the main dialog to see the new entries.";
    }, 10s));
    Press(box, IDOK);
    EXPECT_TRUE(WaitUntil(
        [&] { return TextOf(GetDlgItem(q.Main(), IDC_NUMWINDOWS)) == "Quellwatch is currently scanning for 3 windows."; },
        10s));
    Press(q.Main(), IDC_LADD);
    HWND dialog = WaitForWindow(q, "Add new item");
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, IDC_WIN_NAME, "Added afterwards");
    Press(dialog, IDOK);
    EXPECT_TRUE(Stored({"Quellwatch", "Imported entry one", "Imported entry two", "Added afterwards"}));
}

}  // namespace
}  // namespace qwe2e
