#pragma once

#include <QApplication>
#include <QObject>
#include <QTest>
#include <memory>

#include "support/qt/window_fixture.h"

namespace vantrel::test {

// The base of the window's test classes: a fresh window before each test function, opened as
// start-up opens it unless the class asks for it unopened, and no window left behind after.
class WindowTest : public QObject {
    Q_OBJECT

  public:
    enum class Start { Opened, Unopened };

    explicit WindowTest(Start start = Start::Opened) : start_(start) {}

  protected slots:
    void init() {
        window_ = std::make_unique<Window>(painter());
        if (start_ == Start::Opened) {
            QVERIFY(window_->open());
        }
    }

    void cleanup() {
        window_.reset();
        QVERIFY2(QApplication::topLevelWidgets().isEmpty(), leftoverWindows().constData());
    }

  protected:
    // What the window paints its progress with; a class that watches the painting hands its own.
    virtual ProgressPainter& painter() { return painter_; }

    NoPainting painter_;
    std::unique_ptr<Window> window_;

  private:
    Start start_;
};

}  // namespace vantrel::test
