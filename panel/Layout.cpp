// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/Layout.h"

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
    static const std::vector<std::pair<Key, QRectF>> table = {
        {KeyKind::adv, {40, 262, 100, 65}},      {KeyKind::sdMean, {163, 262, 103, 65}},
        {KeyKind::printKey, {40, 350, 100, 68}}, {KeyKind::store, {163, 350, 103, 68}},
        {KeyKind::setDP, {40, 444, 100, 68}},    {KeyKind::recall, {163, 444, 103, 68}},
        {KeyKind::reset, {40, 536, 100, 67}},    {KeyKind::exchange, {163, 536, 103, 67}},
        {KeyKind::ident, {40, 627, 100, 69}},    {KeyKind::clear, {163, 627, 103, 69}},
        {KeyKind::sigma, {320, 258, 100, 70}},   {KeyKind::dms, {320, 350, 100, 68}},
        {KeyKind::exp, {320, 442, 100, 68}},     {KeyKind::startStop, {320, 532, 100, 161}},
        {Key::digit(7), {490, 258, 93, 69}},     {Key::digit(8), {614, 258, 94, 69}},
        {Key::digit(9), {740, 258, 93, 69}},     {Key::digit(4), {490, 380, 93, 67}},
        {Key::digit(5), {614, 380, 94, 67}},     {Key::digit(6), {740, 380, 93, 67}},
        {Key::digit(1), {490, 500, 93, 68}},     {Key::digit(2), {614, 500, 94, 68}},
        {Key::digit(3), {740, 500, 93, 68}},     {Key::digit(0), {490, 622, 93, 70}},
        {KeyKind::dot, {614, 622, 94, 70}},      {KeyKind::chs, {740, 622, 93, 70}},
        {KeyKind::f, {903, 258, 97, 67}},        {KeyKind::power, {1030, 258, 100, 67}},
        {KeyKind::lparen, {905, 348, 98, 67}},   {KeyKind::rparen, {1030, 348, 100, 67}},
        {KeyKind::minus, {905, 438, 98, 67}},    {KeyKind::divide, {1030, 438, 100, 67}},
        {KeyKind::plus, {905, 528, 98, 70}},     {KeyKind::times, {1030, 528, 100, 70}},
        {KeyKind::equals, {905, 620, 228, 70}},  {KeyKind::ln, {1295, 268, 77, 37}},
        {KeyKind::sin, {1420, 268, 83, 37}},     {KeyKind::log, {1295, 360, 77, 37}},
        {KeyKind::cos, {1420, 360, 83, 37}},     {KeyKind::sqrt, {1295, 452, 77, 38}},
        {KeyKind::tan, {1420, 452, 83, 38}},     {KeyKind::recip, {1295, 545, 77, 37}},
        {KeyKind::toRect, {1420, 545, 83, 37}},  {KeyKind::toMetric, {1295, 638, 77, 38}},
        {KeyKind::toRad, {1420, 638, 83, 38}},   {KeyKind::back, {503, 60, 70, 35}},
        {KeyKind::fwd, {627, 60, 70, 35}},       {KeyKind::jump, {503, 152, 70, 36}},
        {KeyKind::insert, {627, 152, 70, 36}},
    };
    return table;
}

QRectF keyRect(Key key) {
    for (const auto& [k, rect] : keys())
        if (k == key) return rect;
    return {};
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
    // The keys whose shifted functions have no legend of their own on the picture.
    const bool shown = key.isDigit() || key.kind == KeyKind::dot || key.kind == KeyKind::chs ||
                       key.kind == KeyKind::exp || key.kind == KeyKind::dms || key.kind == KeyKind::sigma ||
                       key.kind == KeyKind::clear;
    if (!shown) return std::nullopt;
    auto code = Codes::shifted(key);
    if (!code) return std::nullopt;
    return QString::fromStdString(Codes::mnemonic(*code));
}

bool helpInsideKey(Key key) {
    return key.kind == KeyKind::exp || key.kind == KeyKind::dms || key.kind == KeyKind::sigma;
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
    if (key.isDigit()) return QStringLiteral("Ziffer %1").arg(key.n);
    switch (key.kind) {
    case KeyKind::dot: return QStringLiteral("Dezimalpunkt");
    case KeyKind::chs: return QStringLiteral("Vorzeichenwechsel");
    case KeyKind::exp: return QStringLiteral("Exponent");
    case KeyKind::dms: return QStringLiteral("Grad, Minuten, Sekunden");
    case KeyKind::equals: return QStringLiteral("Gleich");
    case KeyKind::plus: return QStringLiteral("Plus");
    case KeyKind::minus: return QStringLiteral("Minus");
    case KeyKind::times: return QStringLiteral("Mal");
    case KeyKind::divide: return QStringLiteral("Geteilt durch");
    case KeyKind::power: return QStringLiteral("Potenz");
    case KeyKind::lparen: return QStringLiteral("Klammer auf");
    case KeyKind::rparen: return QStringLiteral("Klammer zu");
    case KeyKind::f: return QStringLiteral("Funktionstaste f");
    case KeyKind::sigma: return QStringLiteral("Datenpunkt hinzufügen");
    case KeyKind::sdMean: return QStringLiteral("Standardabweichung");
    case KeyKind::startStop: return QStringLiteral("Start/Stopp");
    case KeyKind::clear: return QStringLiteral("Löschen");
    case KeyKind::reset: return QStringLiteral("Zurücksetzen");
    case KeyKind::adv: return QStringLiteral("Papiervorschub");
    case KeyKind::printKey: return QStringLiteral("Drucken");
    case KeyKind::setDP: return QStringLiteral("Nachkommastellen");
    case KeyKind::ident: return QStringLiteral("IDENT, alle Stellen zeigen");
    case KeyKind::store: return QStringLiteral("Speichern");
    case KeyKind::recall: return QStringLiteral("Abrufen");
    case KeyKind::exchange: return QStringLiteral("Austauschen");
    case KeyKind::ln: return QStringLiteral("Natürlicher Logarithmus");
    case KeyKind::log: return QStringLiteral("Zehnerlogarithmus");
    case KeyKind::sqrt: return QStringLiteral("Quadratwurzel");
    case KeyKind::recip: return QStringLiteral("Kehrwert");
    case KeyKind::toMetric: return QStringLiteral("Umrechnung ins metrische System");
    case KeyKind::sin: return QStringLiteral("Sinus");
    case KeyKind::cos: return QStringLiteral("Kosinus");
    case KeyKind::tan: return QStringLiteral("Tangens");
    case KeyKind::toRect: return QStringLiteral("Polar- in kartesische Koordinaten");
    case KeyKind::toRad: return QStringLiteral("Winkel ins Bogenmaß");
    case KeyKind::back: return QStringLiteral("Schritt zurück");
    case KeyKind::fwd: return QStringLiteral("Schritt vor");
    case KeyKind::jump: return QStringLiteral("Sprung");
    case KeyKind::insert: return QStringLiteral("Schritt einfügen");
    case KeyKind::digit: break;
    }
    return {};
}

QString legend(Key key) {
    if (key.isDigit()) return QString::number(key.n);
    switch (key.kind) {
    case KeyKind::dot: return QStringLiteral(".");
    case KeyKind::chs: return QStringLiteral("CHS");
    case KeyKind::exp: return QStringLiteral("EXP");
    case KeyKind::dms: return QStringLiteral("D/M/S");
    case KeyKind::equals: return QStringLiteral("=");
    case KeyKind::plus: return QStringLiteral("+");
    case KeyKind::minus: return QStringLiteral("−");
    case KeyKind::times: return QStringLiteral("×");
    case KeyKind::divide: return QStringLiteral("÷");
    case KeyKind::power: return QStringLiteral("aˣ");
    case KeyKind::lparen: return QStringLiteral("(");
    case KeyKind::rparen: return QStringLiteral(")");
    case KeyKind::f: return QStringLiteral("f");
    case KeyKind::sigma: return QStringLiteral("Σ+");
    case KeyKind::sdMean: return QStringLiteral("SD");
    case KeyKind::startStop: return QStringLiteral("START STOP");
    case KeyKind::clear: return QStringLiteral("CLEAR");
    case KeyKind::reset: return QStringLiteral("RESET");
    case KeyKind::adv: return QStringLiteral("ADV");
    case KeyKind::printKey: return QStringLiteral("PRINT");
    case KeyKind::setDP: return QStringLiteral("SET DP");
    case KeyKind::ident: return QStringLiteral("IDENT");
    case KeyKind::store: return QStringLiteral("ST");
    case KeyKind::recall: return QStringLiteral("RCL");
    case KeyKind::exchange: return QStringLiteral("EXCH");
    case KeyKind::ln: return QStringLiteral("ln");
    case KeyKind::log: return QStringLiteral("log");
    case KeyKind::sqrt: return QStringLiteral("√x");
    case KeyKind::recip: return QStringLiteral("1/x");
    case KeyKind::toMetric: return QStringLiteral("→M");
    case KeyKind::sin: return QStringLiteral("sin");
    case KeyKind::cos: return QStringLiteral("cos");
    case KeyKind::tan: return QStringLiteral("tan");
    case KeyKind::toRect: return QStringLiteral("→XY");
    case KeyKind::toRad: return QStringLiteral("→RAD");
    case KeyKind::back: return QStringLiteral("BACK");
    case KeyKind::fwd: return QStringLiteral("FWD");
    case KeyKind::jump: return QStringLiteral("JUMP");
    case KeyKind::insert: return QStringLiteral("INS");
    case KeyKind::digit: break;
    }
    return {};
}

QString printedShiftLegend(Key key) {
    switch (key.kind) {
    case KeyKind::ln: return QStringLiteral("eˣ");
    case KeyKind::log: return QStringLiteral("10ˣ");
    case KeyKind::sqrt: return QStringLiteral("x²");
    case KeyKind::recip: return QStringLiteral("x!");
    case KeyKind::sin: return QStringLiteral("sin⁻¹");
    case KeyKind::cos: return QStringLiteral("cos⁻¹");
    case KeyKind::tan: return QStringLiteral("tan⁻¹");
    case KeyKind::toRect: return QStringLiteral("→rθ");
    case KeyKind::toMetric: return QStringLiteral("M→");
    case KeyKind::toRad: return QStringLiteral("RAD→");
    case KeyKind::back: return QStringLiteral("RETURN");
    case KeyKind::fwd: return QStringLiteral("LABEL");
    case KeyKind::jump: return QStringLiteral("BRANCH");
    case KeyKind::insert: return QStringLiteral("DELETE");
    case KeyKind::sdMean: return QStringLiteral("MEAN");
    default: return {};
    }
}

} // namespace vx::Layout
