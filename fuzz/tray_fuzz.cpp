// Fuzzes the tray icon: whatever notifications and property changes arrive, in
// any order, each notification raises exactly one event as the decoding table
// says and calls nothing; each property change is one NIM_MODIFY carrying only
// its field; the tip field always keeps its terminator within its 64
// characters, the text's first 63 at most before it and blanks after it; and
// the record passed is always the record kept.
//
// Input: operations, each an opcode byte and its operands.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/memory/memory_platform.h"
#include "ui/sys_tray.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}


// An event as raised: which handler, and its button (0 for a move).
struct Event {
    enum Kind { kNone, kDown, kUp, kDouble, kMove } kind = kNone;
    int button = 0;
};

// The table literally: 513 + 3 * b + k is down/up/double-click (k) of button b.
Event Expected(int x) {
    const long code = static_cast<long>(x) - 513;
    if (code < 0 || code >= 9) return {Event::kMove, 0};
    static const Event::Kind kinds[] = {Event::kDown, Event::kUp, Event::kDouble};
    static const int buttons[] = {1, 2, 4};
    return {kinds[code % 3], buttons[code / 3]};
}

bool SameRecord(const qw::NotifyIconData& a, const qw::NotifyIconData& b) {
    return a.cbSize == b.cbSize && a.hWnd == b.hWnd && a.uID == b.uID && a.uFlags == b.uFlags &&
           a.uCallbackMessage == b.uCallbackMessage && a.hIcon == b.hIcon &&
           std::memcmp(a.szTip, b.szTip, sizeof a.szTip) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qw;
    FuzzInput in(data, size);
    MemoryShellNotify shell;
    SysTray tray(shell);

    int raised = 0;
    Event last;
    const auto hook = [&](bool on) {
        if (!on) {
            tray.SysTrayMouseDown = nullptr;
            tray.SysTrayMouseUp = nullptr;
            tray.SysTrayDoubleClick = nullptr;
            tray.SysTrayMouseMove = nullptr;
            return;
        }
        tray.SysTrayMouseDown = [&](int b) {
            ++raised;
            last = {Event::kDown, b};
        };
        tray.SysTrayMouseUp = [&](int b) {
            ++raised;
            last = {Event::kUp, b};
        };
        tray.SysTrayDoubleClick = [&](int b) {
            ++raised;
            last = {Event::kDouble, b};
        };
        tray.SysTrayMouseMove = [&] {
            ++raised;
            last = {Event::kMove, 0};
        };
    };
    bool hooked = true;
    hook(true);

    // What the record must hold; the tip field byte for byte.
    std::uintptr_t window = 0x500;
    IconHandle icon = 0x77;
    char tip[64] = {};
    bool added = true;
    std::uint32_t flags = kNifMessage | kNifIcon | kNifTip;
    // After each operation: the calls it made, and the record as it must be.
    const auto check = [&](std::size_t newCalls, std::uint32_t message, std::size_t callsBefore) {
        const NotifyIconData& r = tray.Record();
        Check(shell.calls.size() == callsBefore + newCalls);
        if (newCalls) Check(shell.calls.back().message == message && SameRecord(shell.calls.back().data, r));
        Check(tray.Added() == added);
        Check(r.cbSize == 88 && r.uID == 0 && r.uCallbackMessage == 0x200);
        Check(r.hWnd == window && r.hIcon == icon && r.uFlags == flags);
        Check(std::memchr(r.szTip, '\0', sizeof r.szTip) != nullptr);
        Check(std::memcmp(r.szTip, tip, sizeof tip) == 0);
    };
    tray.Form_Load(window, icon);
    check(1, kNimAdd, 0);

    for (int ops = 0; in.Left() > 0 && ops < 4096; ++ops) {
        const std::size_t callsBefore = shell.calls.size();
        std::size_t newCalls = 0;
        std::uint32_t message = 0;
        const std::uint8_t op = in.Byte();
        switch (op % 8) {
        case 0:
        case 1: {
            // Mostly near the mouse messages, sometimes any int at all.
            const std::uint8_t b = in.Byte();
            const int x = b < 0xF0 ? 0x1FF + b % 12 : static_cast<int>(in.Word());
            raised = 0;
            last = Event{};
            tray.Form_MouseMove(x);
            const Event want = Expected(x);
            Check(raised == (hooked ? 1 : 0));
            if (hooked) Check(last.kind == want.kind && last.button == want.button);
            break;
        }
        case 2:
        case 3: {
            const std::string text = in.Bytes(in.Byte() + (op & 0x80 ? 64u : 0u));
            tray.SetToolTip(text);
            const std::size_t n = std::min<std::size_t>(text.size(), 63);
            std::memset(tip, ' ', sizeof tip);
            std::memcpy(tip, text.data(), n);
            tip[n] = '\0';
            flags = kNifTip;
            newCalls = 1;
            message = kNimModify;
            break;
        }
        case 4:
            icon = in.Word();
            tray.SetIconHandle(icon);
            flags = kNifIcon;
            newCalls = 1;
            message = kNimModify;
            break;
        case 5:
            tray.Form_Unload();
            if (added) {
                newCalls = 1;
                message = kNimDelete;
            }
            added = false;
            break;
        case 6:
            shell.icons.clear();  // Explorer restarted: every icon is gone
            tray.TaskbarCreated();
            if (added) {
                flags = kNifMessage | kNifIcon | kNifTip;
                newCalls = 1;
                message = kNimAdd;
            }
            break;
        case 7:
            if (op & 0x80) {
                hooked = !hooked;
                hook(hooked);
                break;
            }
            window = in.Word();
            icon = in.Word();
            std::memset(tip, 0, sizeof tip);
            flags = kNifMessage | kNifIcon | kNifTip;
            // A window that has its icon already: the refused add is followed by a modify.
            const bool existed = shell.icons.count({window, 0u}) > 0;
            tray.Form_Load(window, icon);
            added = true;
            newCalls = existed ? 2 : 1;
            message = existed ? kNimModify : kNimAdd;
            break;
        }
        check(newCalls, message, callsBefore);
    }
    return 0;
}
