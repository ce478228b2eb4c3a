// Keeps Wine's virtual desktop, and with it this driver, alive between tests.
#include <windows.h>

#include <gtest/gtest.h>

namespace qwe2e {
namespace {

// Wine ends a process whose threads hold no window on its virtual desktop
// when the last program with windows there goes (exit code 0, no word). A
// test that kills the program under test can leave the driver in just that
// state, so the driver's main thread keeps a hidden window for the whole run.
class DesktopKeeper : public ::testing::Environment {
public:
    void SetUp() override {
        window_ = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }

private:
    HWND window_ = nullptr;
};

const auto* const kDesktopKeeper = ::testing::AddGlobalTestEnvironment(new DesktopKeeper);

}  // namespace
}  // namespace qwe2e
