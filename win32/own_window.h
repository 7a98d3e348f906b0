#pragma once

#include <windows.h>

#include <string>

namespace vantrel::win32 {

// Runs a callback the system called and answers `fallback` if it failed: no exception may
// unwind into the system's code.
template <class Callback, class Result>
Result guarded(Callback&& callback, Result fallback) noexcept {
    try {
        return callback();
    } catch (...) {
        return fallback;
    }
}

// A window of the program's own class, its messages answered by a member function from the
// first, WM_NCCREATE, on: the object rides in the creation parameters. The window is destroyed
// with the object; messages that come after that go to the system's default. The system's own
// controls (EDIT, LISTBOX) that need messages of their own are subclassed with
// SetWindowSubclass instead.
class OwnWindow {
  public:
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    virtual ~OwnWindow();

    HWND hwnd() const { return hwnd_; }

  protected:
    OwnWindow() = default;

    // Creates the window; the most derived constructor calls it once the object is ready for
    // messages, which start with WM_NCCREATE before this returns. A child's `id` is its control
    // identifier.
    void create(DWORD exStyle, DWORD style, const std::wstring& text, HWND parent, int x, int y,
                int width, int height, int id = 0);
    void create(DWORD exStyle, DWORD style, const std::wstring& text, HWND parent,
                const RECT& place, int id = 0);

    // Destroys the window now, before the object: a derived destructor calls it first when its
    // members must not see messages while they go.
    void destroy();

    virtual LRESULT message(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT standard(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

}  // namespace vantrel::win32
