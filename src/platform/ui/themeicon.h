#pragma once

#include <QIcon>
#include <QString>

// The drawings Velmora falls back on where the desktop's icon theme has no
// icon of a name.
enum class IconGlyph {
    Apply, // a tick
    List, // lines of a list with a pen: a whole folder renamed
    Tag, // a luggage tag
    Sliders, // options
    Funnel, // filters
    Play, // a triangle
    Trash, // a waste bin
    Refresh, // a circular arrow
    PlayList, // lines and a note
    About, // "i" in a circle
    Help, // "?" in a circle
    Exit, // an arrow leaving a door
    Save, // a floppy disk
    Remove, // a minus in a circle
    Clear, // a cross
    Open, // a folder
};

// The theme's icon of this freedesktop name, else Velmora's own drawing of
// glyph. The drawing is made when painted, in the palette's text colour
// over an outline of its window colour, so it stays visible on dark and
// light themes alike, and greyed when disabled.
QIcon themeIcon(const QString& name, IconGlyph glyph);

// The drawing alone (what themeIcon falls back on).
QIcon glyphIcon(IconGlyph glyph);
