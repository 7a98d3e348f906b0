#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <chrono>
#include <optional>
#include <string>

#include "win32/accessible_names.h"

namespace vantrel::win32 {

// The program's button on the task bar, as far as a run shows on it (ITaskbarList3).
class TaskbarButton {
  public:
    virtual ~TaskbarButton() = default;
    virtual void progress(HWND window, ULONGLONG done, ULONGLONG total) = 0;
    virtual void error(HWND window) = 0;
    virtual void clear(HWND window) = 0;
};

// The shell's task bar (Windows 7 on); where it is missing, the button shows nothing. Needs
// COM on the thread.
class ShellTaskbarButton : public TaskbarButton {
  public:
    ShellTaskbarButton();
    ~ShellTaskbarButton() override;
    ShellTaskbarButton(const ShellTaskbarButton&) = delete;
    ShellTaskbarButton& operator=(const ShellTaskbarButton&) = delete;

    void progress(HWND window, ULONGLONG done, ULONGLONG total) override;
    void error(HWND window) override;
    void clear(HWND window) override;

  private:
    ITaskbarList3* list_ = nullptr;
};

// Tells screen readers and the task bar how far a run has come, from the progress caption and
// bar as the run leaves them between copies: the caption is static text whose value is its
// text, the bar's background a progress bar whose value is the share done ("40%"), both
// announced as they change, at most four times a second but always at a row's end; the
// task-bar button follows the bar, shows a failure told during the run in red, and shows
// nothing once the bar is empty (a row's or the run's end).
class ProgressAnnouncer {
  public:
    static constexpr std::chrono::milliseconds kInterval{250};

    ProgressAnnouncer(AccessibleNames& names, TaskbarButton& taskbar);

    // The window whose task-bar button shows the progress, the caption and the bar's fill and
    // background.
    void watch(HWND window, HWND caption, HWND fill, HWND back);
    void update(bool always);
    // A message is shown: one with only OK while the bar shows is a failure of the run.
    void messageShown(bool okOnly);
    // The message has been answered: the run goes on, which shows its progress again, or
    // ends, which clears the button.
    void messageAnswered();

  private:
    AccessibleNames& names_;
    TaskbarButton& taskbar_;
    HWND window_ = nullptr;
    HWND caption_ = nullptr;
    HWND fill_ = nullptr;
    HWND back_ = nullptr;
    std::optional<std::chrono::steady_clock::time_point> last_;
    std::wstring caption_text_;
    int percent_ = -1;
    bool showing_ = false;
    bool failed_ = false;
};

}  // namespace vantrel::win32
