#pragma once

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "platform/services.h"
#include "window/form1.h"
#include "window/form1_layout.h"

class QKeyEvent;

namespace vantrel::qt {

// Form1 on Qt widgets, built from the window's layout data, each Qt object named after its
// control. The layout is fixed: resizing the window moves nothing. Every event goes to its
// handler in the window's logic, a click by the role of the control clicked.
class Form1Window : public QWidget {
    Q_OBJECT

  public:
    explicit Form1Window(Services& services, QWidget* parent = nullptr);
    ~Form1Window() override;

    // Loads the window (Form_Load) and shows it with the keyboard focus where it starts.
    void open();

    Form1& logic() { return *logic_; }
    const Form1Controls& controls() const;

    // The widget of the control that plays `role`, or nullptr where none does.
    QWidget* child(layout::Role role) const;

    // The part of the window that shows the progress caption and bar.
    QRect progressArea() const;

    bool eventFilter(QObject* watched, QEvent* event) override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    bool offeredToForm(const QKeyEvent& press);
    void focus();
    // Shows whether the window takes input: the controls a run would refuse are greyed while
    // it lasts, once it has lasted longer than a blink.
    void showRunning(bool running);
    // Whether input to the widget is refused during a run.
    bool refusedDuringRun(const QWidget& widget, const QEvent& event) const;

    struct Widgets;
    std::unique_ptr<Widgets> widgets_;
    std::unique_ptr<Form1> logic_;
    QTimer greying_;
    QPointer<QWidget> focusBeforeRun_;
};

}  // namespace vantrel::qt
