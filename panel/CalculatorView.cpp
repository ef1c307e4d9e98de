// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/CalculatorView.h"

#include "panel/Accessibility.h"

#include "engine/Engine.h"
#include "panel/DisplayPanel.h"
#include "panel/KeyboardView.h"
#include "panel/Layout.h"
#include "panel/RunSummary.h"
#include "panel/TapeView.h"
#include "panel/ViewFeed.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>

#include <cmath>

namespace vx {

double CalculatorView::keyboardHeight() {
    return keyboardWidth * Layout::imageSize.height() / Layout::imageSize.width();
}

QSizeF CalculatorView::baseSize() {
    return QSizeF(keyboardWidth + tapeWidth, displayHeight + keyboardHeight());
}

CalculatorView::CalculatorView(Engine& engine, KeyHelp& help, ViewFeed& feed, QWidget* parent)
    : QWidget(parent), engine_(engine), feed_(feed) {
    // Before any child exists: Qt makes a child's accessible interface as
    // soon as it is named, and keeps the first one it made.
    Accessibility::install();
    setAttribute(Qt::WA_OpaquePaintEvent);
    display_ = new DisplayPanel(engine, this);
    keyboard_ = new KeyboardView(engine, help, this);
    tape_ = new TapeView(engine, this);
    // The panel shows what the display, the switches, the keys' state and
    // the tape say; a running program at most 30 times a second.
    follower_ =
        feed_.follow(parts({Part::display, Part::tape, Part::switches, Part::model, Part::calculation}), 30,
                     ViewFeed::Runs::fast, [this](const Changes& changes) { refreshViews(changes); });
    hearer_ = feed_.hear([this](const MachineEvent& event) { followRun(event); });
    refreshViews(feed_.everything());
    setFactor(1.0);
}

CalculatorView::~CalculatorView() {
    feed_.stop(follower_);
    feed_.stop(hearer_);
}

void CalculatorView::refreshViews(const Changes& changes) {
    ++refreshes_;
    display_->refresh(changes);
    if (changes.has(Part::switches) || changes.has(Part::calculation)) keyboard_->refresh();
    if (changes.has(Part::tape)) tape_->refresh(changes);
}

void CalculatorView::followRun(const MachineEvent& event) {
    using K = MachineEvent::Kind;
    if (event.kind == K::runStarted) {
        runClock_.start();
        anyRun_ = true;
    }
    const bool ended = event.kind == K::runEnded;
    if (ended) lastWallSeconds_ = static_cast<double>(runClock_.elapsed()) / 1000.0;
    // The words change with every slice; a tooltip needs them a few times a second.
    if (anyRun_ &&
        (ended || (event.kind == K::changed && (!lastSummary_.isValid() || lastSummary_.elapsed() >= 100)))) {
        lastSummary_.start();
        display_->setToolTip(runText());
    }
}

QString CalculatorView::runText() const {
    if (!anyRun_) return {};
    const double wall =
        engine_.running() ? static_cast<double>(runClock_.elapsed()) / 1000.0 : lastWallSeconds_;
    return runSummary(engine_.lastRun(), wall);
}

QSize CalculatorView::zoomedSize() const {
    return QSize(static_cast<int>(std::lround(baseSize().width() * factor_)),
                 static_cast<int>(std::lround(baseSize().height() * factor_)));
}

void CalculatorView::setFactor(double factor) {
    factor_ = factor;
    setFixedSize(zoomedSize());
    layoutChildren();
    update();
}

void CalculatorView::layoutChildren() {
    const double f = factor_;
    auto place = [f](ScaledWidget* w, double x, double y, double width, double height) {
        const int x0 = static_cast<int>(std::lround(x * f)), y0 = static_cast<int>(std::lround(y * f));
        const int x1 = static_cast<int>(std::lround((x + width) * f)),
                  y1 = static_cast<int>(std::lround((y + height) * f));
        w->place(QRect(x0, y0, x1 - x0, y1 - y0));
    };
    display_->setScale(f);
    keyboard_->setScale(f);
    tape_->setScale(f);
    place(display_, 0, 0, keyboardWidth, displayHeight);
    place(keyboard_, 0, displayHeight, keyboardWidth, keyboardHeight());
    place(tape_, keyboardWidth, 0, tapeWidth, baseSize().height());
}

void CalculatorView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgbF(0.1f, 0.1f, 0.1f));
}

void CalculatorView::contextMenuEvent(QContextMenuEvent* e) {
    QMenu menu(this);
    emit contextMenuRequested(menu);
    if (!menu.isEmpty()) menu.exec(e->globalPos());
}

} // namespace vx
