// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/KeyboardView.h"

#include "engine/Engine.h"
#include "panel/KeyHelp.h"
#include "panel/Layout.h"
#include "panel/Theme.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace vx {

namespace {
// The mode switch's positions from top to bottom.
constexpr std::array<Mode, 3> modePositions = {Mode::run, Mode::step, Mode::load};
} // namespace

// The labels lie over the keys but let every click through to them.
class KeyboardView::Overlay : public QWidget {
  public:
    explicit Overlay(KeyboardView* view) : QWidget(view), view_(view) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const auto labels = view_->labels();
        if (labels.empty()) return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        const double s = view_->imageScale();
        for (const FHelpLabel& label : labels) {
            const QRectF frame(label.rect.left() * s, label.rect.top() * s, label.rect.width() * s,
                               label.rect.height() * s);
            QPainterPath path;
            path.addRoundedRect(frame, 3 * s, 3 * s);
            p.fillPath(path, label.background);
            // Bold rounded letters, shrunk to at most half size when the text is long.
            double size = label.rect.height() * 0.62 * s;
            QFont font = Theme::font(Theme::roundedFamily(), size, QFont::Bold);
            const double room = frame.width() - 4 * s;
            const double wanted = QFontMetricsF(font).horizontalAdvance(label.text);
            if (wanted > room && wanted > 0) {
                size = std::max(size * 0.5, size * room / wanted);
                font = Theme::font(Theme::roundedFamily(), size, QFont::Bold);
            }
            p.setFont(font);
            p.setPen(label.ink);
            p.drawText(frame.adjusted(2 * s, 0, -2 * s, 0), Qt::AlignCenter, label.text);
        }
    }

  private:
    KeyboardView* view_;
};

KeyboardView::KeyboardView(Engine& engine, KeyHelp& help, QWidget* parent)
    : ScaledWidget(parent), engine_(engine), help_(help) {
    setMouseTracking(true);
    for (const auto& [key, rect] : Layout::keys()) {
        auto* b = new KeyButton(key, this);
        b->setAccessibleName(Layout::accessibleName(key));
        const Key k = key;
        connect(b, &KeyButton::activated, this, [this, k] {
            emit keyClicked(k);
            engine_.press(k);
        });
        connect(b, &KeyButton::hovered, this, [this, k](bool inside) {
            if (inside)
                hovered_ = k;
            else if (hovered_ == k)
                hovered_.reset();
            overlay_->update();
        });
        buttons_.push_back(b);
    }
    auto makeSwitch = [this](int positions, SwitchId which) {
        auto* s = new SlideSwitch(positions, this);
        s->setAccessibleName(Layout::switchName(which));
        return s;
    };
    printer_ = makeSwitch(2, SwitchId::printer);
    printer_->positionNames = {QStringLiteral("EIN"), QStringLiteral("AUS")};
    mode_ = makeSwitch(3, SwitchId::mode);
    mode_->positionNames = {QStringLiteral("RUN"), QStringLiteral("STEP"), QStringLiteral("LOAD")};
    tape_ = makeSwitch(2, SwitchId::tape);
    tape_->positionNames = {QStringLiteral("EIN"), QStringLiteral("AUS")};
    angle_ = makeSwitch(2, SwitchId::angle);
    angle_->positionNames = {QStringLiteral("GRAD"), QStringLiteral("DEG")};
    connect(printer_, &SlideSwitch::chosen, this, [this](int i) { engine_.setPrinterOn(i == 0); });
    connect(mode_, &SlideSwitch::chosen, this,
            [this](int i) { engine_.setMode(modePositions[static_cast<std::size_t>(i)]); });
    connect(tape_, &SlideSwitch::chosen, this, [this](int i) { engine_.setTapeWritesProgram(i == 0); });
    connect(angle_, &SlideSwitch::chosen, this, [this](int i) { engine_.setGradMode(i == 0); });
    overlay_ = new Overlay(this);
    connect(&help_, &KeyHelp::changed, overlay_, qOverload<>(&QWidget::update));
    refresh();
}

KeyButton* KeyboardView::button(Key key) const {
    for (KeyButton* b : buttons_)
        if (b->key() == key) return b;
    return nullptr;
}

double KeyboardView::imageScale() const {
    return width() / Layout::imageSize.width();
}

QRectF KeyboardView::fGlowRect() const {
    const double s = imageScale();
    const QRectF key = Layout::keyRect(KeyKind::f);
    const double radius = glowRadius * scale_;
    return QRectF(key.left() * s, key.top() * s, key.width() * s, key.height() * s)
        .adjusted(-radius, -radius, radius, radius);
}

void KeyboardView::refresh() {
    KeyButton* f = button(KeyKind::f);
    const bool pending = engine_.prefix().kind == Prefix::Kind::f;
    if (f->highlighted() != pending) update(fGlowRect().toAlignedRect());
    f->setHighlight(pending);
    printer_->setIndex(engine_.printerOn() ? 0 : 1);
    mode_->setIndex(static_cast<int>(std::find(modePositions.begin(), modePositions.end(), engine_.mode()) -
                                     modePositions.begin()));
    tape_->setIndex(engine_.tapeWritesProgram() ? 0 : 1);
    angle_->setIndex(engine_.gradMode() ? 0 : 1);
}

std::vector<FHelpLabel> KeyboardView::labels() const {
    std::vector<FHelpLabel> out;
    if (!help_.enabled()) return out;
    for (const auto& [key, rect] : Layout::keys()) {
        if (!help_.optionDown() && hovered_ != key) continue;
        auto text = Layout::fHelp(key);
        if (!text) continue;
        const auto colors = Layout::helpColors(key);
        out.push_back(FHelpLabel{*text, Layout::helpRect(key, rect),
                                 colors ? colors->background : QColor::fromRgbF(0.2f, 0.2f, 0.2f),
                                 colors ? colors->ink : Theme::amber});
    }
    return out;
}

void KeyboardView::layoutContent() {
    const double s = imageScale();
    auto place = [s, this](ScaledWidget* w, const QRectF& r) {
        w->setScale(scale_);
        w->place(QRectF(r.left() * s, r.top() * s, r.width() * s, r.height() * s).toRect());
    };
    for (KeyButton* b : buttons_) place(b, Layout::keyRect(b->key()));
    place(printer_, Layout::printerSwitch());
    place(mode_, Layout::modeSwitch());
    place(tape_, Layout::tapeSwitch());
    place(angle_, Layout::angleSwitch());
    overlay_->setGeometry(rect());
    overlay_->raise();
    scaled_ = QPixmap();
}

void KeyboardView::leaveEvent(QEvent*) {
    if (!hovered_) return;
    hovered_.reset();
    overlay_->update();
}

void KeyboardView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (scaled_.isNull() || scaled_.size() != pixels) {
        // Scale the large picture once per size, not on every repaint; at the
        // base zoom the picture comes ready-scaled.
        const QImage& base = Layout::baseKeyboardImage();
        scaled_ = QPixmap::fromImage(
            base.size() == pixels ? base : Layout::downscaled(Layout::keyboardImage(), pixels));
        scaled_.setDevicePixelRatio(ratio);
    }
    const QRect dirty = event->rect();
    p.drawPixmap(dirty, scaled_,
                 QRectF(QPointF(dirty.topLeft()) * ratio, QSizeF(dirty.size()) * ratio).toRect());
    if (button(KeyKind::f)->highlighted() && dirty.intersects(fGlowRect().toAlignedRect())) {
        // A soft yellow light from the key's edge outwards, fading to nothing.
        p.setRenderHint(QPainter::Antialiasing);
        const double radius = glowRadius * scale_;
        const QRectF glow = fGlowRect();
        const QRectF key = glow.adjusted(radius, radius, -radius, -radius);
        const int rings = std::max(3, static_cast<int>(std::lround(radius)));
        for (int i = rings; i >= 1; --i) {
            const double out = radius * i / rings;
            QColor yellow(255, 214, 0);
            yellow.setAlphaF(0.55f * (1.0f - static_cast<float>(i - 1) / static_cast<float>(rings)));
            p.setPen(QPen(yellow, radius / rings + 0.5));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(key.adjusted(-out + radius / rings / 2, -out + radius / rings / 2,
                                           out - radius / rings / 2, out - radius / rings / 2),
                              5 * scale_ + out, 5 * scale_ + out);
        }
    }
}

} // namespace vx
