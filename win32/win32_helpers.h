#pragma once

#include <windows.h>

#include <string>

// Small wrappers over the calls every window of the program makes.
namespace vantrel::win32 {

// The window's text, whatever its length.
std::wstring windowText(HWND hwnd);

// Whether the key was held down when the message being handled was sent.
bool isKeyDown(int key);

// A child window of a system class (EDIT, BUTTON, LISTBOX …), shown, with its font when one is
// given; raises a Failure when the system refuses it.
HWND createChild(DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style,
                 HWND parent, const RECT& place, int id, HFONT font = nullptr);

// Sent to an owner-drawn control of the system's classes with the DRAWITEMSTRUCT its parent
// received: each such control draws its own items.
inline constexpr UINT kDrawOwnItem = WM_APP + 0x100;

// A parent's answer to WM_DRAWITEM: hands the item to its control.
LRESULT handDrawItemToControl(LPARAM lParam);

}  // namespace vantrel::win32
