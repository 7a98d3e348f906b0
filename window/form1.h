#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>

#include "filelist/file_list_controls.h"
#include "platform/controls.h"
#include "platform/services.h"
#include "replication/replication_controls.h"
#include "window/form1_layout.h"

namespace vantrel {

// The key code of Escape, as Form_KeyDown takes it.
inline constexpr int vbKeyEscape = 27;

// The controls of Form1 that its handlers read and change, whatever toolkit draws them.
struct Form1Controls {
    TextBoxArray& Text1;
    TextBoxArray& CopyTimes;
    Frame& FrameSlide;
    Frame& FrameFix;
    ScrollBar& VScrollFiles;
    TextBox& SaveTo;
    Label& LabelProgress;
    Shape& ShapeProgress;
    Shape& ShapeProgressBack;
    DriveList& Drive1;
    DirectoryList& Dir1;
    DropTarget& Picture1;
    PopupMenu& PUMenu_Files;
    SystemClipboard& Clipboard;
    OpenFileDialog& CommonDialog1;
};

// The program's only window as its logic: one handler per event, each named after the control
// and the event. A front end hands every event of its widgets to the handler of that name, and
// a click to Click by the role of the control clicked; each handler runs through the one guard,
// so that no failure ends the program. The drive and directory lists' change notifications are
// routed here by the constructor.
class Form1 {
  public:
    Form1(const Form1Controls& controls, Services& services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void OpenWEBtn_Click();
    void ReplicateBtn_Click();
    void LogBtn_Click();
    void Picture1_OLEDragDrop(const DroppedFiles& data);
    void Text1_MouseDown(int index, int button);
    void PUMenu_DeleteFile_Click();
    void ClearBtn_Click();
    void CopyTimes_KeyPress(int index, std::int16_t& KeyAscii);
    void VScrollFiles_Change();
    // A request to close the window (its close button, Alt+F4, the task bar's Close). Cancel
    // comes back true when the window stays: during a run it asks whether to stop, and after
    // Yes the window closes through `unload` once the run has ended.
    void Form_QueryUnload(bool& Cancel);
    // A key pressed in the window that no text box took. During a run, Escape asks whether to
    // stop; else a paste key puts the clipboard's files into the list, as a drop would. A key
    // used here comes back as 0.
    void Form_KeyDown(std::int16_t& KeyCode, std::int16_t Shift);
    // Files into the list without a drag: Enter, Space or a double-click on the drop area open
    // the file dialog.
    void Picture1_KeyPress(std::int16_t& KeyAscii);
    void Picture1_DblClick();
    // A click on the button or popup menu item that plays `role`, to its handler: the front
    // ends hand every click here by the role the layout gives the control. Other roles have no
    // click handler.
    void Click(layout::Role role);

    // Runs work of the front end's own (a toolkit's control acting on a user's request)
    // through the same guard as the handlers. During a replication run it is refused: it never
    // acts, neither then nor after the run.
    void handle(const std::function<void()>& work);
    // Whether a replication run holds the window, so that work handed to handle() is refused.
    bool running() const { return running_; }

    // Set by the front end: told as a run starts (true) and as it ends (false, while running()
    // still holds, so that input still waiting can be refused first), to show the refusal.
    std::function<void(bool running)> runningChanged;
    // Set by the front end: closes the window after a run that a close request stopped.
    std::function<void()> unload;

  private:
    ReplicationControls replicationControls();
    FileListControls fileListControls();
    void takeFiles(const DroppedFiles& files);
    void chooseFiles();

    Form1Controls c_;
    Services& services_;
    // FrameSlide's place as the window was built: where the list stands when it fits.
    double frameSlideStart_;
    // Asks whether to stop the run; true after Yes.
    bool askToStop();

    // The path box last pressed: the entry the popup menu's item deletes.
    std::int16_t SelectedIndex = 0;
    // While a run keeps the window alive, no other handler may change what it reads or start
    // anything: what reaches the window meanwhile is refused, but for scrolling the list.
    bool running_ = false;
    std::stop_source stop_;
    bool asking_ = false;
    bool unloadAfterRun_ = false;
};

}  // namespace vantrel
