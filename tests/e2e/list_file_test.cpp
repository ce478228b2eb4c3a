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

const char kWrongHeader[] = "This window list is invalid, or it may be from an newer version of Quellwatch.";

// A file beside the driver.
std::string WinPath(const std::string& name) { return BinDir() + "\\" + name; }

std::string ReadFile(const std::string& name) {
    std::ifstream in(WinPath(name), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& name, const std::string& bytes) {
    std::ofstream(WinPath(name), std::ios::binary) << bytes;
}

// A list file as any writer of the format makes it, every key 68.
std::string ListFile(const Strings& entries) {
    std::string file = "QUELLBOX2\r\n\r\n";
    for (const std::string& e : entries) {
        for (char c : e) file += {static_cast<char>(static_cast<unsigned char>(c) + 68), 'D'};
        file += "\r\n";
    }
    return file;
}

// The entries of a list file: pairs (a, b) give the character a - b.
Strings Decode(const std::string& file) {
    Strings entries;
    std::size_t at = file.find("\r\n\r\n");
    if (file.compare(0, 11, "QUELLBOX2\r\n") != 0 || at == std::string::npos) return {"(bad header)"};
    for (at += 4; at < file.size();) {
        const std::size_t end = file.find("\r\n", at);
        const std::string line = file.substr(at, end - at);
        std::string entry;
        for (std::size_t i = 0; i + 1 < line.size(); i += 2)
            entry += static_cast<char>(static_cast<unsigned char>(line[i]) - static_cast<unsigned char>(line[i + 1]));
        entries.push_back(entry);
        at = end == std::string::npos ? file.size() : end + 2;
    }
    return entries;
}

class ListFiles : public ::testing::Test {
protected:
    void SetUp() override {
        QuietOptions();
    }
    // A visible message box of `program` whose text is `text`.
    static HWND BoxSaying(const Program& program, const std::string& text) {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                for (HWND w : WindowsOf(program.Id())) {
                    if (IsWindowVisible(w) && GetDlgItem(w, 0xFFFF) && BoxText(w) == text) found = w;
                }
                return found != nullptr;
            },
            10s);
        return found;
    }
    static void Press(HWND window, int id) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    static bool Gone(HWND window) { return WaitUntil([&] { return !IsWindow(window); }, 10s); }
    // Answers the file dialog of `program` titled `title` with `path`.
    static bool ChooseFile(const Program& program, const char* title, const std::string& path) {
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindWindowOf(program.Id(), title)) && IsWindowVisible(dialog); }, 10s))
            return false;
        SetDlgItemTextA(dialog, 0x47C, path.c_str());  // the "File name" box
        Press(dialog, IDOK);
        return Gone(dialog);
    }
    // The count text of a running copy: its list box holds what it shows.
    static std::string CountText(const Quellbox& q) { return TextOf(GetDlgItem(q.Main(), IDC_NUMWINDOWS)); }

    Quellbox quellbox;
};

TEST_F(ListFiles, ExportAndImportThroughTheFileMenu) {
    SeedList({"Daily Offer", "Weekly deal", "Caf\xE9 au lait"});
    ASSERT_TRUE(quellbox.Launch());
    DeleteFileA(WinPath("export.wnl").c_str());
    PostMessageA(quellbox.Main(), WM_COMMAND, IDM_EXPORT, 0);
    // A new file, named without its extension: the dialog adds ".wnl".
    ASSERT_TRUE(ChooseFile(quellbox, "Export Window List", WinPath("export")));
    std::string bytes;
    ASSERT_TRUE(WaitUntil([&] { return !(bytes = ReadFile("export.wnl")).empty(); }, 10s));
    EXPECT_EQ(bytes.compare(0, 13, "QUELLBOX2\r\n\r\n"), 0);
    EXPECT_EQ(Decode(bytes), (Strings{"Daily Offer", "Weekly deal", "Caf\xE9 au lait"}));

    WriteFile("wrong.wnl", "quellbox2\r\n\r\n" + ListFile({"Never added"}).substr(13));
    PostMessageA(quellbox.Main(), WM_COMMAND, IDM_IMP, 0);
    ASSERT_TRUE(ChooseFile(quellbox, "Import Window List", WinPath("wrong.wnl")));
    HWND box = BoxSaying(quellbox, kWrongHeader);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Unrecognized File Header");
    Press(box, IDOK);
    ASSERT_TRUE(Gone(box));

    WriteFile("more.wnl", ListFile({"Brand new entry", "DAILY OFFER", "abc", "Another new one"}));
    PostMessageA(quellbox.Main(), WM_COMMAND, IDM_IMP, 0);
    ASSERT_TRUE(ChooseFile(quellbox, "Import Window List", WinPath("more.wnl")));
    EXPECT_TRUE(WaitUntil(
        [&] {
            return StoredList() == Strings{"Daily Offer", "Weekly deal", "Caf\xE9 au lait", "Brand new entry",
                                           "Another new one"};
        },
        10s));
    EXPECT_EQ(CountText(quellbox), "Quellwatch is currently scanning for 5 windows.");
}

// Opening a .wnl file in the shell runs "Quellbox.exe <path>": a one-shot
// import that asks first, never shows a window or scans, and tells a running
// copy to reload, so that its next save keeps what was imported.
TEST_F(ListFiles, ACommandLineImportAsksMergesAndTellsTheRunningCopy) {
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    SeedList({"Daily Offer"});
    HWND offer = helper.Create("Daily Offer - a window no importer may close");
    WriteFile("my list.wnl", ListFile({"Imported entry one", "Imported entry two"}));
    const std::string quoted = "\"" + WinPath("my list.wnl") + "\"";

    Program importer;
    ASSERT_TRUE(importer.Start(BinDir() + "\\Quellbox.exe", quoted));
    HWND box = BoxSaying(importer, "Import my list.wnl ?");
    ASSERT_NE(box, nullptr);
    Press(box, IDNO);
    EXPECT_NE(importer.WaitExit(10s), -1);
    EXPECT_EQ(StoredList(), Strings{"Daily Offer"});

    ASSERT_TRUE(importer.Start(BinDir() + "\\Quellbox.exe", quoted));
    box = BoxSaying(importer, "Import my list.wnl ?");
    ASSERT_NE(box, nullptr);
    Press(box, IDYES);
    box = BoxSaying(importer, "Window List imported.");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(FindWindowOf(importer.Id(), "Quellwatch v1.6") ? IsWindowVisible(FindWindowOf(importer.Id(), "Quellwatch v1.6")) : FALSE,
              FALSE);
    Press(box, IDOK);
    EXPECT_NE(importer.WaitExit(10s), -1);
    EXPECT_EQ(StoredList(), (Strings{"Daily Offer", "Imported entry one", "Imported entry two"}));
    EXPECT_TRUE(helper.Messages(offer).empty());  // the importer never scanned

    // With a tray copy running: it never closes the importer's questions,
    // whatever its list holds; it is told of the import, and its next save
    // keeps what was imported.
    SeedList({"Quellwatch"});
    ASSERT_TRUE(quellbox.Launch());
    HWND sentinel = helper.Create("Quellwatch sentinel", "i");  // asked again every 500 ms
    ASSERT_TRUE(importer.Start(BinDir() + "\\Quellbox.exe", WinPath("my list.wnl")));
    box = BoxSaying(importer, "Import my list.wnl ?");
    ASSERT_NE(box, nullptr);
    const std::size_t asked = helper.Stamps(sentinel, WM_CLOSE).size();
    ASSERT_TRUE(helper.WaitForMessages(sentinel, WM_CLOSE, asked + 2, 10s));
    ASSERT_TRUE(IsWindowVisible(box));
    Press(box, IDYES);
    box = BoxSaying(importer, "Window List imported, please press refresh\r\non the main dialog to see the new entries.");
    ASSERT_NE(box, nullptr);
    Press(box, IDOK);
    EXPECT_NE(importer.WaitExit(10s), -1);
    EXPECT_TRUE(WaitUntil([&] { return CountText(quellbox) == "Quellwatch is currently scanning for 3 windows."; }, 10s));
    PostMessageA(quellbox.Main(), WM_COMMAND, IDC_LADD, 0);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (dialog = FindWindowOf(quellbox.Id(), "Add new item")) != nullptr && IsWindowVisible(dialog); }, 10s));
    SetDlgItemTextA(dialog, IDC_WIN_NAME, "Added afterwards");
    Press(dialog, IDOK);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return StoredList() ==
                   Strings{"Quellwatch", "Imported entry one", "Imported entry two", "Added afterwards"};
        },
        10s));
}

TEST_F(ListFiles, TheAssociationIsWrittenAtStartAndOpensTheImport) {
    SeedList({});
    ASSERT_TRUE(quellbox.Launch());
    auto classes = [](const char* path, const char* name, std::string* value) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
        char data[1024] = {};
        DWORD size = sizeof data - 1;
        const bool ok = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        // Text values read as text; the flags as their four bytes.
        if (ok) *value = std::string(name).empty() ? std::string(data) : std::string(data, size);
        return ok;
    };
    const std::string exe = BinDir() + "\\Quellbox.exe";
    std::string value;
    ASSERT_TRUE(WaitUntil([&] { return classes(".WNL", "", &value); }, 10s));
    EXPECT_EQ(value, "Quellwatch Window List");
    EXPECT_TRUE(classes("Quellwatch Window List\\DefaultIcon", "", &value));
    EXPECT_EQ(value, exe + ",1");
    EXPECT_TRUE(classes("Quellwatch Window List\\shell\\open\\command", "", &value));
    EXPECT_EQ(value, "\"" + exe + "\" %1");
    EXPECT_TRUE(classes("Quellwatch Window List", "EditFlags", &value));
    EXPECT_EQ(value, std::string("\x00\x00\x01\x00", 4));

    // As a user opens the file: the shell starts the program with its path.
    WriteFile("opened.wnl", ListFile({"Opened from the shell"}));
    ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", WinPath("opened.wnl").c_str(), nullptr, nullptr,
                                                      SW_SHOWNORMAL)),
              32);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            box = FindWindowA("#32770", "Quellwatch");
            return box && BoxText(box) == "Import opened.wnl ?";
        },
        20s));
    Press(box, IDYES);
    EXPECT_TRUE(WaitUntil([&] { return StoredList() == Strings{"Opened from the shell"}; }, 10s));
    HWND done = nullptr;
    WaitUntil([&] { return (done = FindWindowA("#32770", "Quellwatch")) && BoxText(done) != "Import opened.wnl ?"; }, 10s);
    if (done) Press(done, IDOK);
}

}  // namespace
}  // namespace qwe2e
