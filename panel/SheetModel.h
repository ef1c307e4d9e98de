// SPDX-License-Identifier: GPL-3.0-or-later
// The program sheet's listing: one row per step, read from the machine when
// asked (never per step of a run), painted in the tape's type with a
// breakpoint margin and a quiet bar for the execution count.
#pragma once

#include "panel/SheetText.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>

#include <cstdint>
#include <vector>

namespace vx {

class Engine;

class SheetModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit SheetModel(const Engine& engine, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Reads the machine again; rows come and go with the program's length.
    void refresh();
    // One row per step up to the last non-empty one and an empty one after
    // it, or the whole memory.
    void setWholeMemory(bool whole);
    bool wholeMemory() const { return whole_; }

    // The step a row shows, and back (rows from 0, steps from 1).
    static int stepOf(int row) { return row + 1; }
    static int rowOf(int step) { return step - 1; }
    // The step the machine is at: where the next key is stored, the step
    // about to execute, the step being listed.
    int currentStep() const { return current_; }
    // A step marked from outside (a tape line's step), 0 for none.
    int markedStep() const { return marked_; }
    void mark(int step);

    const SheetText::Row& row(int r) const { return rows_[static_cast<std::size_t>(r)]; }
    bool breakpoint(int r) const { return breakpoints_[static_cast<std::size_t>(r)]; }
    std::uint64_t count(int r) const { return counts_[static_cast<std::size_t>(r)]; }
    std::uint64_t highestCount() const { return highest_; }

  private:
    int shownRows() const;
    const Engine& engine_;
    bool whole_ = false;
    int rowsShown_ = 1;
    int current_ = 1;
    int marked_ = 0;
    std::uint64_t highest_ = 0;
    std::vector<SheetText::Row> rows_;
    std::vector<bool> breakpoints_;
    std::vector<std::uint64_t> counts_;
};

// Paints a row as columns of the tape's type: the breakpoint margin, step,
// code, symbol, note (red for a missing label) and the count with its bar.
class SheetDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit SheetDelegate(const SheetModel& model, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The margin a click in which sets or clears a breakpoint.
    int marginWidth() const;
    QFont font() const;
    // The chosen row's mark, apart from the counter's highlight.
    static const QColor selectionColour;

  private:
    const SheetModel& model_;
};

} // namespace vx
