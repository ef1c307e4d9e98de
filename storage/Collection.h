// SPDX-License-Identifier: GPL-3.0-or-later
// The program collection that comes with the calculator: one library file
// per area and model, in the library's own text format, installed read-only
// beside the program. Nothing here ever writes them; a program taken from
// the collection reaches the user's library only as a copy.
#pragma once

#include "engine/Types.h"
#include "storage/SavedProgram.h"

#include <QString>

#include <optional>
#include <vector>

namespace vx {

struct CollectionArea {
    QString title; // "Technik und Vermessung"
    std::vector<SavedProgram> programs;
};

class Collection {
  public:
    // `folder` holds one folder per model ("410", "412"); an empty or
    // missing folder is an empty collection.
    explicit Collection(QString folder) : folder_(std::move(folder)) {}
    // Where the collection was installed, or the copy in the build tree when
    // the program runs from there; empty when there is none.
    static QString installedFolder();

    // The areas of the model, each with its programs; read once.
    const std::vector<CollectionArea>& areas(Model model) const;
    // The collection program the memory holds, if the steps are one.
    std::optional<SavedProgram> holding(const std::vector<Step>& steps, Model model) const;

  private:
    QString folder_;
    mutable std::optional<std::vector<CollectionArea>> read_[2];
};

} // namespace vx
