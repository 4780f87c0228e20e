// Synchronisation between the new name and the tag fields through the
// current format mask, and the list of masks.
#include "nameeditsession.h"

#include "formatmask.h"
#include "nameedithost.h"
#include "settings/preferences.h"
#include "text/texthelpers.h"

void NameEditSession::SyncWithInternals()
{
    // Without a mask there is nothing to build from; keep the name.
    if (m_formats.currentIndex() < 0)
        return;
    const QString name = NameFromFields(
        m_formats.currentMask(), [this](FieldId field) { return m_host.fieldText(field); },
        m_prefs.options.SeparatorString);
    m_host.showStatus(QStringLiteral("Internal ID Tags Loaded To New Filename"));
    m_editor.setText(name);
    RecordStep(QStringLiteral("SyncWithInternals:0"));
}

void NameEditSession::UpdateInternal()
{
    // A field that echoes into the name must not start a second round.
    if (m_updatingInternal)
        return;
    m_updatingInternal = true;
    const auto assignments = FieldsFromName(m_formats.currentMask(), m_editor.text(), m_prefs.options.RemoveParens);
    for (const auto& [field, text] : assignments) {
        // A field that refuses its text is skipped; the others still follow the name.
        try {
            m_host.setFieldText(field, text);
        } catch (...) {
        }
    }
    m_updatingInternal = false;
    RecordStep(QStringLiteral("UpdateInternal:0"));
}

void NameEditSession::AutoSync()
{
    switch (m_prefs.options.SyncOption) {
    case SyncMode::NameToTags:
        UpdateInternal();
        break;
    case SyncMode::TagsToName:
        SyncWithInternals();
        break;
    case SyncMode::None:
        break;
    }
}

void NameEditSession::formatListClicked(int index)
{
    m_formats.setCurrentIndex(index);
    if (TrimSpaces(m_editor.text()).isEmpty())
        return;
    m_host.reloadTagFields();
    AutoSync();
}

void NameEditSession::LoadFormats()
{
    m_formats.LoadFormats(m_prefs.store);
}

void NameEditSession::SaveFormats()
{
    m_formats.SaveFormats(m_prefs.store);
}

void NameEditSession::RemoveFormat(Prompter& prompter)
{
    if (m_formats.RemoveFormat(prompter))
        m_host.showStatus(QStringLiteral("Format Removed"));
    if (m_formats.count() > 0)
        formatListClicked(0);
}
