// In-memory twins of the window, sound, timer and control adapters. They record
// what the logic asked of them so native tests can check calls and outcomes.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/window_api.h"

namespace qw {

struct FakeWindow {
    WindowHandle handle = 0;
    bool visible = true;
    bool popup = false;
    WindowHandle owner = 0;  // seen through GetParent only for popup windows
    std::string title;
    bool ours = false;  // belongs to the program's own process
    WindowHandle root = 0;  // a control: the top-level window it lies in; never enumerated
    bool elevated = false;  // of a program running as administrator: posts are refused
    bool hung = false;      // its program does not answer
    // Cloaked, and why (kDwmCloaked* bits): the shell hides a window on
    // another virtual desktop and its own hidden windows, a program its
    // suspended frames.
    std::uint32_t cloaked = 0;
    bool otherDesktop = false;  // on another virtual desktop than the user's
    bool enabled = true;        // false while it shows a modal question of its own
    std::string className = "Window";  // "Ghost": what Windows shows for a window whose program does not answer
    std::string program = "";  // its image file name; empty: the platform refuses to say
    // Its process; windows of one program share one unless told otherwise.
    std::uint32_t processId = 0;   // 0: a process of its own per program name
    std::uint64_t started = 1;     // 0: Windows refuses to say when it started
    // Its push buttons, as a dialog's; those disabled or hidden cannot be clicked.
    struct Button {
        WindowHandle handle;
        int id;
        std::string caption;
        bool clickable = true;
    };
    std::vector<Button> buttons;
    bool protectedProcess = false;  // ending its process is refused
};

class MemoryWindows : public WindowApi {
public:
    struct Posted {
        WindowHandle window;
        unsigned message;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
        bool operator==(const Posted& o) const {
            return window == o.window && message == o.message && wParam == o.wParam && lParam == o.lParam;
        }
    };
    struct Calls {
        int style = 0;
        int parent = 0;
        int text = 0;
        int process = 0;
        int exists = 0;
        int hung = 0;
        int cloak = 0;
        int className = 0;
        int enabled = 0;
        int identity = 0;  // ProcessOf
    };
    // ProgramName's questions, each a process opened.
    int programNames = 0;

    std::vector<FakeWindow> windows;  // in enumeration order
    std::vector<Posted> posts;
    std::map<WindowHandle, Calls> calls;
    // Runs at each read of a window's style or title, once counted: the window may change there.
    std::function<void(WindowHandle, const Calls&)> onRead;
    // Runs at each post Windows took, as the window's program would answer it.
    std::function<void(WindowHandle, unsigned)> onPost;

    FakeWindow& Add(WindowHandle handle, std::string title, bool visible = true) {
        FakeWindow window;
        window.handle = handle, window.visible = visible, window.title = std::move(title);
        windows.push_back(std::move(window));
        return windows.back();
    }
    void Remove(WindowHandle handle);
    // Handles that were posted WM_CLOSE, in order.
    std::vector<WindowHandle> Closed() const;

    void EnumTopLevel(WindowVisitor& visitor) override;
    std::uint32_t GetStyle(WindowHandle window) override;
    WindowHandle GetParent(WindowHandle window) override;
    std::string GetText(WindowHandle window, int maxUnits) override;
    // Only what Windows took is recorded.
    bool Post(WindowHandle window, unsigned message) override {
        const FakeWindow* w = Find(window);
        if (w && w->elevated) return false;
        posts.push_back({window, message});
        if (onPost) onPost(window, message);
        return true;
    }
    bool PostParams(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        const FakeWindow* w = Find(window);
        if (w && w->elevated) return false;
        posts.push_back({window, message, wParam, lParam});
        if (onPost) onPost(window, message);
        return true;
    }
    std::vector<DialogButton> PushButtons(WindowHandle dialog) override;
    // Ending a process takes its windows with it.
    EndResult EndProgram(const ProcessIdentity& process) override;
    std::vector<std::uint32_t> ended;  // the processes ended, in order
    bool IsHung(WindowHandle window) override {
        ++calls[window].hung;
        const FakeWindow* w = Find(window);
        return w && w->hung;
    }
    bool BelongsToProgram(WindowHandle window) override;
    WindowHandle underPointer = 0;
    WindowHandle foreground = 0;
    WindowHandle WindowUnderPointer() override { return underPointer; }
    WindowHandle RootOf(WindowHandle window) override {
        const FakeWindow* w = Find(window);
        return w && w->root ? w->root : window;
    }
    bool IsTopLevelWindow(WindowHandle window) override {
        ++calls[window].exists;
        return Find(window) != nullptr;
    }
    WindowHandle ForegroundWindow() override { return foreground; }
    std::uint32_t CloakedBy(WindowHandle window) override {
        ++calls[window].cloak;
        const FakeWindow* w = Find(window);
        return w ? w->cloaked : 0;
    }
    bool IsOnCurrentDesktop(WindowHandle window) override {
        const FakeWindow* w = Find(window);
        return !w || !w->otherDesktop;
    }
    bool IsEnabled(WindowHandle window) override {
        ++calls[window].enabled;
        const FakeWindow* w = Find(window);
        return w && w->enabled;
    }
    std::string ClassName(WindowHandle window) override {
        ++calls[window].className;
        const FakeWindow* w = Find(window);
        return w ? w->className : "";
    }
    ProcessIdentity ProcessOf(WindowHandle window) override;
    std::string ProgramName(const ProcessIdentity& process) override;
    // The window of that handle while it is there; none once it went.
    const FakeWindow* Find(WindowHandle handle) const;
};

class MemoryWindowEvents : public WindowEventSource {
public:
    WindowEventSink* sink = nullptr;
    int starts = 0, stops = 0;
    void Start(WindowEventSink& s) override {
        sink = &s;
        ++starts;
    }
    void Stop() override {
        sink = nullptr;
        ++stops;
    }
    // The platform reports an event for `window`, if anyone listens.
    void Fire(WindowHandle window, WindowEvent event = WindowEvent::kCreated) {
        if (sink) sink->OnWindowEvent(window, event);
    }
    // Events that wait for the next Deliver.
    std::vector<std::pair<WindowHandle, WindowEvent>> noted;
    void Deliver() override {
        std::vector<std::pair<WindowHandle, WindowEvent>> now;
        now.swap(noted);
        for (const auto& [window, event] : now) Fire(window, event);
    }
};

class MemorySound : public SoundApi {
public:
    std::vector<std::pair<std::string, unsigned>> played;
    void Play(const std::string& path, unsigned flags) override { played.emplace_back(path, flags); }
};

class MemoryTimer : public Timer {
public:
    int starts = 0;
    unsigned interval = 0;  // as the last SetInterval set it
    void Start() override {
        running_ = true;
        ++starts;
    }
    void Stop() override { running_ = false; }
    bool IsRunning() const override { return running_; }
    void SetInterval(unsigned milliseconds) override { interval = milliseconds; }

private:
    bool running_ = false;
};

// Keys as Windows keeps them for every program: a key held by any window,
// under any id, is refused to every other registration, and one id may hold
// several keys until each is unregistered.
class MemoryHotKeys : public HotKeyApi {
public:
    struct Key {
        int id;  // -1: another program's
        unsigned modifiers, virtualKey;
    };
    std::vector<Key> keys;
    int refuseAll = 0;  // Windows refuses this many more registrations, whatever the key
    void HeldElsewhere(unsigned modifiers, unsigned virtualKey) { keys.push_back({-1, modifiers, virtualKey}); }
    bool Register(int id, unsigned modifiers, unsigned virtualKey) override {
        if (refuseAll > 0 && refuseAll--) return false;
        // MOD_NOREPEAT says how the key is reported, not which key it is.
        const auto same = [&](const Key& k) {
            return ((k.modifiers ^ modifiers) & ~kModNoRepeat) == 0 && k.virtualKey == virtualKey;
        };
        for (const Key& k : keys) {
            if (same(k)) return false;
        }
        keys.push_back({id, modifiers, virtualKey});
        return true;
    }
    void Unregister(int id) override {
        for (auto it = keys.begin(); it != keys.end(); ++it) {
            if (it->id == id) {
                keys.erase(it);
                return;
            }
        }
    }
    // The keys registered under `id`.
    std::vector<Key> Of(int id) const {
        std::vector<Key> held;
        for (const Key& k : keys) {
            if (k.id == id) held.push_back(k);
        }
        return held;
    }
};

class MemoryPower : public PowerApi {
public:
    PowerSource source = PowerSource::kMains;
    PowerSource Source() override { return source; }
};

// Time as a test sets it.
class MemoryClock : public Clock {
public:
    LocalTime local{2024, 5, 31, 14, 3, 7};
    std::int64_t milliseconds = 1000;
    LocalTime Local() override { return local; }
    std::int64_t Milliseconds() override { return milliseconds; }
};

class MemoryListBox : public ListBoxControl {
public:
    std::vector<std::string> items;
    int selection = -1;  // as a list box, any change of its items drops the selection
    void Clear() override {
        items.clear();
        selection = -1;
    }
    void Add(const std::string& text) override { items.push_back(text); }
    void RemoveAt(int index) override {
        items.erase(items.begin() + index);
        selection = -1;
    }
    void SetAt(int index, const std::string& text) override { items[static_cast<std::size_t>(index)] = text; }
    int Selection() const override { return selection; }
    void Select(int index) override { selection = index; }
};

class MemoryText : public TextControl {
public:
    std::string text;
    void SetText(const std::string& value) override { text = value; }
};

}  // namespace qw

#include "platform/shell_api.h"

namespace qw {

// The notification area as the shell keeps it: an icon per window and id,
// which must be added before it can be changed or removed.
class MemoryShellNotify : public ShellNotifyApi {
public:
    struct Call {
        std::uint32_t message;
        NotifyIconData data;
    };
    std::vector<Call> calls;
    std::set<std::pair<std::uintptr_t, std::uint32_t>> icons;
    int refuseAdds = 0;  // the taskbar is not ready for this many more adds
    bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override {
        calls.push_back({message, data});
        const auto icon = std::make_pair(data.hWnd, data.uID);
        switch (message) {
        case kNimAdd:
            if (refuseAdds > 0 && refuseAdds--) return false;
            return icons.insert(icon).second;
        case kNimDelete: return icons.erase(icon) > 0;
        default: return icons.count(icon) > 0;
        }
    }
};

class MemoryProcess : public ProcessApi {
public:
    struct Box {
        std::string text, caption;
        unsigned flags;
        WindowHandle owner;
    };
    struct Execute {
        std::string operation, file, parameters, directory;
        int show;
    };
    std::vector<Box> boxes;
    std::vector<int> answers;  // popped in order; kIdOk when empty
    std::function<void()> duringBox;  // runs while a box is open, as its message loop would
    std::vector<Execute> executed;
    std::vector<std::string> files;  // ordinary files that exist
    std::string folder = "C:\\Program Files\\Quellwatch";
    int ended = 0;
    unsigned exitCode = 0;

    int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                       unsigned flags) override {
        boxes.push_back({text, caption, flags, owner});
        if (duringBox) duringBox();
        if (answers.empty()) return kIdOk;
        const int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void ShellExecuteFile(const std::string& operation, const std::string& file, const std::string& parameters,
                      const std::string& directory, int show) override {
        executed.push_back({operation, file, parameters, directory, show});
    }
    bool IsOrdinaryFile(const std::string& path) override {
        for (const auto& f : files) {
            if (f == path) return true;
        }
        return false;
    }
    std::string ProgramFolder() override { return folder; }
    std::string ProgramPath() override { return folder + "\\Quellbox.exe"; }
    void EndProcess(unsigned code) override {
        ++ended;
        exitCode = code;
    }
    int associationsChanged = 0;
    void AssociationsChanged() override { ++associationsChanged; }
};

class MemoryFileDialogs : public FileDialogApi {
public:
    std::vector<std::pair<bool, FileDialogRequest>> shown;  // (save dialog?, request)
    std::vector<std::string> answers;  // popped in order; an empty answer is a cancel
    std::function<void()> during;      // runs while a dialog is open, as its message loop would
    bool Open(const FileDialogRequest& request, std::string* path) override { return Answer(false, request, path); }
    bool Save(const FileDialogRequest& request, std::string* path) override { return Answer(true, request, path); }

private:
    bool Answer(bool save, const FileDialogRequest& request, std::string* path) {
        shown.emplace_back(save, request);
        if (during) during();
        if (answers.empty()) return false;
        *path = answers.front();
        answers.erase(answers.begin());
        return !path->empty();
    }
};

class MemoryListLock : public ListLock {
public:
    int depth = 0, acquired = 0, refused = 0;
    // Another copy holds the lock past the bound, for this many more tries.
    int busyFor = 0;
    bool Acquire() override {
        if (busyFor > 0) {
            --busyFor;
            ++refused;
            return false;
        }
        ++depth;
        ++acquired;
        return true;
    }
    void Release() override { --depth; }
};

}  // namespace qw
