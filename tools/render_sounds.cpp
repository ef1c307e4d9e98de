// SPDX-License-Identifier: GPL-3.0-or-later
// Writes each of the machine's sounds as a WAV file and draws them one
// under the other into a PNG, to listen to and look at: on the left the
// waveform over half a second, on the right the spectrum up to 12 kHz.
//   render_sounds FOLDER
#include "panel/Sounds.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace vx;

namespace {
void put(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}
void writeWav(const std::string& path, const Sounds::Samples& s) {
    std::ofstream out(path, std::ios::binary);
    const auto data = static_cast<std::uint32_t>(s.size() * 2);
    out << "RIFF";
    put(out, 36 + data, 4);
    out << "WAVEfmt ";
    put(out, 16, 4), put(out, 1, 2), put(out, 1, 2), put(out, Sounds::rate, 4), put(out, Sounds::rate * 2, 4);
    put(out, 2, 2), put(out, 16, 2);
    out << "data";
    put(out, data, 4);
    for (const float v : s) put(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767)), 2);
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv); // for the labels' font
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_sounds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<std::pair<std::string, Sounds::Samples>> sounds = {
        {"key", Sounds::keyClick(false)},
        {"start-stop", Sounds::keyClick(true)},
        {"line", Sounds::printerLine(11, 0.5)},
        {"adv", Sounds::printerLine(0, 0.5)},
        {"tear", Sounds::tear()},
        {"switch", Sounds::slideSwitch(false)},
        {"power", Sounds::slideSwitch(true)}};
    const int width = 1200, spectrumWidth = 400, row = 120;
    QImage image(width + spectrumWidth, row * static_cast<int>(sounds.size()), QImage::Format_RGB32);
    image.fill(QColor(250, 248, 240));
    QPainter p(&image);
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        const auto& [name, samples] = sounds[i];
        writeWav(folder + "/" + name + ".wav", samples);
        const int mid = static_cast<int>(i) * row + row / 2;
        p.setPen(QColor(120, 120, 120));
        p.drawText(6, mid - row / 2 + 16, QString::fromStdString(name));
        p.setPen(QColor(30, 60, 140));
        // Half a second across the width, for every sound alike.
        for (std::size_t k = 0; k < samples.size(); ++k) {
            const int x = static_cast<int>(static_cast<double>(k) / (0.5 * Sounds::rate) * width);
            p.drawLine(x, mid, x, mid - static_cast<int>(samples[k] * row / 2));
        }
        // The magnitude at each of 200 frequencies up to 12 kHz, in decibels below the strongest.
        std::vector<double> level(200);
        for (std::size_t b = 0; b < level.size(); ++b) {
            const double f = 12000.0 * static_cast<double>(b + 1) / static_cast<double>(level.size());
            double re = 0, im = 0;
            for (std::size_t k = 0; k < samples.size(); ++k) {
                const double phase = 2 * 3.141592653589793 * f * static_cast<double>(k) / Sounds::rate;
                re += samples[k] * std::cos(phase);
                im -= samples[k] * std::sin(phase);
            }
            level[b] = std::hypot(re, im);
        }
        const double strongest = *std::max_element(level.begin(), level.end());
        p.setPen(QColor(160, 60, 40));
        const int bottom = static_cast<int>(i + 1) * row - 6;
        for (std::size_t b = 0; b < level.size(); ++b) {
            const double db = std::max(-60.0, 20 * std::log10(std::max(level[b], 1e-12) / strongest));
            const int x = width + static_cast<int>(b * spectrumWidth / level.size());
            p.drawLine(x, bottom, x, bottom - static_cast<int>((db + 60) / 60 * (row - 24)));
        }
    }
    p.end();
    image.save(QString::fromStdString(folder + "/sounds.png"));
    return 0;
}
