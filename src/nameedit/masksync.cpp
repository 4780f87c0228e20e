// Synchronisation between the new name and the tag fields through the
// current format mask, and the list of masks.
#include "nameeditsession.h"

#include "formatmask.h"
#include "nameedithost.h"
#include "settings/preferences.h"
#include "text/texthelpers.h"

void NameEditSession::syncWithInternals()
{
    // Without a mask there is nothing to build from; keep the name.
    if (m_formats.currentIndex() < 0)
        return;
    const QString name = nameFromFields(
        m_formats.currentMask(), [this](FieldId field) { return m_host.fieldText(field); },
        m_prefs.options.separatorString, m_extension);
    m_host.showStatus(QStringLiteral("Internal ID Tags Loaded To New Filename"));
    m_editor.setText(name);
    recordStep(QStringLiteral("SyncWithInternals:0"));
}

void NameEditSession::updateInternal()
{
    // A field that echoes into the name must not start a second round.
    if (m_updatingInternal)
        return;
    m_updatingInternal = true;
    const auto assignments = fieldsFromName(m_formats.currentMask(), m_editor.text(), m_prefs.options.removeParens);
    for (const auto& [field, text] : assignments)
        m_host.setFieldText(field, text);
    m_updatingInternal = false;
    recordStep(QStringLiteral("UpdateInternal:0"));
}

void NameEditSession::autoSync()
{
    switch (m_prefs.options.syncOption) {
    case SyncMode::NameToTags:
        updateInternal();
        break;
    case SyncMode::TagsToName:
        syncWithInternals();
        break;
    case SyncMode::None:
        break;
    }
}

void NameEditSession::formatListClicked(int index)
{
    m_formats.setCurrentIndex(index);
    if (trimSpaces(m_editor.text()).isEmpty())
        return;
    m_host.reloadTagFields();
    autoSync();
}

void NameEditSession::loadFormats()
{
    m_formats.loadFormats(m_prefs.store);
}

void NameEditSession::saveFormats()
{
    m_formats.saveFormats(m_prefs.store);
}

void NameEditSession::removeFormat(Prompter& prompter)
{
    if (m_formats.removeFormat(prompter))
        m_host.showStatus(QStringLiteral("Format Removed"));
    if (m_formats.count() > 0)
        formatListClicked(0);
}
