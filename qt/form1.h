#pragma once

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "filelist/file_list_controls.h"
#include "platform/services.h"
#include "replication/replication_controls.h"

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollBar;

namespace vantrel {

namespace qt {
class DirectoryList;
class DriveList;
class PictureBox;
class QtFrame;
class QtLabel;
class QtPopupMenu;
class QtScrollBar;
class QtShape;
class QtTextBox;
class ShapeWidget;
class SlidingFrame;
}  // namespace qt

inline constexpr char kWindowTitle[] = "Vantrel ver. 2";

// The program's only window with every control, each Qt object named after its control. The
// layout is fixed: resizing the window moves nothing. Events reach their handlers through the
// handler guard.
class Form1 : public QWidget {
    Q_OBJECT

  public:
    explicit Form1(Services& services, QWidget* parent = nullptr);
    ~Form1() override;

    // Handlers, named after the control and the event.
    void Form_Load();
    void Drive1_Change();
    void Dir1_Change();
    void OpenWEBtn_Click();
    void ReplicateBtn_Click();
    void LogBtn_Click();
    void Picture1_OLEDragDrop(const QMimeData& data);
    void Text1_MouseDown(int index, int button);
    void PUMenu_DeleteFile_Click();
    void ClearBtn_Click();
    void CopyTimes_KeyPress(int index, std::int16_t& KeyAscii);
    void VScrollFiles_Change();

    // Runs a handler through the guard.
    void handle(const std::function<void()>& handler);

    Services& services() { return services_; }
    ReplicationControls replicationControls();
    FileListControls fileListControls();

    // The controls that the file-list handlers hook into.
    qt::SlidingFrame& FrameSlide() { return *frameSlide_; }
    qt::PictureBox& Picture1() { return *picture1_; }
    QScrollBar& VScrollFiles();
    QPushButton& ClearBtn() { return *clearBtn_; }
    QMenu& PUMenu_Files() { return *puMenuFiles_; }
    QAction& PUMenu_DeleteFile() { return *puMenuDeleteFile_; }
    qt::DriveList& Drive1() { return *drive1_; }
    qt::DirectoryList& Dir1() { return *dir1_; }
    QLineEdit& SaveTo();

    // The part of the window that shows the progress caption and bar.
    QRect progressArea() const;

  private:
    void createControls();
    void openStartFolder();
    void stackAndOrder();
    void connectHandlers();

    Services& services_;
    // The path box last pressed: the entry the popup menu's item deletes.
    std::int16_t SelectedIndex = 0;

    QGroupBox* frame1_ = nullptr;
    QLabel* label3_ = nullptr;
    QScrollBar* vScrollFilesBar_ = nullptr;
    QPushButton* logBtn_ = nullptr;
    QPushButton* clearBtn_ = nullptr;
    QPushButton* replicateBtn_ = nullptr;
    QPushButton* openWEBtn_ = nullptr;
    QGroupBox* dropArea_ = nullptr;
    qt::PictureBox* picture1_ = nullptr;
    QGroupBox* frameFixBox_ = nullptr;
    qt::SlidingFrame* frameSlide_ = nullptr;
    QGroupBox* copyDestFrame_ = nullptr;
    qt::DirectoryList* dir1_ = nullptr;
    qt::DriveList* drive1_ = nullptr;
    QLabel* label2_ = nullptr;
    QMenu* puMenuFiles_ = nullptr;
    QAction* puMenuDeleteFile_ = nullptr;

    std::unique_ptr<qt::QtPopupMenu> popupFiles_;
    std::unique_ptr<qt::QtScrollBar> vScrollFiles_;
    std::unique_ptr<qt::QtFrame> frameFix_;
    std::unique_ptr<qt::QtTextBox> saveTo_;
    std::unique_ptr<qt::QtShape> shapeProgress_;
    std::unique_ptr<qt::QtLabel> labelProgress_;
    std::unique_ptr<qt::QtShape> shapeProgressBack_;
};

}  // namespace vantrel
