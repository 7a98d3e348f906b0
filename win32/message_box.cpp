#include "win32/message_box.h"

#include "platform/failure.h"
#include "platform/utf16.h"

namespace vantrel::win32 {

namespace {

UINT flagsFor(Buttons buttons) {
    switch (buttons) {
        case Buttons::YesNo:
            return MB_YESNO;
        case Buttons::YesNoCancel:
            return MB_YESNOCANCEL;
        case Buttons::Ok:
            break;
    }
    return MB_OK;
}

}  // namespace

Answer Win32MessageBox::show(const std::string& text, Buttons buttons) {
    // The system box breaks lines at CR LF itself.
    const std::wstring wideText = toUtf16(text);
    if (opening) {
        opening(buttons);
    }
    const int answer = ::MessageBoxW(owner_, wideText.c_str(), title_.c_str(), flagsFor(buttons));
    if (answered) {
        answered();
    }
    switch (answer) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        case IDCANCEL:
            return Answer::Cancel;
        case IDOK:
            return Answer::Ok;
        default:
            throw failureFromWin32(::GetLastError());
    }
}

}  // namespace vantrel::win32
