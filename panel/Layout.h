// SPDX-License-Identifier: GPL-3.0-or-later
// The geometry that makes the keyboard picture live: where every key and
// switch lies on the panel image, the shifted-function texts and where their
// labels sit, and the label colours sampled from the picture itself.
#pragma once

#include "engine/Events.h"
#include "engine/Types.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace vx::Layout {

inline const QSizeF imageSize{1568, 746};

QRectF r(double x0, double y0, double x1, double y1);
const std::vector<std::pair<Key, QRectF>>& keys();
QRectF keyRect(Key key);
QRectF printerSwitch();
QRectF modeSwitch();
QRectF tapeSwitch();
QRectF angleSwitch();

// The mnemonic of the key's shifted code, for the 16 keys that have one shown.
std::optional<QString> fHelp(Key key);
bool helpInsideKey(Key key);
QRectF helpRect(Key key, const QRectF& keyRect);

struct HelpColors {
    QColor background;
    QColor ink;
};
// Sampled from the panel image once; absent for keys without a label or
// where the picture gave no colour.
std::optional<HelpColors> helpColors(Key key);
// The same sampling over any image (the picture may have any resolution).
std::vector<std::optional<HelpColors>> sampleHelpColors(const QImage& image);

// The recessed wells behind the key groups, as the picture draws them.
const std::vector<QRectF>& wells();

// The picture at a smaller size, each step at most halving it, so that every
// pixel of the result averages all of its source pixels.
QImage downscaled(const QImage& image, QSize size);

// The panel image "Vxpanel", or a blank image of the nominal size when the
// resource is missing.
const QImage& keyboardImage();
// The same picture at the keyboard's pixel size at the base zoom (1040 wide),
// null when missing.
QSize baseImageSize();
const QImage& baseKeyboardImage();

// The German name of a key for screen readers and automation.
QString accessibleName(Key key);
// The German name of a switch ("Betriebsart"), for the same and for the menus.
QString switchName(SwitchId which);
// What the key's cap says ("START STOP", "√x", "7").
QString legend(Key key);
// The shifted function printed under the key on the picture ("eˣ", "→rθ"),
// empty for keys whose shifted function the key help shows instead.
QString printedShiftLegend(Key key);

} // namespace vx::Layout
