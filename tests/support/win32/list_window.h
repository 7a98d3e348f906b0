#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vantrel::test {

// A hidden top-level window of the tests' own that hands each WM_COMMAND to `onCommand`, as
// the program's window hands it to its lists.
class ListWindow {
  public:
    ListWindow();
    ~ListWindow();
    ListWindow(const ListWindow&) = delete;
    ListWindow& operator=(const ListWindow&) = delete;

    // Null where no window can be made: there is no display.
    HWND hwnd() const { return hwnd_; }
    std::function<bool(WPARAM, LPARAM)> onCommand;

  private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// The texts a list box or a combo box holds, in order, as UTF-8.
std::vector<std::string> listBoxRows(HWND list);
std::vector<std::string> comboBoxRows(HWND combo);

// Sends what the control sends its parent on `code`, through the parent's procedure.
void notifyParent(HWND control, WORD code);

}  // namespace vantrel::test
