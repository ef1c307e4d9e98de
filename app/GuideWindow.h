// SPDX-License-Identifier: GPL-3.0-or-later
// The user guide in a window of its own: the Markdown file with its
// pictures, the table of contents working as links. No browser needed.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>

class QTextBrowser;

namespace vx {

class GuideWindow : public QWidget {
    Q_OBJECT
  public:
    explicit GuideWindow(const QString& path, QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }
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

    // The width the widest picture is shown at, in pixels.
    int widestImage() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void fitImages();
    QTextBrowser* browser_;
};

} // namespace vx
