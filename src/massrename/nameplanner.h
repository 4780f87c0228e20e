#pragma once

#include "autoformat.h"
#include "massrenameview.h"
#include "renamecleanup.h"

#include "settings/options.h"
#include "tags/fieldcatalogue.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>

// What one file of a run comes to, decided before anything is changed.
struct PlannedFile {
    enum class Outcome { Rename, SameName, Skip, ZeroLength, Unreadable };
    QString dir; // ends in "/"
    QString name;
    QString newName; // the name it gets (Rename, SameName), else ""
    Outcome outcome = Outcome::Skip;
    QString reason; // Skip: " (...)"; Unreadable: the error's description
    NameCollision collision = NameCollision::None;
};

// The tag values a name is built from: each field's text, and the track
// numbers as numbers (their text depends on the options).
struct NameTags {
    std::array<QString, kFieldCount> texts;
    int track = 0;
    int totalTracks = 0;
};

// How one run turns a file's tag values, or its present name, into its new
// name. Names made here never begin with a dot and never hold a control
// character.
class NamePlanner {
public:
    NamePlanner() = default;
    // allParts: every field the format names must have a value. options:
    // the track's two-digit form, used only when rules.useOptions.
    NamePlanner(const AutoFormat& format, const RenameCleanupRules& rules, bool allParts, const Options& options);

    // False for "None": the present names are cleaned up.
    bool fromTags() const { return m_fromTags; }
    // The fields the format names, in its order; names of no field are left
    // out (they add nothing and are never missing).
    const QList<FieldId>& fields() const { return m_fields; }

    // A hidden name (".name") is left as it is: f becomes a Skip.
    static bool leaveHidden(PlannedFile* f);
    // The name parts from tags, each a field's value cleaned of control
    // characters, leading dots and outer spaces; blank values add nothing.
    // *missing: the run requires every field and one is blank.
    QStringList nameParts(const NameTags& tags, bool* missing) const;
    // Decides f (dir and name set, the file readable) from its tags (a run
    // from tags) or its present name (tags unused): Rename, SameName or Skip
    // with its reason.
    void plan(PlannedFile* f, const NameTags& tags) const;

private:
    QString partText(int number) const;

    bool m_fromTags = false;
    QList<FieldId> m_fields;
    RenameCleanupRules m_rules;
    QString m_separator;
    bool m_allParts = false;
    bool m_twoDigitTracks = false;
    Options m_options;
};

// Which names a preview's renames would meet, folder by folder: what the
// folder holds now, changed by each rename planned before.
class PlannedNames {
public:
    // Whether newName is free in dir; when it is, the rename of name to it
    // is counted as made.
    NameCollision take(const QString& dir, const QString& name, const QString& newName);

private:
    QSet<QString>& names(const QString& dir);

    QHash<QString, QSet<QString>> m_present;
    QHash<QString, QSet<QString>> m_added;
};
