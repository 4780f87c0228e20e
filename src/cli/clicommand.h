#pragma once

#include "tags/fieldcatalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// What one `velmora-cli SUBCOMMAND ...` asks for, read from the arguments
// alone.
struct CliCommand {
    enum class Name { Help, Version, Info, Tag, Strip, Undo, Rename, MassRename, Playlist };
    Name name = Name::Help;
    QStringList files; // info, tag, strip; undo: "last" or a journal
    bool json = false; // info: one JSON object per line
    QList<std::pair<FieldId, QString>> sets; // tag --set FIELD=VALUE, in order
    QList<FieldId> clears; // tag --clear FIELD
    QString mask; // rename --mask: "" cleans the names
    QString format; // mass-rename --format: "" cleans the names
    bool subdirs = false; // mass-rename --subdirs
    bool log = false; // mass-rename --log
    bool preview = false; // mass-rename --preview: print, change nothing
    bool noSettings = false; // rename, mass-rename: the default options and no filters
    QString output; // playlist --output NAME
    QString error; // why the arguments were refused: "" when they were not
};

// Reads the arguments after the program's name. A field is named as the tag
// panel names it, in any case, with or without blanks ("Total Tracks",
// "totaltracks"; "Song" is Title).
CliCommand cliCommandFor(const QStringList& arguments);

// The field a command-line name means; false when none.
bool cliFieldByName(const QString& name, FieldId* out);

// The usage page.
QString cliUsageText();
