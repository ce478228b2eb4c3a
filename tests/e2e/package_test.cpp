// The installer as a user and an administrator meet it, through Wine's
// msiexec: installed for the user into their own folders, the installed
// program at work, the running copy ended and every trace that names it
// removed on uninstall while the list and options stay, a newer package
// replacing an older one. The packages are those of this build (the 64-bit
// build where only 64-bit Wine runs).
#include <gtest/gtest.h>

#include "e2e_support.h"

#include <msi.h>
#include <objbase.h>
#include <shlobj.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

const char kUpgradeCode[] = "{C4ED1D6F-F588-4EA6-A6E1-A3129F780E10}";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kProgId[] = "Quellwatch Window List";
const char kProgramKey[] = "Software\\Varn\\Quellwatch";

std::string Package(const char* version) {
    const std::string folder = version == std::string(QW_PACKAGE_VERSION) ? "dist" : "packages-test";
    return BinDir() + "\\..\\" + folder + "\\Quellwatch-" + version + ".msi";
}

std::string Folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return Utf8(path);
}
const std::string& InstallDir() {
    static const std::string dir = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Quellwatch";
    return dir;
}
std::string Installed() { return InstallDir() + "\\Quellbox.exe"; }
std::string Shortcut() { return Folder(CSIDL_PROGRAMS) + "\\Quellwatch.lnk"; }
bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }
bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// msiexec with these arguments; its exit code.
long Msiexec(const std::string& arguments) {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    Program msiexec;
    if (!msiexec.Start(std::string(system) + "\\msiexec.exe", arguments)) return -2;
    return msiexec.WaitExit(120s);
}

// The installed products of this upgrade code, with their versions.
std::vector<std::pair<std::string, std::string>> Products() {
    std::vector<std::pair<std::string, std::string>> products;
    char code[39];
    for (DWORD i = 0; MsiEnumRelatedProductsA(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i) {
        char version[64] = {};
        DWORD size = sizeof version;
        MsiGetProductInfoA(code, INSTALLPROPERTY_VERSIONSTRING, version, &size);
        products.emplace_back(code, version);
    }
    return products;
}

// The program a shortcut starts.
std::string ShortcutTarget(const std::string& link) {
    std::string target = "(unreadable)";
    IShellLinkW* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shell))))
        return target;
    IPersistFile* file = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(Wide(link).c_str(), STGM_READ)) &&
        SUCCEEDED(shell->GetPath(path, MAX_PATH, nullptr, 0)))
        target = Utf8(path);
    if (file) file->Release();
    shell->Release();
    return target;
}

// A message box of any process saying `text`, as the installer's steps show them.
HWND WaitForAnyBox(const std::string& text) {
    HWND found = nullptr;
    WaitUntil([&] {
        found = nullptr;
        for (HWND w = GetTopWindow(nullptr); w && !found; w = GetWindow(w, GW_HWNDNEXT)) {
            char name[16] = {};
            GetClassNameA(w, name, sizeof name);
            if (IsWindowVisible(w) && std::string(name) == "#32770" && BoxText(w) == text) found = w;
        }
        return found != nullptr;
    }, 30s);
    return found;
}

// Nothing of an earlier run: no product, none of the traces the test looks for.
void Clean() {
    for (const auto& product : Products()) Msiexec("/x " + product.first + " /qn");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteKeyValueA(root, kRunKey, "Quellwatch");
    for (const std::string& classes : {std::string(), std::string("Software\\Classes\\")}) {
        const HKEY root = classes.empty() ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER;
        RegDeleteTreeA(root, (classes + kProgId).c_str());
        RegDeleteTreeA(root, (classes + ".WNL").c_str());
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    QuietOptions();
}

// The traces that name a program file: the Run entries of both hives, then
// the open command and the extension in each hive's classes.
std::vector<std::string> Traces() {
    return {Value(kRunKey, "Quellwatch", HKEY_LOCAL_MACHINE), Value(kRunKey, "Quellwatch", HKEY_CURRENT_USER),
            Value((std::string(kProgId) + "\\shell\\open\\command").c_str(), "", HKEY_CLASSES_ROOT),
            Value(".WNL", "", HKEY_CLASSES_ROOT),
            Value(("Software\\Classes\\" + std::string(kProgId) + "\\shell\\open\\command").c_str(), ""),
            Value("Software\\Classes\\.WNL", "")};
}

// Installed silently for the user, with its Start-menu shortcut and its entry
// in the installed programs; the installed program closes a listed window and
// writes its Run entry and association; a silent uninstall ends the running
// copy as its Exit does, removes the files, the shortcut, the Run entries and
// the association of both hives that name the file, and keeps the list and
// the options.
TEST(Package, InstallsForTheUserAndUninstallsCleanly) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Clean();
    ASSERT_EQ(Msiexec("/i \"" + Package(QW_PACKAGE_VERSION) + "\" /qn"), 0);
    for (const char* file : {"Quellbox.exe", "Quellbox.chm", "LICENSE"})
        EXPECT_TRUE(Exists(InstallDir() + "\\" + file)) << file;
    EXPECT_TRUE(_stricmp(ShortcutTarget(Shortcut()).c_str(), Installed().c_str()) == 0) << ShortcutTarget(Shortcut());
    const auto products = Products();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(products[0].second, QW_PACKAGE_VERSION);
    // Apps & features: the publisher, and the program's icon, kept by the installer.
    const auto info = [&](const char* property) {
        char text[MAX_PATH] = {};
        DWORD size = sizeof text;
        MsiGetProductInfoA(products[0].first.c_str(), property, text, &size);
        return std::string(text);
    };
    EXPECT_EQ(info(INSTALLPROPERTY_PUBLISHER), "The Quellwatch authors");
    EXPECT_EQ(info(INSTALLPROPERTY_INSTALLEDPRODUCTNAME), "Quellwatch");
    const std::string icon = info(INSTALLPROPERTY_PRODUCTICON);
    const HICON picture = ExtractIconW(nullptr, Wide(icon).c_str(), 0);
    EXPECT_TRUE(picture != nullptr && picture != reinterpret_cast<HICON>(1)) << icon;
    if (picture) DestroyIcon(picture);
    Program none;  // no copy runs yet
    ASSERT_TRUE(none.Start(Installed(), "/exit"));
    EXPECT_EQ(none.WaitExit(20s), 1);

    SetString(kOptionsKey, "Run at Start", "1");
    SeedList({"Package probe"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Program app;
    ASSERT_TRUE(app.Start(Installed()) && app.WaitForMain());
    const HWND probe = helper.Create("Package probe window");
    EXPECT_TRUE(helper.WaitForMessages(probe, WM_CLOSE, 1, 10s));
    // The copy writes the machine's Run entry and association, as Wine lets
    // every user; a standard user's copy writes the user's own instead.
    const std::string quoted = "\"" + Installed() + "\"", command = quoted + " %1";
    ASSERT_TRUE(WaitUntil([&] { return Traces()[0] == quoted; }, 10s));
    SetString(kRunKey, "Quellwatch", Installed());
    SetString(("Software\\Classes\\" + std::string(kProgId) + "\\shell\\open\\command").c_str(), "", command);
    SetString("Software\\Classes\\.WNL", "", kProgId);
    EXPECT_EQ(Traces(), (std::vector<std::string>{quoted, Installed(), command, kProgId, command, kProgId}));

    EXPECT_EQ(Msiexec("/x \"" + Package(QW_PACKAGE_VERSION) + "\" /qn"), 0);
    EXPECT_EQ(app.WaitExit(10s), 0);  // it ended itself, as its Exit does
    EXPECT_FALSE(Exists(InstallDir()));
    EXPECT_FALSE(Exists(Shortcut()));
    EXPECT_EQ(Traces(), std::vector<std::string>(6, "(missing)"));
    EXPECT_EQ(StoredList(), std::vector<std::string>{"Package probe"});
    EXPECT_EQ(Value(kOptionsKey, "Run at Start"), "1");
    EXPECT_EQ(Value(kProgramKey, "Installed Folder"), "(missing)");
    EXPECT_TRUE(Products().empty());
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    QuietOptions();
    CoUninitialize();
}

// A newer package, run as a user runs it (with its user interface), ends the
// older version's running copy and replaces it, leaving one installed
// product, the list and the options, and offers to start the program; an
// older package then refuses to replace it. REMOVEDATA=1 removes the list
// and the options with the rest, without asking; asked, Yes does the same.
TEST(Package, ANewerPackageReplacesAnOlderOne) {
    Clean();
    SetString(kOptionsKey, "Run at Start", "1");
    SeedList({"Package probe"});
    ASSERT_EQ(Msiexec("/i \"" + Package(QW_PACKAGE_OLDER_VERSION) + "\" /qn"), 0);
    Program older;
    ASSERT_TRUE(older.Start(Installed()) && older.WaitForMain());
    const std::string quoted = "\"" + Installed() + "\"";
    ASSERT_TRUE(WaitUntil([&] { return Traces()[0] == quoted; }, 10s));

    Program upgrade;
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    ASSERT_TRUE(upgrade.Start(std::string(system) + "\\msiexec.exe", "/i \"" + Package(QW_PACKAGE_VERSION) + "\""));
    EXPECT_EQ(older.WaitExit(60s), 0);
    const HWND offer = WaitForAnyBox("Quellwatch is installed. Start it now?");
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(std::make_pair(StoredList(), Value(kOptionsKey, "Run at Start")),
              std::make_pair(std::vector<std::string>{"Package probe"}, std::string("1")));
    // Windows removes the older version with UPGRADINGPRODUCTCODE set, and
    // its removal then leaves the Run entry and the association alone; Wine
    // 8's removes it as a plain removal ("msiexec /qn /i {code} REMOVE=ALL"),
    // so here they are back only once the new copy starts and writes them.
    DWORD offering = 0;
    GetWindowThreadProcessId(offer, &offering);
    EXPECT_TRUE(Answer(offer, IDYES));
    EXPECT_EQ(upgrade.WaitExit(60s), 0);
    EXPECT_TRUE(WaitUntil([&] { return FindWindowOf(offering, "Quellwatch v1.6") != nullptr; }, 20s));
    EXPECT_TRUE(WaitUntil([&] { return Traces()[0] == quoted; }, 10s));
    const auto products = Products();
    ASSERT_EQ(products.size(), 1u);
    EXPECT_EQ(products[0].second, QW_PACKAGE_VERSION);
    EXPECT_NE(Msiexec("/i \"" + Package(QW_PACKAGE_OLDER_VERSION) + "\" /qn"), 0);
    EXPECT_EQ(Products(), products);

    // Given on the command line, REMOVEDATA decides without a question.
    EXPECT_EQ(Msiexec("/x \"" + Package(QW_PACKAGE_VERSION) + "\" REMOVEDATA=1"), 0);
    EXPECT_TRUE(WaitUntil([&] { return FindWindowOf(offering, "Quellwatch v1.6") == nullptr; }, 10s));
    EXPECT_FALSE(KeyExists(kProgramKey));
    // Asked, with a user interface: Yes removes them too.
    SeedList({"Package probe"});
    ASSERT_EQ(Msiexec("/i \"" + Package(QW_PACKAGE_VERSION) + "\" /qn"), 0);
    Program removal;
    ASSERT_TRUE(removal.Start(std::string(system) + "\\msiexec.exe", "/x \"" + Package(QW_PACKAGE_VERSION) + "\""));
    const HWND question = WaitForAnyBox(
        "Quellwatch is being removed.\r\n\r\nAlso remove your window list and settings? Answer No to keep them "
        "for the next time Quellwatch is installed.");
    EXPECT_TRUE(Answer(question, IDYES));
    EXPECT_EQ(removal.WaitExit(60s), 0);
    EXPECT_EQ(std::make_pair(KeyExists(kProgramKey), Exists(InstallDir())), std::make_pair(false, false));
    EXPECT_TRUE(Products().empty());
    QuietOptions();
}

}  // namespace
}  // namespace qwe2e
