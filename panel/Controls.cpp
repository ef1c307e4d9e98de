// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/Controls.h"

#include "panel/Accessibility.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace vx {

KeyButton::KeyButton(Key key, QWidget* parent) : ScaledWidget(parent), key_(key) {
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void KeyButton::setHighlight(bool on) {
    if (on == highlight_) return;
    highlight_ = on;
    update();
    // Rare enough to tell every time; Qt passes it on only while a screen reader listens.
    QAccessible::State changed;
    changed.checked = true;
    changed.pressed = true;
    QAccessibleStateChangeEvent event(this, changed);
    Accessibility::announce(event);
}

void KeyButton::paintEvent(QPaintEvent*) {
    if (!down_ && !highlight_) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (down_) {
        // A held key sinks a little into the panel.
        const QPointF c = r.center();
        p.translate(c);
        p.scale(0.97, 0.97);
        p.translate(-c);
        QPainterPath path;
        path.addRoundedRect(r, 5 * scale_, 5 * scale_);
        p.fillPath(path, QColor(0, 0, 0, 89));
    }
    if (highlight_) {
        QColor yellow(255, 214, 0);
        for (int i = 3; i >= 1; --i) {
            yellow.setAlphaF(0.12f * static_cast<float>(4 - i));
            p.setPen(QPen(yellow, 2 * i));
            p.drawRoundedRect(r.adjusted(i, i, -i, -i), 5 * scale_, 5 * scale_);
        }
        yellow.setAlphaF(0.9f);
        p.setPen(QPen(yellow, 2));
        p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 5 * scale_, 5 * scale_);
    }
}

void KeyButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    down_ = true;
    update();
}

void KeyButton::flash() {
    down_ = true;
    update();
    QTimer::singleShot(120, this, [this] {
        down_ = false;
        update();
    });
}

void KeyButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !down_) return;
    // A key acts on release, wherever the pointer has gone meanwhile.
    down_ = false;
    update();
    activate();
}

void KeyButton::enterEvent(QEnterEvent*) {
    emit hovered(true);
}

void KeyButton::leaveEvent(QEvent*) {
    emit hovered(false);
}

SlideSwitch::SlideSwitch(int positions, QWidget* parent) : ScaledWidget(parent), positions_(positions) {
    setFocusPolicy(Qt::NoFocus);
}

void SlideSwitch::setIndex(int index) {
    if (index == index_) return;
    index_ = index;
    QAccessibleValueChangeEvent event(this, index);
    Accessibility::announce(event);
    update();
}

double SlideSwitch::knobHeight() const {
    return height() * (positions_ == 3 ? 0.42 : 0.5);
}
double SlideSwitch::travel() const {
    return height() - knobHeight();
}
double SlideSwitch::restOffset() const {
    return travel() * index_ / (positions_ - 1);
}

void SlideSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const double radius = std::min(track.width(), track.height()) * 0.18;
    QLinearGradient trackFill(track.topLeft(), track.bottomLeft());
    trackFill.setColorAt(0, QColor(22, 22, 22));
    trackFill.setColorAt(1, QColor(40, 40, 40));
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.setBrush(trackFill);
    p.drawRoundedRect(track, radius, radius);

    const double offset = dragY_ ? *dragY_ : restOffset();
    const QRectF knob(track.left() + 2, offset + 2, track.width() - 4, knobHeight() - 4);
    QLinearGradient knobFill(knob.topLeft(), knob.bottomLeft());
    knobFill.setColorAt(0, QColor::fromRgbF(0.55f, 0.55f, 0.55f));
    knobFill.setColorAt(1, QColor::fromRgbF(0.42f, 0.42f, 0.42f));
    p.setPen(QPen(QColor::fromRgbF(0.7f, 0.7f, 0.7f), 1));
    p.setBrush(knobFill);
    p.drawRoundedRect(knob, radius * 0.8, radius * 0.8);
    // Grip ridges across the knob.
    p.setPen(QPen(QColor(0, 0, 0, 70), 1));
    for (int i = -1; i <= 1; ++i) {
        const double y = knob.center().y() + i * knob.height() * 0.18;
        p.drawLine(QPointF(knob.left() + knob.width() * 0.25, y),
                   QPointF(knob.right() - knob.width() * 0.25, y));
    }
}

void SlideSwitch::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    pressY_ = e->position().y();
    dragging_ = false;
}

void SlideSwitch::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    const double translation = e->position().y() - pressY_;
    if (!dragging_ && std::fabs(translation) <= 2 * scale_) return;
    dragging_ = true;
    dragY_ = std::clamp(restOffset() + translation, 0.0, travel());
    update();
}

void SlideSwitch::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    int index;
    if (!dragging_) {
        index = static_cast<int>(std::floor(e->position().y() / height() * positions_));
    } else {
        const double t = travel() > 0 ? dragY_.value_or(restOffset()) / travel() : 0;
        index = static_cast<int>(std::lround(t * (positions_ - 1)));
    }
    index = std::clamp(index, 0, positions_ - 1);
    dragY_.reset();
    dragging_ = false;
    update();
    choose(index);
}

} // namespace vx
