#include "nameeditsession.h"

#include "cleanup.h"
#include "nameedithost.h"
#include "nameparts.h"
#include "settings/preferences.h"
#include "text/texthelpers.h"

namespace {
// The tag fields offered as parts, in this order; Unique Key is never offered.
constexpr FieldId kOfferedFields[] = {
    FieldId::Artist,
    FieldId::Album,
    FieldId::Title,
    FieldId::Track,
    FieldId::TotalTracks,
    FieldId::Year,
    FieldId::Genre,
    FieldId::Comments,
    FieldId::UserText,
    FieldId::UserURL,
    FieldId::ArtistURL,
    FieldId::CopyRight,
    FieldId::Composer,
    FieldId::OrigArtist,
    FieldId::EncodedBy,
    FieldId::Mood,
    FieldId::Preference,
    FieldId::Situation,
    FieldId::Tempo,
};

// Adds text to entries as addPart does.
void addCandidate(QStringList& entries, const QString& text, const CleanupRules& rules)
{
    const QString blank = trimSpaces(text);
    if (blank.isEmpty() || blank == QLatin1String("0"))
        return;
    const QString cleaned = cleanupFileName(text, rules);
    const QString key = trimSpaces(cleaned.toUpper());
    for (const QString& e : entries)
        if (trimSpaces(e.toUpper()) == key)
            return;
    entries.append(cleaned);
}

QStringList folderCandidates(QString folder)
{
    // The tree may report the folder with its trailing "/"; the name is
    // still the last component.
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QString name = afterLast(folder, QLatin1Char('/'));
    return name.contains(QLatin1Char('-')) ? name.split(QLatin1Char('-')) : QStringList { name };
}
} // namespace

NameEditSession::NameEditSession(Preferences& prefs, NameEditHost& host, QObject* parent)
    : QObject(parent)
    , m_prefs(prefs)
    , m_host(host)
{
    connect(&m_editor, &NameEditor::textChanged, this, &NameEditSession::nameTextChanged);
    // The cursor to go back to is where it stood before a change.
    connect(&m_editor, &NameEditor::cursorChanged, this, [this] {
        if (!m_applyingHistory && m_editor.text() == m_shown.text)
            m_shown.cursor = m_editor.cursor();
    });
}

CleanupRules NameEditSession::cleanupRules() const
{
    return cleanupRulesFrom(m_prefs);
}

void NameEditSession::nameTextChanged()
{
    trackNameChange();
    if (m_prefs.options.syncOption == SyncMode::NameToTags)
        updateInternal();
}

void NameEditSession::loadNameParts(const QString& fileName)
{
    const QStringList pieces = nameParts(fileName, cleanupRules(), m_prefs.options.newFileCase);
    m_extension = nameExtension(fileName);
    m_parts.setEntries(pieces);
    m_editor.setText(pieces.join(m_prefs.options.separatorString) + m_extension);
    resetNameHistory();
}

void NameEditSession::addPart(const QString& text)
{
    QStringList entries = m_parts.entries();
    const qsizetype before = entries.size();
    addCandidate(entries, text, cleanupRules());
    if (entries.size() != before)
        m_parts.append(entries.last());
}

void NameEditSession::addFolderParts()
{
    for (const QString& piece : folderCandidates(m_host.currentFolder()))
        addPart(piece);
}

void NameEditSession::rebuildPartsList()
{
    const CleanupRules rules = cleanupRules();
    QStringList entries;
    const QString base = trimSpaces(beforeLast(m_editor.text(), QLatin1Char('.')));
    for (const QString& piece : base.split(QLatin1Char('-')))
        addCandidate(entries, trimSpaces(piece), rules);
    for (FieldId field : kOfferedFields)
        addCandidate(entries, m_host.fieldText(field), rules);
    for (const QString& piece : folderCandidates(m_host.currentFolder()))
        addCandidate(entries, piece, rules);
    m_parts.setEntries(entries);
}

void NameEditSession::togglePart()
{
    if (m_parts.currentIndex() < 0)
        return;
    const QString part = trimSpaces(m_parts.currentText());
    bool removed = false;
    const QString name = toggledName(m_editor.text(), part, m_prefs.options.separatorString, m_extension, &removed);
    m_host.showStatus(
        removed ? QStringLiteral("Selected File Part Removed") : QStringLiteral("Selected File Part Inserted"));
    recordStep(QStringLiteral("PartsListClick:") + part);
    m_editor.setText(name);
}

void NameEditSession::selectPart()
{
    m_parts.setSelectedPart(trimSpaces(m_parts.currentText()));
}

int NameEditSession::partAtCursor() const
{
    return ::partAtCursor(m_editor.text(), m_editor.cursor());
}
