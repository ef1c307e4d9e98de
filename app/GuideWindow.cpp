// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GuideWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QSplitter>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QTreeWidget>

#include <QScrollBar>
#include <QShortcut>
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
    layout->setSpacing(0);

    // The search line above the text.
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 6, 8, 6);
    search_ = new QLineEdit(this);
    search_->setPlaceholderText(QStringLiteral("Suchen … (Strg+F)"));
    search_->setClearButtonEnabled(true);
    search_->setAccessibleName(QStringLiteral("In der Anleitung suchen"));
    found_ = new QLabel(this);
    found_->setMinimumWidth(110);
    bar->addWidget(search_, 1);
    bar->addWidget(found_);
    layout->addLayout(bar);

    auto* split = new QSplitter(this);
    contents_ = new QTreeWidget(split);
    contents_->setHeaderHidden(true);
    contents_->setAccessibleName(QStringLiteral("Inhalt"));
    browser_ = new QTextBrowser(split);
    browser_->setOpenLinks(false);
    browser_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()),
                        QTextDocument::MarkdownResource);
    split->addWidget(contents_);
    split->addWidget(browser_);
    // The guide is always longer than its window: a scroll bar that came
    // and went would change the column the pictures were fitted to.
    browser_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    split->setStretchFactor(1, 1);
    split->setSizes({220, 760});
    layout->addWidget(split, 1);
    fillContents();
    connect(contents_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { showHeading(item->data(0, Qt::UserRole).toString()); });
    connect(contents_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showHeading(item->data(0, Qt::UserRole).toString()); });

    connect(search_, &QLineEdit::textChanged, this, [this] { markHits(); });
    connect(search_, &QLineEdit::returnPressed, this,
            [this] { findNext(QGuiApplication::keyboardModifiers() & Qt::ShiftModifier); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this, [this] {
        search_->setFocus();
        search_->selectAll();
    });
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this,
            [this] { findNext(); });
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this), &QShortcut::activated, this,
            [this] { findNext(true); });
    // Links within the guide go to their heading; others to the desktop's browser.
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.hasFragment() && (url.path().isEmpty() || url.path() == browser_->source().path()))
            showHeading(url.fragment());
        else
            QDesktopServices::openUrl(url);
    });
    resize(980, 820);
    // Closed as help windows are: Esc and Ctrl+W.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    browser_->viewport()->installEventFilter(this);
    browser_->installEventFilter(this);
    fitImages();
    browser_->setFocus();
}

bool GuideWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == browser_->viewport() && event->type() == QEvent::Resize) fitImages();
    // Space pages on as in every reader; Shift+Space back.
    if (watched == browser_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        const bool back = static_cast<QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier;
        browser_->verticalScrollBar()->triggerAction(back ? QAbstractSlider::SliderPageStepSub
                                                          : QAbstractSlider::SliderPageStepAdd);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void GuideWindow::fillContents() {
    // Level 2 headings are the chapters, level 3 their sections; the
    // guide's own table of contents is left out.
    QTreeWidgetItem* chapter = nullptr;
    QTextDocument* document = browser_->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 2 || level > 3 || block.text() == QStringLiteral("Inhalt")) continue;
        QTreeWidgetItem* item =
            level == 2 || !chapter ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(chapter);
        if (level == 2) chapter = item;
        item->setText(0, block.text());
        item->setData(0, Qt::UserRole, anchorFor(block.text()));
    }
}

void GuideWindow::markHits() {
    QList<QTextEdit::ExtraSelection> marks;
    const QString text = search_->text();
    if (!text.isEmpty()) {
        QTextDocument* document = browser_->document();
        QTextCharFormat mark;
        mark.setBackground(QColor(255, 222, 89));
        for (QTextCursor at = document->find(text); !at.isNull(); at = document->find(text, at))
            marks.append({at, mark});
    }
    hits_ = static_cast<int>(marks.size());
    browser_->setExtraSelections(marks);
    found_->setText(text.isEmpty() ? QString()
                    : hits_ == 0   ? QStringLiteral("nicht gefunden")
                    : hits_ == 1   ? QStringLiteral("1 Stelle")
                                   : QStringLiteral("%1 Stellen").arg(hits_));
}

bool GuideWindow::findNext(bool backwards) {
    const QString text = search_->text();
    if (text.isEmpty()) return false;
    markHits();
    const QTextDocument::FindFlags flags =
        backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    QTextDocument* document = browser_->document();
    QTextCursor at = document->find(text, browser_->textCursor(), flags);
    // Past the last hit the search starts again from the other end.
    if (at.isNull()) {
        QTextCursor end(document);
        if (backwards) end.movePosition(QTextCursor::End);
        at = document->find(text, end, flags);
    }
    if (at.isNull()) return false;
    browser_->setTextCursor(at);
    browser_->ensureCursorVisible();
    return true;
}

void GuideWindow::placeBeside(const QWidget& panel) {
    const QScreen* screen = panel.screen() ? panel.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect free = screen->availableGeometry();
    // Room for the window manager's frame around the guide, whose size is
    // known only once the guide is shown.
    const QMargins frame(8, 40, 8, 8);
    resize(std::min(width(), free.width() - frame.left() - frame.right()),
           std::min(height(), free.height() - frame.top() - frame.bottom()));
    const QSize outer = size().grownBy(frame);
    // A window is moved by its frame's corner: `at` is where the frame goes.
    const QRect beside = panel.frameGeometry();
    QPoint at;
    if (beside.right() + outer.width() <= free.right())
        at = QPoint(beside.right() + 1, beside.top());
    else if (beside.left() - outer.width() >= free.left())
        at = QPoint(beside.left() - outer.width(), beside.top());
    else
        at =
            free.topLeft() + QPoint((free.width() - outer.width()) / 2, (free.height() - outer.height()) / 2);
    at.setY(std::clamp(at.y(), free.top(), free.bottom() + 1 - outer.height()));
    move(at);
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
    // smaller, in their own proportions, instead of needing a sideways
    // scroll. Each is drawn from a copy scaled smoothly to the pixels it
    // covers on this screen, so that it stays crisp at every scale.
    QTextDocument* document = browser_->document();
    const double column = browser_->viewport()->width() - 2 * document->documentMargin() - 4;
    if (column <= 0) return;
    const double ratio = devicePixelRatioF();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat image = fragment.charFormat().toImageFormat();
            if (!image.isValid()) continue;
            QString source = image.property(QTextFormat::UserProperty).toString();
            if (source.isEmpty()) source = image.name();
            const QVariant resource = document->resource(QTextDocument::ImageResource, QUrl(source));
            const QImage natural = resource.value<QImage>().isNull() ? resource.value<QPixmap>().toImage()
                                                                     : resource.value<QImage>();
            if (natural.isNull()) continue;
            const double width = std::min<double>(natural.width(), column);
            const QString name = QStringLiteral("%1#%2@%3").arg(source).arg(width).arg(ratio);
            if (image.name() == name) continue;
            QImage scaled =
                natural.scaledToWidth(static_cast<int>(std::lround(width * ratio)), Qt::SmoothTransformation);
            scaled.setDevicePixelRatio(ratio);
            document->addResource(QTextDocument::ImageResource, QUrl(name), scaled);
            image.setName(name);
            image.setProperty(QTextFormat::UserProperty, source);
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
