// SPDX-License-Identifier: GPL-3.0-or-later
// The two kinds of controls over the panel picture: an invisible key that
// acts on release, and a slide switch with two or three detents.
#pragma once

#include "engine/Types.h"

#include <QStringList>
#include <QWidget>

#include <optional>

namespace vx {

// Every panel widget draws in panel units and is told the scale to draw at.
class ScaledWidget : public QWidget {
  public:
    using QWidget::QWidget;
    void setScale(double scale) {
        scale_ = scale;
        update();
    }
    double scale() const { return scale_; }
    // Places the widget and lays out its children at once, shown or not.
    void place(const QRect& geometry) {
        setGeometry(geometry);
        layoutContent();
    }

  protected:
    virtual void layoutContent() {}
    void resizeEvent(QResizeEvent*) override { layoutContent(); }
    double scale_ = 1.0;
};

class KeyButton : public ScaledWidget {
    Q_OBJECT
  public:
    KeyButton(Key key, QWidget* parent);
    Key key() const { return key_; }
    bool isDown() const { return down_; }
    void setHighlight(bool on);
    bool highlighted() const { return highlight_; }
    // Shows the key pressed for a moment, as a click would: for a key
    // reached from the keyboard or the command search.
    void flash();
    // What a click does: the key acts.
    void activate() { emit activated(); }

  signals:
    void activated();
    void hovered(bool inside);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

  private:
    Key key_;
    bool highlight_ = false;
    bool down_ = false;
};

class SlideSwitch : public ScaledWidget {
    Q_OBJECT
  public:
    SlideSwitch(int positions, QWidget* parent);
    int positions() const { return positions_; }
    int index() const { return index_; }
    void setIndex(int index);
    // What a click on that position does; the machine moves the switch.
    void choose(int index) { emit chosen(index); }
    // The positions as the panel names them, top first ("RUN", "STEP", "LOAD").
    QStringList positionNames;

  signals:
    void chosen(int index);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

  private:
    double knobHeight() const;
    double travel() const;
    double restOffset() const;
    int positions_;
    int index_ = 0;
    std::optional<double> dragY_;
    double pressY_ = 0;
    bool dragging_ = false;
};

} // namespace vx
