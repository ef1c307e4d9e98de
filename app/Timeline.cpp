// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Timeline.h"

#include "engine/History.h"
#include "panel/RunSummary.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace vx {

void MarkedSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (marks.empty()) return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const int handle = style()->pixelMetric(QStyle::PM_SliderLength, &option, this);
    const int span = groove.width() - handle;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    for (const double f : marks) {
        const int x = groove.left() + handle / 2 + static_cast<int>(f * span);
        painter.drawLine(x, height() - 5, x, height() - 1);
    }
}

Timeline::Timeline(Engine& engine, History& history, QWidget* parent)
    : QWidget(parent), engine_(engine), history_(history) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    back_ = new QPushButton(QStringLiteral("Im Verlauf zurück"), this);
    forward_ = new QPushButton(QStringLiteral("Im Verlauf vor"), this);
    for (QPushButton* b : {back_, forward_}) b->setAutoDefault(false);
    slider_ = new MarkedSlider(Qt::Horizontal, this);
    slider_->setAccessibleName(QStringLiteral("Verlauf"));
    slider_->setMinimumWidth(220);
    label_ = new QLabel(this);
    label_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    row->addWidget(new QLabel(QStringLiteral("Verlauf"), this));
    row->addWidget(back_);
    row->addWidget(slider_, 1);
    row->addWidget(forward_);
    row->addWidget(label_);
    connect(back_, &QPushButton::clicked, this, [this] {
        if (!history_.back()) QApplication::beep();
    });
    connect(forward_, &QPushButton::clicked, this, [this] {
        if (!history_.forward()) QApplication::beep();
    });
    // The machine follows the slider while it is dragged.
    connect(slider_, &QSlider::valueChanged, this, [this](int value) {
        if (refreshing_) return;
        history_.moveTo(static_cast<std::uint64_t>(value) * scale_);
        refresh();
    });
    refresh();
}

void Timeline::refreshSoon() {
    if (due_) return;
    due_ = true;
    QTimer::singleShot(0, this, [this] {
        due_ = false;
        refresh();
    });
}

void Timeline::refresh() {
    refreshing_ = true;
    const bool run = history_.hasRun();
    const std::uint64_t steps = run ? history_.runSteps() : 0;
    const std::uint64_t at = run ? history_.position() : 0;
    slider_->setEnabled(run && steps > 0);
    scale_ = steps / INT_MAX + 1;
    slider_->setRange(0, static_cast<int>(steps / scale_));
    slider_->setPageStep(static_cast<int>(std::max<std::uint64_t>(1, steps / scale_ / 20)));
    slider_->setValue(static_cast<int>(at / scale_));
    slider_->marks.clear();
    if (run && steps > 0)
        for (const History::Mark& m : history_.marks())
            slider_->marks.push_back(static_cast<double>(m.step) / static_cast<double>(steps));
    slider_->update();
    back_->setEnabled(history_.canGoBack());
    forward_->setEnabled(history_.canGoForward());
    const QLocale german(QLocale::German);
    label_->setText(run ? QStringLiteral("Schritt %1 von %2 · auf dem Original %3")
                              .arg(german.toString(static_cast<qulonglong>(at)),
                                   german.toString(static_cast<qulonglong>(steps)),
                                   spokenDuration(static_cast<double>(engine_.lastRun().originalNanos) / 1e9))
                        : QStringLiteral("Kein Lauf, zu dem es zurückginge"));
    refreshing_ = false;
}

} // namespace vx
