#pragma once

#include <cstdint>

#include "window/form1.h"

// What both front ends wire alike. Each keeps the parts that stand for the logic's controls
// under the same names (`frameSlide`, `picture1`, `saveTo`, ...), and their drop areas and
// sliding frames call back alike. What only one toolkit has (a Qt signal, a Win32 message) each
// front end wires itself; clicks go to Form1::Click by role.
namespace vantrel {

// The front end's parts as the logic reads and changes them.
template <class Parts>
Form1Controls form1Controls(Parts& parts) {
    return {parts.frameSlide->Text1(),
            parts.frameSlide->CopyTimes(),
            *parts.frameSlide,
            *parts.frameFix,
            *parts.vScrollFiles,
            *parts.saveTo,
            *parts.labelProgress,
            *parts.shapeProgress,
            *parts.shapeProgressBack,
            *parts.drive1,
            *parts.dir1,
            *parts.picture1,
            *parts.popupFiles,
            parts.clipboard,
            parts.commonDialog1};
}

// The drop area's keys and double-clicks and the presses and keys on the list's rows, each to
// the handler of its name.
template <class Parts>
void handRowEvents(Form1& form, Parts& parts) {
    parts.picture1->onKeyPress = [&form](std::int16_t& KeyAscii) {
        form.Picture1_KeyPress(KeyAscii);
    };
    parts.picture1->onDblClick = [&form] { form.Picture1_DblClick(); };
    parts.frameSlide->onPathMouseDown = [&form](int index, int button) {
        form.Text1_MouseDown(index, button);
    };
    parts.frameSlide->onCountKeyPress = [&form](int index, std::int16_t& KeyAscii) {
        form.CopyTimes_KeyPress(index, KeyAscii);
    };
}

}  // namespace vantrel
