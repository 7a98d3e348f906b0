#pragma once

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "filelist/file_list.h"
#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "platform/services.h"
#include "platform/utf16.h"
#include "support/expected.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_waiter.h"
#include "win32/form1_window.h"

namespace vantrel::test {

using expected::pixels;

inline RECT pixels(const expected::Rect& rect) {
    const int left = pixels(rect.left);
    const int top = pixels(rect.top);
    return {left, top, left + pixels(rect.width), top + pixels(rect.height)};
}

// The window's place in its parent's client area.
inline RECT placeOf(HWND hwnd) {
    RECT place;
    ::GetWindowRect(hwnd, &place);
    ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

inline std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Whether windows can be made here: under Wine only with a display.
inline bool canMakeWindows() {
    HWND probe = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr) {
        return false;
    }
    ::DestroyWindow(probe);
    return true;
}

#define VANTREL_NEEDS_WINDOWS()                                        \
    do {                                                               \
        if (!::vantrel::test::canMakeWindows()) {                      \
            GTEST_SKIP() << "no display for the window (set DISPLAY)"; \
        }                                                              \
    } while (false)

// Hands the thread's waiting messages out as the program's loop does.
inline void pumpMessages(win32::Form1Window& form) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!form.translate(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

// A dropped-file block (CF_HDROP) naming the files, as a drag source hands it over; the
// receiver frees it. A header that points `past` bytes beyond the names holds no list.
inline HGLOBAL dropBlockOf(const std::vector<std::string>& paths, DWORD past = 0) {
    std::wstring names;
    for (const std::string& path : paths) {
        names += toUtf16(path);
        names += L'\0';
    }
    names += L'\0';
    const std::size_t bytes = names.size() * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(block));
    header->pFiles = sizeof(DROPFILES) + past;
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), bytes);
    ::GlobalUnlock(block);
    return block;
}

// Drops the files on the drop area the way Wine hands over a drag from another program.
inline void dropOn(HWND target, const std::vector<std::string>& paths, DWORD past = 0) {
    HGLOBAL block = dropBlockOf(paths, past);
    // The receiver frees the block.
    ::SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    // The drop area takes the files once the drop has returned.
    MSG message;
    while (::PeekMessageW(&message, target, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
}

// Answers as scripted; `whileShown` runs while each box is up, before it is answered, to look
// at the window as the user sees it then.
class WatchedMessageBox : public FakeMessageBox {
  public:
    Answer show(const std::string& text, Buttons buttons) override {
        if (whileShown) {
            whileShown(text);
        }
        return FakeMessageBox::show(text, buttons);
    }

    std::function<void(const std::string& text)> whileShown;
};

// A folder of its own under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (unsigned n = ::GetCurrentProcessId();; ++n) {
            path_ = base / ("vantrel-test-" + std::to_string(n));
            if (std::filesystem::create_directory(path_)) {
                break;
            }
        }
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// The real window over the real file system, with scripted message boxes and a launcher that
// records instead of starting programs. The log file goes into a fresh temporary folder.
struct Window {
    explicit Window(ProgressPainter& painter)
        : conventions(conventionsIn(home)),
          services{messageBox, fileSystem, launcher, conventions, painter, waiter},
          form(services) {}

    ~Window() { pumpMessages(form); }

    // Opens the window as start-up does, with its messages handled.
    void open() {
        form.open();
        pumpMessages(form);
    }

    // Adds an entry the way a drop does.
    void addRow(const std::string& path, const std::string& count) {
        FileList(controls().Text1, controls().CopyTimes).append(path, count);
    }

    const Form1Controls& controls() const { return form.controls(); }
    HWND child(std::string_view name) const { return form.child(name); }

    static Conventions conventionsIn(const TemporaryFolder& folder) {
        Conventions conventions = Conventions::windows();
        conventions.logPath = toUtf8((folder.path() / "Log.txt").native());
        conventions.openLog.arguments = {conventions.logPath};
        return conventions;
    }

    TemporaryFolder home;
    WatchedMessageBox messageBox;
    RealFileSystem fileSystem;
    FakeLauncher launcher;
    Conventions conventions;
    NoWaiting waiter;
    Services services;
    win32::Form1Window form;
};

}  // namespace vantrel::test
