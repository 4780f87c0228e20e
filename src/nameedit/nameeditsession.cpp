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

// Adds text to entries as AddPart does.
void addCandidate(QStringList& entries, const QString& text, const CleanupRules& rules)
{
    const QString blank = TrimSpaces(text);
    if (blank.isEmpty() || blank == QLatin1String("0"))
        return;
    const QString cleaned = CleanupFileName(text, rules);
    const QString key = TrimSpaces(cleaned.toUpper());
    for (const QString& e : entries)
        if (TrimSpaces(e.toUpper()) == key)
            return;
    entries.append(cleaned);
}

QStringList folderCandidates(QString folder)
{
    // The tree may report the folder with its trailing "/"; the name is
    // still the last component.
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QString name = AfterLast(folder, QLatin1Char('/'));
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
    return CleanupRulesFrom(m_prefs);
}

void NameEditSession::nameTextChanged()
{
    trackNameChange();
    if (m_prefs.options.SyncOption == SyncMode::NameToTags)
        UpdateInternal();
}

void NameEditSession::LoadNameParts(const QString& fileName)
{
    const QStringList pieces = NameParts(fileName, cleanupRules(), m_prefs.options.NewFileCase);
    m_parts.setEntries(pieces);
    m_editor.setText(pieces.join(m_prefs.options.SeparatorString) + QStringLiteral(".mp3"));
    ResetNameHistory();
}

void NameEditSession::AddPart(const QString& text)
{
    QStringList entries = m_parts.entries();
    const qsizetype before = entries.size();
    addCandidate(entries, text, cleanupRules());
    if (entries.size() != before)
        m_parts.append(entries.last());
}

void NameEditSession::AddFolderParts()
{
    for (const QString& piece : folderCandidates(m_host.currentFolder()))
        AddPart(piece);
}

void NameEditSession::RebuildPartsList()
{
    const CleanupRules rules = cleanupRules();
    QStringList entries;
    const QString base = TrimSpaces(BeforeLast(m_editor.text(), QLatin1Char('.')));
    for (const QString& piece : base.split(QLatin1Char('-')))
        addCandidate(entries, TrimSpaces(piece), rules);
    for (FieldId field : kOfferedFields)
        addCandidate(entries, m_host.fieldText(field), rules);
    for (const QString& piece : folderCandidates(m_host.currentFolder()))
        addCandidate(entries, piece, rules);
    m_parts.setEntries(entries);
}

void NameEditSession::TogglePart()
{
    if (m_parts.currentIndex() < 0)
        return;
    const QString part = TrimSpaces(m_parts.currentText());
    bool removed = false;
    const QString name = ToggledName(m_editor.text(), part, m_prefs.options.SeparatorString, &removed);
    m_host.showStatus(
        removed ? QStringLiteral("Selected File Part Removed") : QStringLiteral("Selected File Part Inserted"));
    RecordStep(QStringLiteral("PartsListClick:") + part);
    m_editor.setText(name);
}

void NameEditSession::SelectPart()
{
    m_parts.setSelectedPart(TrimSpaces(m_parts.currentText()));
}

int NameEditSession::PartAtCursor() const
{
    return ::PartAtCursor(m_editor.text(), m_editor.cursor());
}
