#include "platform/memory/memory_platform.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/text.h"

namespace qw {

const CaseFolding& CaseFolding::System() {
    static const CaseFolding table = Common();
    return table;
}

const FakeWindow* MemoryWindows::Find(WindowHandle handle) const {
    for (const FakeWindow& w : windows) {
        if (w.handle == handle) return &w;
    }
    return nullptr;
}

void MemoryWindows::Remove(WindowHandle handle) {
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [&](const FakeWindow& w) { return w.handle == handle; }),
                  windows.end());
}

std::vector<WindowHandle> MemoryWindows::Closed() const {
    std::vector<WindowHandle> closed;
    for (const Posted& p : posts) {
        if (p.message == kWmClose) closed.push_back(p.window);
    }
    return closed;
}

void MemoryWindows::EnumTopLevel(WindowVisitor& visitor) {
    // A copy: a window may go while the pass runs, as on the platform.
    const std::vector<FakeWindow> snapshot = windows;
    for (const FakeWindow& w : snapshot) {
        if (!w.root) visitor.Visit(w.handle);
    }
}

std::uint32_t MemoryWindows::GetStyle(WindowHandle window) {
    ++calls[window].style;
    if (onRead) onRead(window, calls[window]);
    const FakeWindow* w = Find(window);
    if (!w) return 0;
    return (w->visible ? kWsVisible : 0u) | (w->popup ? kWsPopup : 0u);
}

WindowHandle MemoryWindows::GetParent(WindowHandle window) {
    ++calls[window].parent;
    const FakeWindow* w = Find(window);
    return w && w->popup ? w->owner : 0;
}

std::string MemoryWindows::GetText(WindowHandle window, int maxUnits) {
    ++calls[window].text;
    if (onRead) onRead(window, calls[window]);
    const FakeWindow* w = Find(window);
    if (!w || maxUnits <= 0) return "";
    return utf8::CutToUtf16Units(w->title, static_cast<std::size_t>(maxUnits));
}

bool MemoryWindows::BelongsToProgram(WindowHandle window) {
    ++calls[window].process;
    const FakeWindow* w = Find(window);
    return w && w->ours;
}

namespace {
// A program's windows share a process unless the test gives them their own.
std::uint32_t ProcessIdOf(const FakeWindow& w) {
    if (w.processId) return w.processId;
    return static_cast<std::uint32_t>(std::hash<std::string>{}(w.program) % 60000 + 1000);
}
}  // namespace

ProcessIdentity MemoryWindows::ProcessOf(WindowHandle window) {
    ++calls[window].identity;
    const FakeWindow* w = Find(window);
    return w ? ProcessIdentity{ProcessIdOf(*w), w->started} : ProcessIdentity{};
}

std::vector<DialogButton> MemoryWindows::PushButtons(WindowHandle dialog) {
    std::vector<DialogButton> buttons;
    if (const FakeWindow* w = Find(dialog)) {
        for (const auto& b : w->buttons) {
            if (b.clickable) buttons.push_back(DialogButton{b.handle, b.id, b.caption});
        }
    }
    return buttons;
}

EndResult MemoryWindows::EndProgram(const ProcessIdentity& process) {
    bool found = false;
    for (const FakeWindow& w : windows) {
        if (ProcessIdOf(w) != process.id || w.started != process.started) continue;
        if (w.protectedProcess || w.elevated) return EndResult::kRefused;
        found = true;
    }
    if (!found) return EndResult::kGone;
    ended.push_back(process.id);
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [&](const FakeWindow& w) { return ProcessIdOf(w) == process.id; }),
                  windows.end());
    return EndResult::kEnded;
}

std::string MemoryWindows::ProgramName(const ProcessIdentity& process) {
    ++programNames;
    // As Windows does: the id answers for the process that has it now.
    for (const FakeWindow& w : windows) {
        if (ProcessIdOf(w) == process.id) return w.started == process.started ? w.program : "";
    }
    return "";
}

}  // namespace qw
