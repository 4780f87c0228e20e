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
    RecordStep(QStringLiteral("KeyPress:") + character);
    m_editor.type(character);
}

void NameEditSession::specialKey(NameKey key)
{
    RecordStep(QStringLiteral("SpecialKey:") + keyName(key));
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
    RecordStep(QStringLiteral("CursorPosition:") + QString::number(m_editor.cursor()));
}

void NameEditSession::RepeatEdit()
{
    m_recorder.stopRecording();
    ReplaySteps();
}

void NameEditSession::ReplaySteps()
{
    m_host.focusNewName();
    m_host.setRenameEnabled(false);
    const NameEditGroup group(*this);
    const QStringList steps = m_recorder.EditSteps();
    for (const QString& step : steps) {
        runStep(step);
        RebuildPartsList();
    }
    m_host.setRenameEnabled(true);
}

void NameEditSession::runStep(const QString& step)
{
    const QString keyword = BeforeFirst(step, QLatin1Char(':'));
    const QString argument = AfterFirst(step, QLatin1Char(':'));
    FieldId field;

    if (keyword == QLatin1String("PartsListClick")) {
        // The list may change under the toggle; look at the entries as they were.
        const QStringList entries = m_parts.entries();
        for (int i = 0; i < entries.size(); ++i) {
            if (entries.at(i) == argument) {
                m_parts.setCurrentIndex(i);
                TogglePart();
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
        m_editor.setCursor(LeadingNumber(argument));
    } else if (stepField(keyword, &field)) {
        m_host.setFieldText(field, argument);
    } else if (keyword == QLatin1String("UpdateInternal")) {
        UpdateInternal();
    } else if (keyword == QLatin1String("SyncWithInternals")) {
        SyncWithInternals();
    } else if (keyword == QLatin1String("AddRemoveParenthesis")) {
        AddRemoveParenthesis();
    } else if (keyword == QLatin1String("RemovePeriods")) {
        RemovePeriods();
    } else if (keyword == QLatin1String("InsertSDS")) {
        InsertSDS();
    } else if (keyword == QLatin1String("RemoveSDS")) {
        RemoveSDS();
    } else if (keyword == QLatin1String("CaseFileName")) {
        switch (LeadingNumber(argument)) {
        case 1:
            CaseFileName(NameCase::Upper);
            break;
        case 2:
            CaseFileName(NameCase::Lower);
            break;
        case 3:
            CaseFileName(NameCase::Title);
            break;
        default:
            break;
        }
    }
}
