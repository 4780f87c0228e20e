#include "nameplanner.h"

#include "text/texthelpers.h"

#include <QDir>

#include <cstdlib>

namespace {

const QString kNoValidName = QStringLiteral(" (Could Not Make A Valid Filename From Internal Tags)");
const QString kNoValidCleanName = QStringLiteral(" (Could Not Make A Valid Filename)");
const QString kIncomplete = QStringLiteral(" (Internal Tags Incomplete)");
const QString kHidden = QStringLiteral(" (Hidden File)");

// Control characters (line feed, tab, ...) would split log lines and make
// names no list shows properly: they become spaces.
QString withoutControls(QString text)
{
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text;
}

// A name beginning with a dot is hidden from every list: the dots (and the
// spaces after them) go.
QString withoutLeadingDots(const QString& text)
{
    if (!text.startsWith(QLatin1Char('.')))
        return text;
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char('.') || text.at(i) == QLatin1Char(' ')))
        ++i;
    return text.mid(i);
}

// ".flac" for "Song.FLAC"; "" for a name without a dot.
QString extensionOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

} // namespace

NamePlanner::NamePlanner(
    const AutoFormat& format, const RenameCleanupRules& rules, bool allParts, const Options& options)
    : m_fromTags(trimSpaces(format.formatString) != QLatin1String("None"))
    , m_rules(rules)
    , m_separator(runSeparator(rules))
    , m_allParts(allParts)
    , m_twoDigitTracks(rules.useOptions && options.useFormattedTrack)
    , m_options(options)
{
    for (const QString& part : format.parts) {
        FieldId id;
        if (fieldByName(part, &id))
            m_fields << id;
    }
}

bool NamePlanner::leaveHidden(PlannedFile* f)
{
    if (!f->name.startsWith(QLatin1Char('.')))
        return false;
    f->outcome = PlannedFile::Outcome::Skip;
    f->reason = kHidden;
    return true;
}

QString NamePlanner::partText(int number) const
{
    // The two-digit form of 0 is blank: it adds nothing.
    return m_twoDigitTracks ? formatTrack(number, m_options) : QString::number(number);
}

QStringList NamePlanner::nameParts(const NameTags& tags, bool* missing) const
{
    QStringList parts;
    *missing = false;
    for (FieldId id : m_fields) {
        QString text;
        switch (id) {
        case FieldId::Track:
            text = partText(std::abs(tags.track));
            break;
        case FieldId::TotalTracks:
            text = partText(std::abs(tags.totalTracks));
            break;
        default:
            text = tags.texts[int(id)];
            break;
        }
        const QString t = trimSpaces(withoutLeadingDots(trimSpaces(withoutControls(text))));
        if (!t.isEmpty())
            parts << t;
        else if (m_allParts)
            *missing = true;
    }
    return parts;
}

void NamePlanner::plan(PlannedFile* f, const NameTags& tags) const
{
    QString base;
    if (m_fromTags) {
        bool missing = false;
        const QStringList parts = nameParts(tags, &missing);
        if (parts.isEmpty() || missing) {
            f->outcome = PlannedFile::Outcome::Skip;
            f->reason = parts.isEmpty() ? kNoValidName : kIncomplete;
            return;
        }
        base = parts.join(m_separator);
    } else {
        base = beforeLast(f->name, QLatin1Char('.'));
    }
    // Filters may put back what the tag values were cleared of.
    const QString cleaned = withoutLeadingDots(withoutControls(massRenameCleanup(base, m_rules)));
    if (trimSpaces(cleaned).isEmpty()) {
        f->outcome = PlannedFile::Outcome::Skip;
        f->reason = m_fromTags ? kNoValidName : kNoValidCleanName;
        return;
    }
    // The file keeps its own extension, in lower case as ".mp3" always was.
    f->newName = cleaned + extensionOf(f->name);
    f->outcome = f->newName == f->name ? PlannedFile::Outcome::SameName : PlannedFile::Outcome::Rename;
}

NameCollision PlannedNames::take(const QString& dir, const QString& name, const QString& newName)
{
    QSet<QString>& present = names(dir);
    if (present.contains(newName))
        return m_added[dir].contains(newName) ? NameCollision::InsideRun : NameCollision::ExistingFile;
    present.remove(name);
    present.insert(newName);
    m_added[dir].insert(newName);
    return NameCollision::None;
}

QSet<QString>& PlannedNames::names(const QString& dir)
{
    auto it = m_present.find(dir);
    if (it == m_present.end()) {
        const QStringList names
            = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        it = m_present.insert(dir, QSet<QString>(names.begin(), names.end()));
    }
    return *it;
}
