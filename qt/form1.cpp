#include "qt/form1.h"

#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <utility>

#include "filelist/count_key_filter.h"
#include "filelist/drop_intake.h"
#include "filelist/row_removal.h"
#include "filelist/scroll_view.h"
#include "platform/failure.h"
#include "qt/directory_list.h"
#include "qt/drive_list.h"
#include "qt/picture_box.h"
#include "qt/qt_controls.h"
#include "qt/sliding_frame.h"
#include "qt/twips.h"
#include "qt/window_font.h"
#include "replication/replication_log.h"
#include "replication/replication_run.h"
#include "window/handler_guard.h"

// The images are compiled into the window's library; a static library needs them registered
// by name, outside any namespace.
static void registerImages() {
    Q_INIT_RESOURCE(resources);
}

namespace vantrel {

namespace {

using qt::TwipsRect;

// One blank, "Filename", 97 blanks, "No. of Copies": the header of the list's two columns.
const QString kListHeader =
    QStringLiteral(" Filename") + QString(97, QLatin1Char(' ')) + QStringLiteral("No. of Copies");

template <class Widget, class... Args>
Widget* make(const char* name, bool bold, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setFont(windowFont(bold));
    if (bold) {
        drawBoldCaption(widget);
    }
    return widget;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, bool bold,
                     const TwipsRect& rect) {
    auto* frame = make<QGroupBox>(name, bold, caption, parent);
    qt::placeInTwips(frame, rect);
    return frame;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const TwipsRect& rect) {
    auto* button = make<QPushButton>(name, false, caption, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    qt::placeInTwips(button, rect);
    return button;
}

}  // namespace

Form1::Form1(Services& services, QWidget* parent) : QWidget(parent), services_(services) {
    registerImages();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kWindowTitle));
    QIcon icon;
    icon.addFile(QStringLiteral(":/window_icon_32.png"));
    icon.addFile(QStringLiteral(":/window_icon_16.png"));
    setWindowIcon(icon);
    setFont(windowFont());
    resize(qt::toPixels(8490, this), qt::toPixels(7260, this));

    createControls();
    stackAndOrder();
    connectHandlers();
    drive1_->setFocus();
}

Form1::~Form1() = default;

void Form1::createControls() {
    frame1_ =
        makeFrame(this, "Frame1", QString::fromLatin1(kWindowTitle), true, {4680, 120, 3615, 975});
    label3_ = make<QLabel>("Label3", false, frame1_);
    label3_->setText(
        QStringLiteral("Copies and replicates multiple files of different file types to a certain "
                       "folder/drive."));
    label3_->setTextFormat(Qt::PlainText);
    label3_->setWordWrap(true);
    label3_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    qt::placeInTwips(label3_, {120, 360, 3375, 375});

    vScrollFilesBar_ = make<QScrollBar>("VScrollFiles", false, Qt::Vertical, this);
    vScrollFilesBar_->setFocusPolicy(Qt::StrongFocus);
    // The list follows the thumb when it is released, not while it is dragged.
    vScrollFilesBar_->setTracking(false);
    vScrollFiles_ =
        std::make_unique<qt::QtScrollBar>(vScrollFilesBar_, TwipsRect{120, 3960, 255, 3135});

    logBtn_ = makeButton(this, "LogBtn", QStringLiteral("Log File"), {7200, 2880, 1095, 375});
    clearBtn_ = makeButton(this, "ClearBtn", QStringLiteral("Clear List"), {7200, 2400, 1095, 375});
    replicateBtn_ =
        makeButton(this, "ReplicateBtn", QStringLiteral("Replicate "), {7200, 1920, 1095, 375});
    openWEBtn_ =
        makeButton(this, "OpenWEBtn", QStringLiteral("File Search"), {7200, 1440, 1095, 375});

    dropArea_ = makeFrame(this, "DropArea", QStringLiteral("Drop files to copy here:"), true,
                          {4680, 1200, 2415, 2775});
    picture1_ = make<qt::PictureBox>("Picture1", false, dropArea_);
    picture1_->setPicture(QPixmap(QStringLiteral(":/drop_picture.jpg")));
    picture1_->setFocusPolicy(Qt::StrongFocus);
    qt::placeInTwips(picture1_, {120, 360, 2175, 2295});

    frameFixBox_ = makeFrame(this, "FrameFix", kListHeader, true, {360, 4080, 8055, 2775});
    frameFix_ = std::make_unique<qt::QtFrame>(frameFixBox_, TwipsRect{360, 4080, 8055, 2775});
    frameSlide_ = new qt::SlidingFrame(frameFixBox_, {120, 360, 7815, 1455}, {120, 120, 6735, 375},
                                       {6840, 120, 855, 375});
    frameSlide_->setObjectName(QStringLiteral("FrameSlide"));
    frameSlide_->setFont(windowFont());

    copyDestFrame_ = makeFrame(this, "CopyDestFrame", QStringLiteral("Copy Destination "), true,
                               {120, 120, 4455, 3855});
    auto* saveTo = make<QLineEdit>("SaveTo", false, copyDestFrame_);
    // Only the drop area takes dropped files.
    saveTo->setAcceptDrops(false);
    saveTo_ = std::make_unique<qt::QtTextBox>(saveTo, TwipsRect{120, 3360, 4215, 315});
    dir1_ = make<qt::DirectoryList>("Dir1", false, copyDestFrame_);
    qt::placeInTwips(dir1_, {120, 720, 4215, 2340});
    drive1_ = make<qt::DriveList>("Drive1", false, copyDestFrame_);
    qt::placeInTwips(drive1_, {120, 360, 4215, 315});
    label2_ = make<QLabel>("Label2", true, copyDestFrame_);
    label2_->setTextFormat(Qt::PlainText);
    label2_->setText(QStringLiteral("Save To:"));
    qt::placeInTwips(label2_, {120, 3120, 855, 255});
    drive1_->setDrives(qt::userDrives());
    openStartFolder();

    auto* shapeProgress =
        make<qt::ShapeWidget>("ShapeProgress", false, this, QColor(128, 128, 255), 2);
    shapeProgress_ = std::make_unique<qt::QtShape>(shapeProgress, TwipsRect{360, 6840, 675, 255});
    auto* labelProgress = make<QLabel>("LabelProgress", false, this);
    labelProgress->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QPalette navy = labelProgress->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 64));
    labelProgress->setPalette(navy);
    labelProgress_ = std::make_unique<qt::QtLabel>(labelProgress, TwipsRect{2280, 6840, 3735, 255});
    auto* shapeProgressBack =
        make<qt::ShapeWidget>("ShapeProgressBack", false, this, QColor(224, 224, 224), 1);
    shapeProgressBack_ =
        std::make_unique<qt::QtShape>(shapeProgressBack, TwipsRect{360, 6840, 8055, 255});

    // A menu of the window that is never on a menu bar: it only pops up over a path box.
    puMenuFiles_ = new QMenu(QStringLiteral("Menu_Files"), this);
    puMenuFiles_->setObjectName(QStringLiteral("PUMenu_Files"));
    puMenuDeleteFile_ = puMenuFiles_->addAction(QStringLiteral("Delete File input"));
    puMenuDeleteFile_->setObjectName(QStringLiteral("PUMenu_DeleteFile"));
    popupFiles_ = std::make_unique<qt::QtPopupMenu>(*puMenuFiles_);
}

// The directory list starts in the current folder; where that cannot be read, in the home
// folder or at the root, so that the window always opens.
void Form1::openStartFolder() {
    for (const QString& folder : {QDir::currentPath(), QDir::homePath(), QDir::rootPath()}) {
        try {
            dir1_->setPath(folder.toStdString());
            return;
        } catch (const Failure&) {
            // Unreadable: the next one, then.
        }
    }
}

void Form1::stackAndOrder() {
    // Children are listed front to back; raising them from the back leaves the first in front.
    const QList<QWidget*> onForm{frame1_,
                                 vScrollFilesBar_,
                                 logBtn_,
                                 clearBtn_,
                                 replicateBtn_,
                                 openWEBtn_,
                                 dropArea_,
                                 frameFixBox_,
                                 copyDestFrame_,
                                 shapeProgress_->widget(),
                                 labelProgress_->widget(),
                                 shapeProgressBack_->widget()};
    const QList<QWidget*> onCopyDest{saveTo_->widget(), dir1_, drive1_, label2_};
    for (const auto* children : {&onForm, &onCopyDest}) {
        for (auto it = children->crbegin(); it != children->crend(); ++it) {
            (*it)->raise();
        }
    }

    const QList<QWidget*> tabOrder{drive1_,   dir1_,      saveTo_->widget(),
                                   picture1_, openWEBtn_, replicateBtn_,
                                   clearBtn_, logBtn_,    vScrollFilesBar_};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
}

void Form1::connectHandlers() {
    connect(drive1_, &qt::DriveList::changed, this,
            [this] { handle([this] { Drive1_Change(); }); });
    connect(dir1_, &qt::DirectoryList::changed, this,
            [this] { handle([this] { Dir1_Change(); }); });
    // Opening a folder belongs to the directory list itself; only what it cannot read is told.
    connect(dir1_, &qt::DirectoryList::openRequested, this, [this](const QString& folder) {
        handle([this, &folder] { dir1_->setPath(folder.toStdString()); });
    });
    connect(openWEBtn_, &QPushButton::clicked, this,
            [this] { handle([this] { OpenWEBtn_Click(); }); });
    connect(replicateBtn_, &QPushButton::clicked, this,
            [this] { handle([this] { ReplicateBtn_Click(); }); });
    connect(logBtn_, &QPushButton::clicked, this, [this] { handle([this] { LogBtn_Click(); }); });

    connect(picture1_, &qt::PictureBox::dropped, this, [this](const QMimeData* data) {
        handle([this, data] { Picture1_OLEDragDrop(*data); });
    });
    frameSlide_->onPathMouseDown = [this](int index, int button) {
        handle([this, index, button] { Text1_MouseDown(index, button); });
    };
    connect(puMenuDeleteFile_, &QAction::triggered, this,
            [this] { handle([this] { PUMenu_DeleteFile_Click(); }); });
    connect(clearBtn_, &QPushButton::clicked, this,
            [this] { handle([this] { ClearBtn_Click(); }); });
    frameSlide_->onCountKeyPress = [this](int index, std::int16_t& KeyAscii) {
        handle([this, index, &KeyAscii] { CopyTimes_KeyPress(index, KeyAscii); });
    };
    connect(vScrollFilesBar_, &QScrollBar::valueChanged, this,
            [this] { handle([this] { VScrollFiles_Change(); }); });
}

void Form1::Picture1_OLEDragDrop(const QMimeData& data) {
    const qt::DroppedFileList files(data);
    FileListControls controls = fileListControls();
    vantrel::Picture1_OLEDragDrop(controls, files, services_.messageBox);
}

void Form1::Text1_MouseDown(int index, int button) {
    vantrel::Text1_MouseDown(SelectedIndex, *popupFiles_, index, button);
}

void Form1::PUMenu_DeleteFile_Click() {
    FileListControls controls = fileListControls();
    vantrel::PUMenu_DeleteFile_Click(controls, SelectedIndex);
}

void Form1::ClearBtn_Click() {
    FileListControls controls = fileListControls();
    vantrel::ClearBtn_Click(controls, services_.messageBox);
}

void Form1::CopyTimes_KeyPress(int index, std::int16_t& KeyAscii) {
    vantrel::CopyTimes_KeyPress(index, KeyAscii, services_.messageBox);
}

void Form1::VScrollFiles_Change() {
    FileListControls controls = fileListControls();
    vantrel::VScrollFiles_Change(controls);
}

void Form1::handle(const std::function<void()>& handler) {
    runHandler(services_.messageBox, handler);
}

void Form1::Form_Load() {
    picture1_->setAcceptDrops(true);
    TextBox& pathTemplate = frameSlide_->Text1().item(0);
    pathTemplate.setTop(180.0F - static_cast<float>(pathTemplate.height()));
    TextBox& countTemplate = frameSlide_->CopyTimes().item(0);
    countTemplate.setTop(180.0F - static_cast<float>(countTemplate.height()));
    vScrollFiles_->setVisible(false);
    vScrollFiles_->setMin(-30);
    shapeProgress_->setWidth(0);
}

void Form1::Drive1_Change() {
    const std::string drive = drive1_->drive();
    try {
        dir1_->setPath(drive);
    } catch (const Failure& failure) {
        drive1_->restorePrevious();
        services_.messageBox.show(
            "Could not open the drive " + drive + "." + kCrLf + failure.reason(), Buttons::Ok);
    }
}

void Form1::Dir1_Change() {
    saveTo_->setText(dir1_->path());
}

void Form1::OpenWEBtn_Click() {
    launchOrReport(services_.conventions.fileSearch, services_);
}

void Form1::ReplicateBtn_Click() {
    ReplicationControls controls = replicationControls();
    ::vantrel::ReplicateBtn_Click(controls, services_);
}

void Form1::LogBtn_Click() {
    ::vantrel::LogBtn_Click(frameSlide_->Text1(), services_);
}

ReplicationControls Form1::replicationControls() {
    return {*saveTo_,        frameSlide_->Text1(), frameSlide_->CopyTimes(),
            *labelProgress_, *shapeProgress_,      *shapeProgressBack_};
}

FileListControls Form1::fileListControls() {
    return {frameSlide_->Text1(), frameSlide_->CopyTimes(), *frameSlide_, *frameFix_,
            *vScrollFiles_};
}

QScrollBar& Form1::VScrollFiles() {
    return *vScrollFilesBar_;
}

QLineEdit& Form1::SaveTo() {
    return *saveTo_->widget();
}

QRect Form1::progressArea() const {
    return shapeProgressBack_->widget()->geometry() | labelProgress_->widget()->geometry();
}

}  // namespace vantrel
