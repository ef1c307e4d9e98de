// SPDX-License-Identifier: GPL-3.0-or-later
// The front panel's keys as the window shows them: one row per key, in the
// order the panel is read (left to right, group by group), with where the
// key lies on the panel picture, its German name for screen readers, the
// legends on its cap and under it, the host keys that press it, where its
// f-function label shows and how the drawing program paints its cap. The
// compiler checks that every key of the machine has exactly one row.
#pragma once

#include "engine/Keys.h"

#include <QRectF>
#include <qnamespace.h>

#include <array>

namespace vx {

// Where the label of a key's shifted function shows while the key help is on.
enum class Help : std::uint8_t {
    none,   // the picture prints the shifted function itself, or there is none
    below,  // a label under the key
    inside, // a label in the lower part of the cap
};

// The colour families of the caps, and the size of the legend on them.
enum class Cap : std::uint8_t { ivory, slate, orange, warm, red, yellow, light, navy, ebony, charcoal };
struct CapLook {
    Cap colour;
    double legendSize;
};

// A named key of the host keyboard (Return, Space, Esc, an arrow) that
// presses a panel key, and whether Shift must be held with it, must not, or may.
struct NamedKey {
    enum class Shift : std::uint8_t { either, without, with };
    int qtKey = 0;
    Shift shift = Shift::either;
};

struct PanelKey {
    Key key;
    QRectF rect;              // on the panel picture (1568 × 746)
    const char* name;         // for screen readers and automation
    const char* legend;       // on the cap
    const char* printedShift; // the shifted function printed under the key, if the picture has it
    const char* hostKeys;     // the host keys that press it, as the key's tooltip says them
    char hostLetter;          // a letter of the host keyboard that presses it besides its own character
    Help help;
    CapLook cap;
    std::array<NamedKey, 2> named{}; // the named host keys that press it, if any
};

// clang-format off
inline constexpr std::array<PanelKey, keyCount> panelKeys = {{
    {KeyKind::adv, {40, 262, 100, 65}, "Papiervorschub", "ADV", "", "a", 'a', Help::none, {Cap::slate, 17}},
    {KeyKind::sdMean, {163, 262, 103, 65}, "Standardabweichung", "SD", "MEAN", "", 0, Help::none, {Cap::slate, 18}},
    {KeyKind::printKey, {40, 350, 100, 68}, "Drucken", "PRINT", "", "p", 'p', Help::none, {Cap::slate, 17}},
    {KeyKind::store, {163, 350, 103, 68}, "Speichern", "ST", "", "s", 's', Help::none, {Cap::slate, 18}},
    {KeyKind::setDP, {40, 444, 100, 68}, "Nachkommastellen", "SET DP", "", "", 0, Help::none, {Cap::slate, 16}},
    {KeyKind::recall, {163, 444, 103, 68}, "Abrufen", "RCL", "", "r", 'r', Help::none, {Cap::slate, 18}},
    {KeyKind::reset, {40, 536, 100, 67}, "Zurücksetzen", "RESET", "", "Umschalt+Esc", 0, Help::none, {Cap::orange, 17}, {{{Qt::Key_Escape, NamedKey::Shift::with}}}},
    {KeyKind::exchange, {163, 536, 103, 67}, "Austauschen", "EXCH", "", "x", 'x', Help::none, {Cap::slate, 17}},
    {KeyKind::ident, {40, 627, 100, 69}, "IDENT, alle Stellen zeigen", "IDENT", "", "i", 'i', Help::none, {Cap::slate, 17}},
    {KeyKind::clear, {163, 627, 103, 69}, "Löschen", "CLEAR", "", "Esc oder Rücktaste", 0, Help::below, {Cap::orange, 17}, {{{Qt::Key_Escape, NamedKey::Shift::without}, {Qt::Key_Backspace}}}},
    {KeyKind::sigma, {320, 258, 100, 70}, "Datenpunkt hinzufügen", "Σ+", "", "", 0, Help::inside, {Cap::warm, 18}},
    {KeyKind::dms, {320, 350, 100, 68}, "Grad, Minuten, Sekunden", "D/M/S", "", "d", 'd', Help::inside, {Cap::warm, 16}},
    {KeyKind::exp, {320, 442, 100, 68}, "Exponent", "EXP", "", "e", 'e', Help::inside, {Cap::warm, 17}},
    {KeyKind::startStop, {320, 532, 100, 161}, "Start/Stopp", "START STOP", "", "Leertaste", 0, Help::none, {Cap::red, 17}, {{{Qt::Key_Space}}}},
    {Key::digit(7), {490, 258, 93, 69}, "Ziffer 7", "7", "", "7", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(8), {614, 258, 94, 69}, "Ziffer 8", "8", "", "8", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(9), {740, 258, 93, 69}, "Ziffer 9", "9", "", "9", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(4), {490, 380, 93, 67}, "Ziffer 4", "4", "", "4", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(5), {614, 380, 94, 67}, "Ziffer 5", "5", "", "5", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(6), {740, 380, 93, 67}, "Ziffer 6", "6", "", "6", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(1), {490, 500, 93, 68}, "Ziffer 1", "1", "", "1", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(2), {614, 500, 94, 68}, "Ziffer 2", "2", "", "2", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(3), {740, 500, 93, 68}, "Ziffer 3", "3", "", "3", 0, Help::below, {Cap::ivory, 26}},
    {Key::digit(0), {490, 622, 93, 70}, "Ziffer 0", "0", "", "0", 0, Help::below, {Cap::ivory, 26}},
    {KeyKind::dot, {614, 622, 94, 70}, "Dezimalpunkt", ".", "", "Komma oder Punkt", ',', Help::below, {Cap::ivory, 30}},
    {KeyKind::chs, {740, 622, 93, 70}, "Vorzeichenwechsel", "CHS", "", "n", 'n', Help::below, {Cap::ivory, 17}},
    {KeyKind::f, {903, 258, 97, 67}, "Funktionstaste f", "f", "", "f", 'f', Help::none, {Cap::yellow, 28}},
    {KeyKind::power, {1030, 258, 100, 67}, "Potenz", "aˣ", "", "^", 0, Help::none, {Cap::light, 20}},
    {KeyKind::lparen, {905, 348, 98, 67}, "Klammer auf", "(", "", "(", 0, Help::none, {Cap::light, 22}},
    {KeyKind::rparen, {1030, 348, 100, 67}, "Klammer zu", ")", "", ")", 0, Help::none, {Cap::light, 22}},
    {KeyKind::minus, {905, 438, 98, 67}, "Minus", "−", "", "-", 0, Help::none, {Cap::light, 26}},
    {KeyKind::divide, {1030, 438, 100, 67}, "Geteilt durch", "÷", "", "/ oder :", ':', Help::none, {Cap::light, 26}},
    {KeyKind::plus, {905, 528, 98, 70}, "Plus", "+", "", "+", 0, Help::none, {Cap::light, 26}},
    {KeyKind::times, {1030, 528, 100, 70}, "Mal", "×", "", "*", 0, Help::none, {Cap::light, 26}},
    {KeyKind::equals, {905, 620, 228, 70}, "Gleich", "=", "", "Eingabetaste oder =", 0, Help::none, {Cap::navy, 28}, {{{Qt::Key_Return}, {Qt::Key_Enter}}}},
    {KeyKind::ln, {1295, 268, 77, 37}, "Natürlicher Logarithmus", "ln", "eˣ", "", 0, Help::none, {Cap::ebony, 17}},
    {KeyKind::sin, {1420, 268, 83, 37}, "Sinus", "sin", "sin⁻¹", "", 0, Help::none, {Cap::ebony, 17}},
    {KeyKind::log, {1295, 360, 77, 37}, "Zehnerlogarithmus", "log", "10ˣ", "", 0, Help::none, {Cap::ebony, 17}},
    {KeyKind::cos, {1420, 360, 83, 37}, "Kosinus", "cos", "cos⁻¹", "", 0, Help::none, {Cap::ebony, 17}},
    {KeyKind::sqrt, {1295, 452, 77, 38}, "Quadratwurzel", "√x", "x²", "", 0, Help::none, {Cap::ebony, 17}},
    {KeyKind::tan, {1420, 452, 83, 38}, "Tangens", "tan", "tan⁻¹", "", 0, Help::none, {Cap::ebony, 17}},
    {KeyKind::recip, {1295, 545, 77, 37}, "Kehrwert", "1/x", "x!", "", 0, Help::none, {Cap::ebony, 17}},
    {KeyKind::toRect, {1420, 545, 83, 37}, "Polar- in kartesische Koordinaten", "→XY", "→rθ", "", 0, Help::none, {Cap::ebony, 16}},
    {KeyKind::toMetric, {1295, 638, 77, 38}, "Umrechnung ins metrische System", "→M", "M→", "", 0, Help::none, {Cap::ebony, 16}},
    {KeyKind::toRad, {1420, 638, 83, 38}, "Winkel ins Bogenmaß", "→RAD", "RAD→", "", 0, Help::none, {Cap::ebony, 15}},
    {KeyKind::back, {503, 60, 70, 35}, "Schritt zurück", "BACK", "RETURN", "Pfeil nach links", 0, Help::none, {Cap::charcoal, 14}, {{{Qt::Key_Left}}}},
    {KeyKind::fwd, {627, 60, 70, 35}, "Schritt vor", "FWD", "LABEL", "Pfeil nach rechts", 0, Help::none, {Cap::charcoal, 14}, {{{Qt::Key_Right}}}},
    {KeyKind::jump, {503, 152, 70, 36}, "Sprung", "JUMP", "BRANCH", "j", 'j', Help::none, {Cap::charcoal, 14}},
    {KeyKind::insert, {627, 152, 70, 36}, "Schritt einfügen", "INS", "DELETE", "", 0, Help::none, {Cap::charcoal, 14}},
}};
// clang-format on

namespace panel_detail {
constexpr std::array<int, keyCount> rowOfKey() {
    std::array<int, keyCount> slot{};
    slot.fill(-1);
    for (int i = 0; i < keyCount; ++i) {
        const int k = keyIndex(panelKeys[i].key);
        if (k < 0 || k >= keyCount || slot[k] != -1) return {};
        slot[k] = i;
    }
    return slot;
}
constexpr bool everyKeyOnce() {
    const auto slot = rowOfKey();
    for (int s : slot)
        if (s < 0) return false;
    return slot[0] != slot[1];
}
} // namespace panel_detail
static_assert(panel_detail::everyKeyOnce(), "every key of the machine has exactly one row on the panel");

// The key map as the help shows it: host keys on the left, what they press
// on the right, with the panel keys each line stands for.
struct KeyMapLine {
    const char* hosts;
    const char* meaning;
    std::array<Key, 11> keys; // the first `count`
    int count;
};
// clang-format off
inline constexpr std::array<KeyMapLine, 17> keyMapLines = {{
    {"0–9 , .", "Ziffern, Dezimalpunkt", {Key::digit(0), Key::digit(1), Key::digit(2), Key::digit(3), Key::digit(4), Key::digit(5), Key::digit(6), Key::digit(7), Key::digit(8), Key::digit(9), KeyKind::dot}, 11},
    {"+ − * / ^", "Rechenoperationen, aˣ", {KeyKind::plus, KeyKind::minus, KeyKind::times, KeyKind::divide, KeyKind::power}, 5},
    {"( )", "Klammern", {KeyKind::lparen, KeyKind::rparen}, 2},
    {"Return / =", "Gleich", {KeyKind::equals}, 1},
    {"Esc / ⌫", "CLEAR", {KeyKind::clear}, 1},
    {"⇧Esc", "RESET", {KeyKind::reset}, 1},
    {"f", "Funktionstaste f (gelb)", {KeyKind::f}, 1},
    {"Alt halten", "alle f-Funktionen einblenden", {}, 0},
    {"e", "EXP", {KeyKind::exp}, 1},
    {"n", "CHG SIGN", {KeyKind::chs}, 1},
    {"d", "D/M/S", {KeyKind::dms}, 1},
    {"s / r / x", "STₙ / RCLₙ / EXCHₙ", {KeyKind::store, KeyKind::recall, KeyKind::exchange}, 3},
    {"i", "IDENT", {KeyKind::ident}, 1},
    {"p / a", "PRINT / ADV", {KeyKind::printKey, KeyKind::adv}, 2},
    {"Leertaste", "START/STOP", {KeyKind::startStop}, 1},
    {"j", "JUMP", {KeyKind::jump}, 1},
    {"→ / ←", "FWD / BACK", {KeyKind::fwd, KeyKind::back}, 2},
}};
// clang-format on

inline const PanelKey& panelKey(Key key) {
    static constexpr auto slot = panel_detail::rowOfKey();
    return panelKeys[static_cast<std::size_t>(slot[static_cast<std::size_t>(keyIndex(key))])];
}

} // namespace vx
