// SPDX-License-Identifier: GPL-3.0-or-later
// The user guide in a window of its own: the Markdown file with its
// pictures, the table of contents working as links. No browser needed.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QTreeWidget;

namespace vx {

class GuideWindow : public QWidget {
    Q_OBJECT
  public:
    explicit GuideWindow(const QString& path, QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }
    // The contents beside the text: the guide's headings, a click goes there.
    QTreeWidget* contents() const { return contents_; }
    // The search field (Ctrl+F); Enter and F3 go to the next hit, Shift
    // with them to the one before.
    QLineEdit* searchField() const { return search_; }
    // Marks every place the search field's text stands and goes to the next
    // (or the one before); false when there is none.
    bool findNext(bool backwards = false);
    // How many places are marked.
    int hits() const { return hits_; }
    // Scrolls to the heading whose link name ("#das-bedienfeld") is `anchor`.
    bool showHeading(const QString& anchor);

    // Where the guide is looked for, in this order: beside the installed
    // program, the installation's documentation folder, the source tree of
    // an uninstalled build.
    static QStringList places();
    // The first of `places` that exists.
    static std::optional<QString> find(const QStringList& places);
    // The link name of a heading as in the guide's table of contents.
    static QString anchorFor(const QString& heading);

    // Opens wholly on the panel's screen: beside the panel where there is
    // room, else in the middle of the screen, never larger than the screen.
    void placeBeside(const QWidget& panel);

    // The width the widest picture is shown at, in pixels.
    int widestImage() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fitImages();
    void fillContents();
    void markHits();
    QTextBrowser* browser_;
    QTreeWidget* contents_;
    QLineEdit* search_;
    QLabel* found_;
    int hits_ = 0;
};

} // namespace vx
