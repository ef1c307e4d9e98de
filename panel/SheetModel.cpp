// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/SheetModel.h"

#include "engine/Engine.h"
#include "panel/TapeView.h"
#include "panel/Theme.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

namespace vx {

SheetModel::SheetModel(const Engine& engine, QObject* parent)
    : QAbstractTableModel(parent), engine_(engine), rows_(Codes::steps), breakpoints_(Codes::steps),
      counts_(Codes::steps) {
    refresh();
}

int SheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowsShown_;
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 1;
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowsShown_) return {};
    const int r = index.row();
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return SheetText::sentence(row(r), breakpoint(r), count(r));
    return {};
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section == 0)
        return QStringLiteral("Schritt, Code, Symbol, Hinweis, Zähler");
    return {};
}

int SheetModel::shownRows() const {
    if (whole_) return Codes::steps;
    const int last = static_cast<int>(engine_.programSteps().size());
    // The row after the last step, where the next step would go; and the
    // machine's own step whereever it is.
    return std::min(Codes::steps, std::max(last + 1, current_));
}

void SheetModel::refresh() {
    const std::vector<ProgramFacts::StepFacts> facts =
        ProgramFacts::describe(engine_.program(), engine_.model());
    const auto& counts = engine_.executionCounts();
    highest_ = 0;
    for (int step = 1; step <= Codes::steps; ++step) {
        const auto i = static_cast<std::size_t>(step - 1);
        rows_[i] = SheetText::row(engine_, facts, step);
        breakpoints_[i] = engine_.breakpoint(step);
        counts_[i] = i < counts.size() ? counts[i] : 0;
        highest_ = std::max(highest_, counts_[i]);
    }
    current_ = engine_.pc();
    // A listing has moved on to the next step by the time its line shows.
    if (engine_.listing() && !engine_.tape().empty() && engine_.tape().back().step)
        current_ = engine_.tape().back().step;
    const int wanted = shownRows();
    if (wanted > rowsShown_) {
        beginInsertRows({}, rowsShown_, wanted - 1);
        rowsShown_ = wanted;
        endInsertRows();
    } else if (wanted < rowsShown_) {
        beginRemoveRows({}, wanted, rowsShown_ - 1);
        rowsShown_ = wanted;
        endRemoveRows();
    }
    emit dataChanged(index(0, 0), index(rowsShown_ - 1, 0));
}

void SheetModel::setWholeMemory(bool whole) {
    whole_ = whole;
    refresh();
}

void SheetModel::mark(int step) {
    marked_ = step;
    emit dataChanged(index(0, 0), index(rowsShown_ - 1, 0));
}

SheetDelegate::SheetDelegate(const SheetModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QFont SheetDelegate::font() const {
    QFont f(Theme::monoFamily());
    f.setPointSizeF(QApplication::font().pointSizeF() > 0 ? QApplication::font().pointSizeF() : 10);
    return f;
}

int SheetDelegate::marginWidth() const {
    return QFontMetrics(font()).height() + 6;
}

QSize SheetDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    const QFontMetrics m(font());
    return {marginWidth() + m.horizontalAdvance(QLatin1Char('0')) * 56, m.height() + 4};
}

const QColor SheetDelegate::selectionColour = QColor(38, 110, 200);

void SheetDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int r = index.row();
    const QPalette& pal = option.palette;
    const bool current = SheetModel::stepOf(r) == model_.currentStep();
    const bool marked = SheetModel::stepOf(r) == model_.markedStep();
    QColor back = current ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base);
    if (!current && r % 2) back = pal.color(QPalette::AlternateBase);
    p->save();
    p->fillRect(option.rect, back);
    // The row the user chose (by a click or Up and Down; F9 and "Haltepunkt"
    // act on it): a tint and a bar at its left edge, apart from the counter's.
    if (option.state & QStyle::State_Selected) {
        QColor tint = selectionColour;
        tint.setAlpha(current ? 0 : 45);
        p->fillRect(option.rect, tint);
        p->fillRect(QRect(option.rect.left(), option.rect.top(), 4, option.rect.height()),
                    current ? pal.color(QPalette::HighlightedText) : selectionColour);
    }
    const QColor text = current ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);
    const bool dark = pal.color(QPalette::Base).lightness() < 128;
    const QColor red = dark && !current ? QColor(255, 120, 110) : TapeGeometry::inkRed;
    const QFontMetrics m(font());
    const int ch = m.horizontalAdvance(QLatin1Char('0'));
    const QRect all = option.rect;
    // The margin: a round mark for a breakpoint.
    const int margin = marginWidth();
    if (model_.breakpoint(r)) {
        const int d = m.height() - 4;
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(Qt::NoPen);
        p->setBrush(TapeGeometry::inkRed);
        p->drawEllipse(QRect(all.left() + (margin - d) / 2, all.top() + (all.height() - d) / 2, d, d));
    }
    // The count's bar, quiet and behind its figure, longest for the hottest step.
    const std::uint64_t count = model_.count(r), highest = model_.highestCount();
    const int barLeft = all.left() + margin + ch * 46, barWidth = std::max(0, all.right() - barLeft - 2);
    if (count > 0 && highest > 0) {
        QColor bar = pal.color(QPalette::Highlight);
        bar.setAlpha(current ? 110 : 70);
        const double share = static_cast<double>(count) / static_cast<double>(highest);
        p->fillRect(
            QRect(barLeft, all.top() + 2, std::max(2, static_cast<int>(share * barWidth)), all.height() - 4),
            bar);
    }
    p->setFont(font());
    const SheetText::Row& row = model_.row(r);
    auto at = [&](int column, int width, const QString& s, const QColor& colour, int align = Qt::AlignLeft) {
        p->setPen(colour);
        p->drawText(QRect(all.left() + margin + column * ch, all.top(), width * ch, all.height()),
                    align | Qt::AlignVCenter, s);
    };
    at(0, 3, row.step, text);
    at(5, 3, row.code, text);
    at(10, 4, row.symbol, text);
    at(16, 29, m.elidedText(row.note, Qt::ElideRight, 29 * ch), row.missing ? red : text);
    if (count > 0) at(46, std::max(1, barWidth / ch), SheetText::grouped(count), text);
    if (marked) {
        p->setPen(QPen(pal.color(current ? QPalette::HighlightedText : QPalette::Highlight), 2));
        p->setBrush(Qt::NoBrush);
        p->drawRect(all.adjusted(1, 1, -1, -1));
    }
    p->restore();
}

} // namespace vx
