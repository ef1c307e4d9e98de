// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard picture with a live key over every key it shows, the four
// slide switches, and the key-help labels on top.
#pragma once

#include "engine/Types.h"
#include "panel/Controls.h"

#include <QPixmap>

#include <optional>
#include <vector>

namespace vx {

class Engine;
class KeyHelp;

struct FHelpLabel {
    QString text;
    QRectF rect; // panel-image units
    QColor background;
    QColor ink;
};

class KeyboardView : public ScaledWidget {
    Q_OBJECT
  public:
    KeyboardView(Engine& engine, KeyHelp& help, QWidget* parent);
    void refresh();
    std::optional<Key> hoveredKey() const { return hovered_; }
    // The labels to draw now: the hovered key's, or all while Alt is held.
    std::vector<FHelpLabel> labels() const;
    KeyButton* button(Key key) const;
    SlideSwitch* printerSwitch() const { return printer_; }
    SlideSwitch* modeSwitch() const { return mode_; }
    SlideSwitch* tapeSwitch() const { return tape_; }
    SlideSwitch* angleSwitch() const { return angle_; }
    // Scale from panel-image units to this widget's pixels.
    double imageScale() const;

  signals:
    // Every key clicked, before the machine gets it.
    void keyClicked(Key key);

  protected:
    void paintEvent(QPaintEvent*) override;
    void layoutContent() override;
    void leaveEvent(QEvent*) override;

  private:
    class Overlay;
    Engine& engine_;
    KeyHelp& help_;
    std::vector<KeyButton*> buttons_;
    SlideSwitch* printer_;
    SlideSwitch* mode_;
    SlideSwitch* tape_;
    SlideSwitch* angle_;
    QWidget* overlay_;
    std::optional<Key> hovered_;
    static constexpr double glowRadius = 6;
    QPixmap scaled_;
    // The yellow glow of a pending f lies around the key, on the panel itself.
    QRectF fGlowRect() const;
};

} // namespace vx
