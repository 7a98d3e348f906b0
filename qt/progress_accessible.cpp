#include "qt/progress_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace vantrel::qt {

namespace {

// The property that marks the widgets, and on the bar's background the fill that goes with it.
constexpr char kProgressPart[] = "vantrelProgressPart";
constexpr char kFill[] = "vantrelProgressFill";

class BarInterface : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit BarInterface(QWidget* back) : QAccessibleWidget(back, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override {
        return type == QAccessible::Value ? QString::number(percent()) + QLatin1Char('%')
                                          : QAccessibleWidget::text(type);
    }

    QVariant currentValue() const override { return percent(); }
    // Only the run moves the bar.
    void setCurrentValue(const QVariant& /*value*/) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

  private:
    int percent() const {
        return percentDone(widget()->property(kFill).value<QWidget*>(), widget());
    }
};

class CaptionInterface : public QAccessibleWidget {
  public:
    explicit CaptionInterface(QWidget* caption)
        : QAccessibleWidget(caption, QAccessible::StaticText) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value) {
            const auto* label = qobject_cast<const QLabel*>(widget());
            return label != nullptr ? label->text() : QString();
        }
        return QAccessibleWidget::text(type);
    }
};

QAccessibleInterface* progressInterface(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    const QString part = widget->property(kProgressPart).toString();
    if (part == QLatin1String("bar")) {
        return new BarInterface(widget);
    }
    if (part == QLatin1String("caption")) {
        return new CaptionInterface(widget);
    }
    return nullptr;
}

}  // namespace

int percentDone(const QWidget* fill, const QWidget* back) {
    if (fill == nullptr || back == nullptr || back->width() <= 0) {
        return 0;
    }
    const int done = std::clamp(fill->width(), 0, back->width());
    return static_cast<int>(std::lround(100.0 * done / back->width()));
}

ProgressAccessible::ProgressAccessible(QWidget* caption, QWidget* fill, QWidget* back)
    : caption_(caption), back_(back) {
    static const bool installed = [] {
        QAccessible::installFactory(progressInterface);
        return true;
    }();
    (void)installed;
    caption->setProperty(kProgressPart, QStringLiteral("caption"));
    back->setProperty(kProgressPart, QStringLiteral("bar"));
    back->setProperty(kFill, QVariant::fromValue(fill));
    // Naming a widget already made it an interface of the general kind, which Qt keeps.
    for (QWidget* widget : {caption, back}) {
        if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget)) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
        }
    }
}

void ProgressAccessible::update(bool always) {
    if (caption_ == nullptr || back_ == nullptr) {
        return;
    }
    if (!always && sinceLast_.isValid() && sinceLast_.elapsed() < kIntervalMs) {
        return;
    }
    sinceLast_.start();
    if (const auto* label = qobject_cast<const QLabel*>(caption_.data());
        label != nullptr && label->text() != captionText_) {
        captionText_ = label->text();
        QAccessibleValueChangeEvent changed(caption_.data(), captionText_);
        QAccessible::updateAccessibility(&changed);
    }
    const int percent = percentDone(back_->property(kFill).value<QWidget*>(), back_.data());
    if (percent != percent_) {
        percent_ = percent;
        QAccessibleValueChangeEvent changed(back_.data(), percent);
        QAccessible::updateAccessibility(&changed);
    }
}

}  // namespace vantrel::qt
