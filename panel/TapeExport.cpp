// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/TapeExport.h"

#include "panel/TapeView.h"
#include "panel/Theme.h"
#include "storage/SafeFile.h"
#include "storage/UserFiles.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace vx::TapeExport {

QString text(const Tape& tape) {
    QString out;
    for (const TapeLine& line : tape) out += QString::fromStdString(line.printed()) + QLatin1Char('\n');
    return out;
}

QImage image(const Tape& tape, std::uint32_t tearSeed) {
    // The paper's width on the panel, at the 100 % zoom (the panel's units are 150 %).
    const double scale = 100.0 / 150.0;
    const double paperWidth = TapeView::baseWidth - 24;
    const QSizeF size(paperWidth, TapeGeometry::stripHeight(tape.size(), paperWidth));
    QImage picture(QSizeF(size * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.scale(scale, scale);
    TapeGeometry::paint(p, size, tape, tearSeed, 0);
    return picture;
}

bool paintPages(QPagedPaintDevice& device, const Tape& tape) {
    QPainter p;
    if (!p.begin(&device)) return false;
    // Draw in points, whatever the device's resolution.
    const double toDevice = device.logicalDpiY() / 72.0;
    p.scale(toDevice, toDevice);
    const QSizeF page(device.width() / toDevice, device.height() / toDevice);

    // Sizes in pixels of the scaled painter are points on the page.
    QFont font = Theme::font(Theme::monoFamily(), 10);
    font.setPixelSize(10);
    const double charWidth = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    const double line = 13;
    // The strip as on screen: eighteen columns with one column of paper on either side.
    const double stripWidth = (TapeLine::columns + 2) * charWidth;
    const double left = (page.width() - stripWidth) / 2;
    const double top = 36, bottom = 48;
    const int perPage = std::max(1, static_cast<int>((page.height() - top - bottom) / line));
    const int pages = std::max(1, static_cast<int>((tape.size() + perPage - 1) / perPage));

    QFont small = Theme::font(Theme::sansFamily(), 8);
    small.setPixelSize(8);
    for (int n = 0; n < pages; ++n) {
        if (n > 0) device.newPage();
        const std::size_t first = static_cast<std::size_t>(n) * perPage;
        const std::size_t last = std::min(tape.size(), first + perPage);
        const double height = (last - first) * line + line;
        p.fillRect(QRectF(left, top - line / 2, stripWidth, height), TapeGeometry::paperColor);
        p.setFont(font);
        for (std::size_t i = first; i < last; ++i) {
            p.setPen(tape[i].red ? TapeGeometry::inkRed : TapeGeometry::inkBlack);
            p.drawText(QPointF(left + charWidth, top + (i - first + 1) * line - 3),
                       QString::fromStdString(tape[i].printed()));
        }
        p.setFont(small);
        p.setPen(QColor(110, 110, 110));
        p.drawText(QRectF(0, page.height() - bottom + 12, page.width(), 14), Qt::AlignCenter,
                   QStringLiteral("Seite %1 von %2").arg(n + 1).arg(pages));
    }
    return p.end();
}

std::optional<Format> formatFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) return Format::pdf;
    if (suffix == QLatin1String("txt")) return Format::text;
    if (suffix == QLatin1String("png")) return Format::png;
    return std::nullopt;
}

std::optional<QString> write(QIODevice& file, Format format, const Tape& tape, std::uint32_t tearSeed) {
    switch (format) {
    case Format::text: {
        const QByteArray bytes = text(tape).toUtf8();
        if (file.write(bytes) != bytes.size()) return file.errorString();
        return std::nullopt;
    }
    case Format::png: {
        if (tape.size() > maxImageLines)
            return QStringLiteral("Der Papierstreifen ist für ein Bild zu lang (mehr als 20.000 Zeilen); "
                                  "bitte als PDF sichern.");
        if (!image(tape, tearSeed).save(&file, "PNG")) return file.errorString();
        return std::nullopt;
    }
    case Format::pdf: {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("Papierstreifen"));
        writer.setCreator(QStringLiteral("Veltranix"));
        if (!paintPages(writer, tape)) return file.errorString();
        return std::nullopt;
    }
    }
    return std::nullopt;
}

std::optional<QString> save(const QString& path, const Tape& tape, std::uint32_t tearSeed) {
    const auto format = formatFor(path);
    if (!format) return QStringLiteral("unbekanntes Format (.pdf, .txt oder .png)");
    // Never onto a device or a FIFO, nor onto the user's settings or library.
    const SafeFile::Target target = SafeFile::target(SafeFile::fromQt(path), userFiles());
    if (target.refused) return target.refused;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (auto failed = write(buffer, *format, tape, tearSeed)) return failed;
    return SafeFile::write(target.path, buffer.data());
}

} // namespace vx::TapeExport
