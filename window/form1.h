#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "filelist/file_list_controls.h"
#include "platform/controls.h"
#include "platform/services.h"
#include "replication/replication_controls.h"

namespace vantrel {

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
// and the event. A front end hands every event of its widgets to the handler of that name;
// each handler runs through the one guard, so that no failure ends the program. The drive and
// directory lists' change notifications are routed here by the constructor.
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
    // Files into the list without a drag: a paste key that no text box took, anywhere in the
    // window, and Enter, Space or a double-click on the drop area, which open the file dialog.
    // A key used here comes back as 0.
    void Form_KeyDown(std::int16_t& KeyCode, std::int16_t Shift);
    void Picture1_KeyPress(std::int16_t& KeyAscii);
    void Picture1_DblClick();

    // Runs work of the front end's own (a toolkit's control acting on a user's request)
    // through the same guard as the handlers. During a replication run it waits until the run
    // has ended.
    void handle(const std::function<void()>& work);
    // Whether a replication run holds the window, so that work handed to handle() waits.
    bool running() const { return running_; }

  private:
    ReplicationControls replicationControls();
    FileListControls fileListControls();
    void takeFiles(const DroppedFiles& files);
    void chooseFiles();

    Form1Controls c_;
    Services& services_;
    // FrameSlide's place as the window was built: where the list stands when it fits.
    double frameSlideStart_;
    void runDeferred();

    // The path box last pressed: the entry the popup menu's item deletes.
    std::int16_t SelectedIndex = 0;
    // While a run keeps the window alive, no other handler may change what it reads: events
    // that reach the window meanwhile are handled once it has ended, in order.
    bool running_ = false;
    std::vector<std::function<void()>> deferred_;
};

}  // namespace vantrel
