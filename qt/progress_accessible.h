#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace vantrel::qt {

// Tells screen readers what the progress caption and bar are and how far a run has come: the
// bar's background reads as a progress bar whose value is the share done (0 to 100), the
// caption as static text whose value is its text. Both are announced as they change, at most
// four times a second but always at a row's end.
class ProgressAccessible {
  public:
    static constexpr qint64 kIntervalMs = 250;

    // Gives the widgets their accessible interfaces; to be made before a screen reader has
    // asked for them.
    ProgressAccessible(QWidget* caption, QWidget* fill, QWidget* back);

    void update(bool always);

  private:
    QPointer<QWidget> caption_;
    QPointer<QWidget> back_;
    QElapsedTimer sinceLast_;
    QString captionText_;
    int percent_ = -1;
};

// The share of the bar's background that its fill covers, 0 to 100.
int percentDone(const QWidget* fill, const QWidget* back);

}  // namespace vantrel::qt
