#pragma once

#include <QString>
#include <QStringList>

// The genre names the tag panel's genre box offers, in list order: "Unknown"
// first, then 115 genre names. List positions are not genre numbers (the list
// goes from "Swing" straight to "Bebob").
const QStringList& panelGenreList();

// The completion of a typed genre prefix: the position of the first entry of
// list whose first typed.size() characters equal typed, ignoring case; -1
// when none does. The empty prefix matches the first entry.
int findGenreCompletion(const QStringList& list, const QString& typed);
