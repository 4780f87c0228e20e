// Recording of what the user does in the new name, and replay of the steps.
#include "nameeditsession.h"

#include "nameedithost.h"
#include "settings/settingsstore.h"
#include "text/texthelpers.h"

namespace {
QString keyName(NameKey key)
{
    switch (key) {
    case NameKey::BackSpace:
        return QStringLiteral("{BackSpace}");
    case NameKey::Delete:
        return QStringLiteral("{DELETE}");
    case NameKey::Left:
        return QStringLiteral("{LEFT}");
    case NameKey::Right:
        return QStringLiteral("{RIGHT}");
    case NameKey::Home:
        return QStringLiteral("{HOME}");
    case NameKey::End:
        return QStringLiteral("{END}");
    case NameKey::Insert:
        return QStringLiteral("{INSERT}");
    }
    return {};
}

// Step keywords of the tag fields: the twenty catalogue names, not "Song".
bool stepField(const QString& keyword, FieldId* out)
{
    return keyword != QLatin1String("Song") && fieldByName(keyword, out);
}
} // namespace

void NameEditSession::keyPress(const QString& character)
{
    recordStep(QStringLiteral("KeyPress:") + character);
    m_editor.type(character);
}

void NameEditSession::specialKey(NameKey key)
{
    recordStep(QStringLiteral("SpecialKey:") + keyName(key));
    switch (key) {
    case NameKey::BackSpace:
        m_editor.backSpace();
        break;
    case NameKey::Delete:
        m_editor.deleteForward();
        break;
    case NameKey::Left:
        m_editor.moveLeft();
        break;
    case NameKey::Right:
        m_editor.moveRight();
        break;
    case NameKey::Home:
        m_editor.home();
        break;
    case NameKey::End:
        m_editor.end();
        break;
    case NameKey::Insert:
        break;
    }
}

void NameEditSession::cursorClicked(int position)
{
    m_editor.setCursor(position);
    recordStep(QStringLiteral("CursorPosition:") + QString::number(m_editor.cursor()));
}

void NameEditSession::repeatEdit()
{
    m_recorder.stopRecording();
    replaySteps();
}

void NameEditSession::replaySteps()
{
    m_host.focusNewName();
    m_host.setRenameEnabled(false);
    const NameEditGroup group(*this);
    const QStringList steps = m_recorder.editSteps();
    for (const QString& step : steps) {
        runStep(step);
        rebuildPartsList();
    }
    m_host.setRenameEnabled(true);
}

void NameEditSession::runStep(const QString& step)
{
    const QString keyword = beforeFirst(step, QLatin1Char(':'));
    const QString argument = afterFirst(step, QLatin1Char(':'));
    FieldId field;

    if (keyword == QLatin1String("PartsListClick")) {
        // The list may change under the toggle; look at the entries as they were.
        const QStringList entries = m_parts.entries();
        for (int i = 0; i < entries.size(); ++i) {
            if (entries.at(i) == argument) {
                m_parts.setCurrentIndex(i);
                togglePart();
            }
        }
    } else if (keyword == QLatin1String("KeyPress")) {
        for (QChar c : argument)
            m_editor.type(QString(c));
    } else if (keyword == QLatin1String("SpecialKey")) {
        if (argument == QLatin1String("{BackSpace}"))
            m_editor.backSpace();
        else if (argument == QLatin1String("{DELETE}"))
            m_editor.deleteForward();
        else if (argument == QLatin1String("{LEFT}"))
            m_editor.moveLeft();
        else if (argument == QLatin1String("{RIGHT}"))
            m_editor.moveRight();
        else if (argument == QLatin1String("{HOME}"))
            m_editor.home();
        else if (argument == QLatin1String("{END}"))
            m_editor.end();
    } else if (keyword == QLatin1String("CursorPosition")) {
        m_editor.setCursor(leadingNumber(argument));
    } else if (stepField(keyword, &field)) {
        m_host.setFieldText(field, argument);
    } else if (keyword == QLatin1String("UpdateInternal")) {
        updateInternal();
    } else if (keyword == QLatin1String("SyncWithInternals")) {
        syncWithInternals();
    } else if (keyword == QLatin1String("AddRemoveParenthesis")) {
        addRemoveParenthesis();
    } else if (keyword == QLatin1String("RemovePeriods")) {
        removePeriods();
    } else if (keyword == QLatin1String("InsertSDS")) {
        insertSDS();
    } else if (keyword == QLatin1String("RemoveSDS")) {
        removeSDS();
    } else if (keyword == QLatin1String("CaseFileName")) {
        switch (leadingNumber(argument)) {
        case 1:
            caseFileName(NameCase::Upper);
            break;
        case 2:
            caseFileName(NameCase::Lower);
            break;
        case 3:
            caseFileName(NameCase::Title);
            break;
        default:
            break;
        }
    }
}
