// Bad input through every door of the real program: command lines naming
// what is no list file, a sound path that is no wave file, titles with every
// byte value. Each gets its message or is ignored; the program never falls.
#include <gtest/gtest.h>

#include <fstream>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

HWND BoxOf(const Program& program) { return WaitForWindowOfClass(program.Id(), "#32770", 10s); }

TEST(BadInput, CommandLinesNamingNoListFile) {
    QuietOptions();
    SeedList({"Daily Offer"});
    const std::string dir = BinDir();
    std::ofstream(dir + "\\empty.wnl", std::ios::binary);
    {
        // 20 MB without a line end: read in bounded lines, never whole.
        std::ofstream huge(dir + "\\huge.wnl", std::ios::binary);
        huge << "QUELLBOX2\r\n\r\n";
        const std::string block(1 << 20, 'A');
        for (int i = 0; i < 20; ++i) huge << block;
    }
    const std::pair<std::string, std::string> cases[] = {
        {dir + "\\missing.wnl", "Cannot open the window list\r\n" + dir + "\\missing.wnl"},
        {dir, "Cannot open the window list\r\n" + dir},
        {dir + "\\empty.wnl", "The window list could not be read to its end\r\n" + dir + "\\empty.wnl"},
        {dir + "\\huge.wnl", "The window list could not be read to its end\r\n" + dir + "\\huge.wnl"},
    };
    for (const auto& c : cases) {
        Program importer;
        ASSERT_TRUE(importer.Start(dir + "\\Quellbox.exe", "\"" + c.first + "\""));
        HWND box = BoxOf(importer);
        ASSERT_NE(box, nullptr) << c.first;
        PostMessageA(box, WM_COMMAND, IDYES, 0);
        ASSERT_TRUE(WaitUntil([&] {
            HWND now = FindWindowA("#32770", "Error");
            return now && BoxText(now) == c.second;
        }, 30s)) << c.first;
        PostMessageA(FindWindowA("#32770", "Error"), WM_COMMAND, IDOK, 0);
        EXPECT_EQ(importer.WaitExit(10s), 0) << c.first;
        EXPECT_EQ(StoredList(), std::vector<std::string>{"Daily Offer"}) << c.first;
    }
}

TEST(BadInput, NoWaveFileAndEveryByteOfATitle) {
    QuietOptions();
    SetString(kOptionsKey, "Play Sound", "1");
    SetString(kOptionsKey, "Sound", BinDir() + "\\Quellbox.chm");  // a file, but no wave
    SeedList({"bytes:"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Quellbox quellbox;
    ASSERT_TRUE(quellbox.Launch());
    // Every byte value 1 to 255, over two titles of at most 254 characters.
    for (int from : {1, 128}) {
        std::string title = "bytes:";
        for (int b = from; b < from + 127 && b < 256; ++b) title += static_cast<char>(b);
        HWND window = helper.Create(title);
        EXPECT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 10s)) << from;
    }
    EXPECT_TRUE(quellbox.Running());
    EXPECT_TRUE(IsWindow(quellbox.Main()));
}

}  // namespace
}  // namespace qwe2e
