// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for the snapshot's whole process: a bare Qt program that starts on
// the off-screen platform, decodes a PNG and writes it again.
//   snapshot_floor IN.png OUT.png
#include <QGuiApplication>
#include <QImage>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) return 2;
    QImage image(QString::fromLocal8Bit(argv[1]));
    return image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
