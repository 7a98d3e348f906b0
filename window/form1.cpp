#include "window/form1.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "filelist/count_key_filter.h"
#include "filelist/drop_intake.h"
#include "filelist/row_removal.h"
#include "filelist/scroll_view.h"
#include "platform/failure.h"
#include "replication/replication_log.h"
#include "replication/replication_run.h"
#include "window/handler_guard.h"

namespace vantrel {

namespace {

constexpr float kFirstRowTop = 180.0F;
constexpr int kScrollMin = -30;
constexpr const char* kChooseTitle = "Choose files to copy";

}  // namespace

Form1::Form1(const Form1Controls& controls, Services& services)
    : c_(controls), services_(services), frameSlideStart_(controls.FrameSlide.top()) {
    c_.Drive1.onChange([this] { Drive1_Change(); });
    c_.Dir1.onChange([this] { Dir1_Change(); });
}

void Form1::handle(const std::function<void()>& work) {
    if (running_) {
        return;
    }
    runHandler(services_.messageBox, work);
}

void Form1::Form_Load() {
    handle([this] {
        c_.Picture1.setDropMode(DropMode::Manual);
        // The template row sits one row above the first entry's place. Single precision, as
        // the control's own coordinates are kept.
        for (TextBoxArray* array : {&c_.Text1, &c_.CopyTimes}) {
            TextBox& templateBox = array->item(0);
            templateBox.setTop(kFirstRowTop - static_cast<float>(templateBox.height()));
        }
        c_.VScrollFiles.setVisible(false);
        c_.VScrollFiles.setMin(kScrollMin);
        c_.ShapeProgress.setWidth(0);
    });
}

void Form1::Drive1_Change() {
    handle([this] {
        const std::string drive = c_.Drive1.drive();
        try {
            c_.Dir1.setPath(drive);
        } catch (const Failure& failure) {
            c_.Drive1.restorePrevious();
            services_.messageBox.show(
                "Could not open the drive " + drive + "." + kCrLf + failure.reason(), Buttons::Ok);
        }
    });
}

void Form1::Dir1_Change() {
    handle([this] { c_.SaveTo.setText(c_.Dir1.path()); });
}

void Form1::OpenWEBtn_Click() {
    handle([this] { launchOrReport(services_.conventions.fileSearch, services_); });
}

void Form1::ReplicateBtn_Click() {
    handle([this] {
        // Files dropped during the run would change the list it reads: the drop area refuses
        // them until the run ends.
        const DropMode mode = c_.Picture1.dropMode();
        c_.Picture1.setDropMode(DropMode::None);
        stop_ = std::stop_source();
        running_ = true;
        struct EndOfRun {
            Form1& form;
            DropMode mode;
            ~EndOfRun() {
                if (form.runningChanged) {
                    form.runningChanged(false);
                }
                form.running_ = false;
                form.c_.Picture1.setDropMode(mode);
            }
        } end{*this, mode};
        if (runningChanged) {
            runningChanged(true);
        }
        ReplicationControls controls = replicationControls();
        ::vantrel::ReplicateBtn_Click(controls, services_, stop_.get_token());
    });
    // Only the run that was stopped closes the window: a press refused during it does not.
    if (!running_ && std::exchange(unloadAfterRun_, false) && unload) {
        unload();
    }
}

void Form1::LogBtn_Click() {
    handle([this] { ::vantrel::LogBtn_Click(c_.Text1, services_); });
}

void Form1::Picture1_OLEDragDrop(const DroppedFiles& data) {
    // The data lives only as long as the drop; the drop area takes none during a run.
    if (running_) {
        return;
    }
    handle([this, &data] {
        FileListControls controls = fileListControls();
        ::vantrel::Picture1_OLEDragDrop(controls, data, services_.messageBox);
    });
}

void Form1::Text1_MouseDown(int index, int button) {
    handle([this, index, button] {
        ::vantrel::Text1_MouseDown(SelectedIndex, c_.PUMenu_Files, index, button);
    });
}

void Form1::PUMenu_DeleteFile_Click() {
    handle([this] {
        FileListControls controls = fileListControls();
        ::vantrel::PUMenu_DeleteFile_Click(controls, SelectedIndex);
    });
}

void Form1::ClearBtn_Click() {
    handle([this] {
        FileListControls controls = fileListControls();
        ::vantrel::ClearBtn_Click(controls, services_.messageBox);
    });
}

void Form1::CopyTimes_KeyPress(int index, std::int16_t& KeyAscii) {
    // A key cannot wait for the run: the box would take it now. It is refused instead.
    if (running_) {
        KeyAscii = 0;
        return;
    }
    handle([this, index, &KeyAscii] {
        ::vantrel::CopyTimes_KeyPress(index, KeyAscii, services_.messageBox);
    });
}

// The list scrolls during a run too: the run reads nothing that scrolling changes.
void Form1::VScrollFiles_Change() {
    runHandler(services_.messageBox, [this] {
        FileListControls controls = fileListControls();
        ::vantrel::VScrollFiles_Change(controls);
    });
}

void Form1::Form_QueryUnload(bool& Cancel) {
    Cancel = running_;
    if (running_) {
        runHandler(services_.messageBox, [this] { unloadAfterRun_ |= askToStop(); });
    }
}

void Form1::Form_KeyDown(std::int16_t& KeyCode, std::int16_t Shift) {
    if (running_) {
        // A paste during a run is refused, as a drop is.
        const bool escape = KeyCode == vbKeyEscape;
        if (escape || isPasteKey(KeyCode, Shift)) {
            KeyCode = 0;
        }
        if (escape) {
            runHandler(services_.messageBox, [this] { askToStop(); });
        }
        return;
    }
    if (!isPasteKey(KeyCode, Shift)) {
        return;
    }
    KeyCode = 0;
    handle([this] { takeFiles(*c_.Clipboard.files()); });
}

// The copy under way goes on while the question is up; a second request meanwhile does not
// ask again. The run sees a Yes before its next step.
bool Form1::askToStop() {
    if (asking_ || stop_.stop_requested()) {
        return stop_.stop_requested();
    }
    asking_ = true;
    const struct Asked {
        bool& asking;
        ~Asked() { asking = false; }
    } asked{asking_};
    const Answer answer = services_.messageBox.show(
        std::string("Stop replicating?") + kCrLf + "The copies made so far are kept.",
        Buttons::YesNo);
    return answer == Answer::Yes && stop_.request_stop();
}

void Form1::Picture1_KeyPress(std::int16_t& KeyAscii) {
    if (!isChooseKey(KeyAscii)) {
        return;
    }
    KeyAscii = 0;
    chooseFiles();
}

void Form1::Picture1_DblClick() {
    chooseFiles();
}

void Form1::Click(layout::Role role) {
    using Handler = void (Form1::*)();
    static constexpr std::pair<layout::Role, Handler> kClicks[] = {
        {layout::Role::FileSearch, &Form1::OpenWEBtn_Click},
        {layout::Role::Replicate, &Form1::ReplicateBtn_Click},
        {layout::Role::ClearList, &Form1::ClearBtn_Click},
        {layout::Role::OpenLog, &Form1::LogBtn_Click},
        {layout::Role::DeleteFile, &Form1::PUMenu_DeleteFile_Click},
    };
    const auto* found = std::ranges::find(kClicks, role, &std::pair<layout::Role, Handler>::first);
    if (found != std::ranges::end(kClicks)) {
        (this->*found->second)();
    }
}

void Form1::chooseFiles() {
    if (running_) {
        return;
    }
    handle([this] {
        std::vector<std::string> chosen = c_.CommonDialog1.showOpen(kChooseTitle);
        if (!chosen.empty()) {
            takeFiles(ChosenFiles(std::move(chosen)));
        }
    });
}

// Every way in goes through the drop's intake: the same checks, the same message.
void Form1::takeFiles(const DroppedFiles& files) {
    FileListControls controls = fileListControls();
    ::vantrel::Picture1_OLEDragDrop(controls, files, services_.messageBox);
}

ReplicationControls Form1::replicationControls() {
    return {c_.SaveTo,        c_.Text1,         c_.CopyTimes,
            c_.LabelProgress, c_.ShapeProgress, c_.ShapeProgressBack};
}

FileListControls Form1::fileListControls() {
    return {c_.Text1, c_.CopyTimes, c_.FrameSlide, c_.FrameFix, c_.VScrollFiles, frameSlideStart_};
}

}  // namespace vantrel
