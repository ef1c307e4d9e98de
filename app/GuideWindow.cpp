// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GuideWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextImageFormat>

#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

namespace vx {

GuideWindow::GuideWindow(const QString& path, QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Bedienungsanleitung"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);
    browser_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()),
                        QTextDocument::MarkdownResource);
    layout->addWidget(browser_);
    // Links within the guide go to their heading; others to the desktop's browser.
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.hasFragment() && (url.path().isEmpty() || url.path() == browser_->source().path()))
            showHeading(url.fragment());
        else
            QDesktopServices::openUrl(url);
    });
    resize(760, 820);
    browser_->viewport()->installEventFilter(this);
    fitImages();
}

bool GuideWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == browser_->viewport() && event->type() == QEvent::Resize) fitImages();
    return QWidget::eventFilter(watched, event);
}

int GuideWindow::widestImage() const {
    int widest = 0;
    QTextDocument* document = browser_->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
            if (image.isValid()) widest = std::max(widest, static_cast<int>(image.width()));
        }
    return widest;
}

void GuideWindow::fitImages() {
    // A picture is never wider than the text column: wider ones are shown
    // smaller, in their own proportions, instead of needing a sideways scroll.
    QTextDocument* document = browser_->document();
    const double column = browser_->viewport()->width() - 2 * document->documentMargin() - 4;
    if (column <= 0) return;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            if (!image.isValid()) continue;
            const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(image.name()));
            const QSize natural = resource.value<QImage>().isNull() ? resource.value<QPixmap>().size()
                                                                    : resource.value<QImage>().size();
            if (natural.isEmpty()) continue;
            const double width = std::min<double>(natural.width(), column);
            if (qFuzzyCompare(image.width(), width)) continue;
            image.setWidth(width);
            image.setHeight(width * natural.height() / natural.width());
            QTextCursor cursor(document);
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(image);
        }
}

QString GuideWindow::anchorFor(const QString& heading) {
    // As the guide's table of contents writes them: lower case, words joined
    // by "-", punctuation dropped.
    QString anchor;
    for (QChar c : heading.toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            anchor += c;
        else if (c == QLatin1Char(' '))
            anchor += QLatin1Char('-');
    }
    return anchor;
}

bool GuideWindow::showHeading(const QString& anchor) {
    QTextDocument* document = browser_->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || anchorFor(block.text()) != anchor) continue;
        QTextCursor cursor(block);
        browser_->setTextCursor(cursor);
        // The heading at the top of the view, not just somewhere in it.
        browser_->verticalScrollBar()->setValue(browser_->verticalScrollBar()->maximum());
        browser_->ensureCursorVisible();
        return true;
    }
    return false;
}

QStringList GuideWindow::places() {
    const QString name = QStringLiteral("Bedienungsanleitung.md");
    return {QDir::cleanPath(QCoreApplication::applicationDirPath() +
                            QStringLiteral("/../share/doc/veltranix/") + name),
            QStringLiteral(VX_INSTALLED_DOCDIR "/") + name, QStringLiteral(VX_SOURCE_DIR "/docs/") + name};
}

std::optional<QString> GuideWindow::find(const QStringList& places) {
    for (const QString& place : places)
        if (QFileInfo(place).isFile()) return place;
    return std::nullopt;
}

} // namespace vx
