#pragma once

#include <QRect>
#include <QWidget>
#include <memory>

#include "platform/services.h"
#include "window/form1.h"

namespace vantrel::qt {

// Form1 on Qt widgets, built from the window's layout data, each Qt object named after its
// control. The layout is fixed: resizing the window moves nothing. Every event goes to the
// handler of that name in the window's logic.
class Form1Window : public QWidget {
    Q_OBJECT

  public:
    explicit Form1Window(Services& services, QWidget* parent = nullptr);
    ~Form1Window() override;

    // Loads the window (Form_Load) and shows it with the keyboard focus where it starts.
    void open();

    Form1& logic() { return *logic_; }
    const Form1Controls& controls() const;

    // The part of the window that shows the progress caption and bar.
    QRect progressArea() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    // A key for any control of the window but a text box is first offered to Form_KeyDown, so
    // that a paste key pastes files wherever the focus is, as no control takes it.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void focus();

    struct Widgets;
    std::unique_ptr<Widgets> widgets_;
    std::unique_ptr<Form1> logic_;
};

}  // namespace vantrel::qt
