// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/Layout.h"

#include "panel/PanelKeys.h"
#include "program/Codes.h"

#include <algorithm>
#include <cmath>

// The picture is compiled into the panel library; a static library must
// register its resources itself.
// (The program that draws the picture builds without it.)
static void initPanelResources() {
#ifndef VX_NO_RESOURCES
    Q_INIT_RESOURCE(resources);
#endif
}

namespace vx::Layout {

QRectF r(double x0, double y0, double x1, double y1) {
    return QRectF(x0, y0, x1 - x0, y1 - y0);
}

const std::vector<std::pair<Key, QRectF>>& keys() {
    static const std::vector<std::pair<Key, QRectF>> table = [] {
        std::vector<std::pair<Key, QRectF>> list;
        for (const PanelKey& k : panelKeys) list.emplace_back(k.key, k.rect);
        return list;
    }();
    return table;
}

QRectF keyRect(Key key) {
    return panelKey(key).rect;
}

QRectF printerSwitch() {
    return {55, 82, 72, 90};
}
QRectF modeSwitch() {
    return {335, 85, 70, 80};
}
QRectF tapeSwitch() {
    return {1295, 75, 75, 90};
}
QRectF angleSwitch() {
    return {1422, 70, 75, 92};
}

std::optional<QString> fHelp(Key key) {
    if (panelKey(key).help == Help::none) return std::nullopt;
    const auto code = shiftedCode(key);
    if (!code) return std::nullopt;
    return QString::fromStdString(Codes::mnemonic(*code));
}

bool helpInsideKey(Key key) {
    return panelKey(key).help == Help::inside;
}

QRectF helpRect(Key key, const QRectF& k) {
    if (helpInsideKey(key)) {
        const double h = k.height() * 0.36;
        return {k.left() + 3, k.bottom() - h - 3, k.width() - 6, h};
    }
    return {k.left() - 8, k.bottom() + 4, k.width() + 16, 27};
}

std::vector<std::optional<HelpColors>> sampleHelpColors(const QImage& image) {
    std::vector<std::optional<HelpColors>> colors(keyCount);
    if (image.isNull()) return colors;
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    const double sx = rgb.width() / imageSize.width();
    const double sy = rgb.height() / imageSize.height();
    for (const auto& [key, rect] : keys()) {
        if (!fHelp(key)) continue;
        const QRectF area = helpRect(key, rect).adjusted(3, 3, -3, -3);
        std::vector<std::pair<double, QRgb>> samples;
        for (double x = area.left(); x < area.right(); x += 3) {
            for (double y = area.top(); y < area.bottom(); y += 3) {
                const int px = static_cast<int>(std::trunc(x * sx));
                const int py = static_cast<int>(std::trunc(y * sy));
                if (px < 0 || py < 0 || px >= rgb.width() || py >= rgb.height()) continue;
                const QRgb c = rgb.pixel(px, py);
                const double lum = (0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c)) / 255.0;
                samples.emplace_back(lum, c);
            }
        }
        if (samples.empty()) continue;
        std::stable_sort(samples.begin(), samples.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        const auto& [lum, c] = samples[samples.size() / 2];
        const QColor ink =
            lum > 0.55 ? QColor::fromRgbF(0.12f, 0.12f, 0.12f) : QColor::fromRgbF(1.0f, 0.84f, 0.3f);
        colors[static_cast<std::size_t>(keyIndex(key))] = HelpColors{QColor::fromRgb(c), ink};
    }
    return colors;
}

std::optional<HelpColors> helpColors(Key key) {
    static const auto colors = sampleHelpColors(keyboardImage());
    return colors[static_cast<std::size_t>(keyIndex(key))];
}

const QImage& keyboardImage() {
    static const QImage image = [] {
        initPanelResources();
        QImage loaded(QStringLiteral(":/Vxpanel.png"));
        if (!loaded.isNull()) return loaded;
        QImage blank(imageSize.toSize(), QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        return blank;
    }();
    return image;
}

const std::vector<QRectF>& wells() {
    // Each edge clear of the key help's labels, which lie outside some keys.
    static const std::vector<QRectF> table = {r(26, 246, 280, 738),    r(306, 244, 434, 707),
                                              r(476, 244, 858, 734),   r(889, 244, 1146, 706),
                                              r(1281, 252, 1517, 722), r(489, 38, 711, 222)};
    return table;
}

QImage downscaled(const QImage& image, QSize size) {
    QImage scaled = image;
    while (scaled.width() >= 2 * size.width() && scaled.height() >= 2 * size.height())
        scaled = scaled.scaled(scaled.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return scaled.size() == size ? scaled
                                 : scaled.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QSize baseImageSize() {
    return QSize(1040, 495);
}

const QImage& baseKeyboardImage() {
    static const QImage image = [] {
        initPanelResources();
        return QImage(QStringLiteral(":/Vxpanel-1040.png"));
    }();
    return image;
}

QString accessibleName(Key key) {
    return QString::fromUtf8(panelKey(key).name);
}

QString switchName(SwitchId which) {
    static const char* const names[] = {"Netzschalter", "Drucker",       "Betriebsart",
                                        "Streifen",     "Winkeleinheit", "Modell"};
    return QString::fromUtf8(names[static_cast<int>(which)]);
}

QString legend(Key key) {
    return QString::fromUtf8(panelKey(key).legend);
}

QString printedShiftLegend(Key key) {
    return QString::fromUtf8(panelKey(key).printedShift);
}

} // namespace vx::Layout
