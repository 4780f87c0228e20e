#pragma once

#include "tags/fieldcatalogue.h"

#include <array>

class QGridLayout;
class QLabel;
class QScrollArea;
class QWidget;

// The twenty labelled tag boxes of a tag panel, made for TagPanel to
// bind: each box carries its object name and tooltip, each label (object
// name "ID3Label<index>") the field name and the tooltip "ID3 Field Name".
// Row i of the grid holds label (column 0) and box (column 1); column 2 is
// left to the window (clear buttons, Included check boxes).
struct TagPanelWidgets {
    QScrollArea* area = nullptr; // the clip; its inner widget is ScrollPic
    QWidget* inner = nullptr; // ScrollPic
    QGridLayout* grid = nullptr;
    std::array<QWidget*, kFieldCount> boxes {};
    std::array<QLabel*, kFieldCount> labels {};
};

// Builds the panel as a new QScrollArea (object name "ContainerPic") child
// of parent.
TagPanelWidgets buildTagPanel(QWidget* parent);

// "Value Of The Artist ID3 Field" ("Original Artist" for Orig Artist).
QString tagBoxToolTip(int index);
