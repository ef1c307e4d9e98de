// SPDX-License-Identifier: GPL-3.0-or-later
// The window's zoom: 50 ... 150 %, where 150 % draws the panel at its base size.
#pragma once

#include <QObject>

#include <vector>

namespace vx {

class ShellSettings;

class ZoomSetting : public QObject {
    Q_OBJECT
  public:
    // Starts from the remembered "zoomPercent" and remembers every choice there.
    explicit ZoomSetting(ShellSettings& settings);
    static const std::vector<int>& choices();
    int percent() const { return percent_; }
    // Remembers the choice as "zoomPercent" and tells the window to refit.
    void setPercent(int percent);
    double factor() const { return percent_ / 150.0; }

  signals:
    void changed();

  private:
    ShellSettings& settings_;
    int percent_;
};

} // namespace vx
