// The casing and cleanup commands of the new name (function keys F2 to F10).
#include "nameeditsession.h"

#include "cleanup.h"
#include "nameparts.h"
#include "settings/preferences.h"
#include "text/texthelpers.h"

void NameEditSession::caseFileName(NameCase nameCase)
{
    // The step keeps the recorded numbers: 1 upper, 2 lower, 3 title case.
    const int stepNumber = nameCase == NameCase::Upper ? 1 : nameCase == NameCase::Lower ? 2 : 3;
    if (nameCase == NameCase::Unchanged)
        return;
    m_editor.setText(applyNameCase(beforeLast(m_editor.text(), QLatin1Char('.')), nameCase) + m_extension);
    recordStep(QStringLiteral("CaseFileName:") + QString::number(stepNumber));
}

void NameEditSession::removePeriods()
{
    QString base = beforeLast(m_editor.text(), QLatin1Char('.'));
    base.remove(QLatin1Char('.'));
    m_editor.setText(base + m_extension);
    recordStep(QStringLiteral("RemovePeriods:0"));
}

void NameEditSession::insertSDS()
{
    if (trimSpaces(m_editor.text()).isEmpty())
        return;
    const NameEditGroup group(*this);
    m_editor.type(m_prefs.options.separatorString);
    if (m_editor.text().contains(QStringLiteral("  ")))
        m_editor.setText(replaceAll(m_editor.text(), QStringLiteral("  "), QStringLiteral(" ")));
    recordStep(QStringLiteral("InsertSDS:0"));
}

void NameEditSession::removeSDS()
{
    if (trimSpaces(m_editor.text()).isEmpty())
        return;
    const NameEditGroup group(*this);
    const int cursor = m_editor.cursor();
    m_editor.setCursor(cursor);
    if (m_editor.text().mid(cursor, 1) == QLatin1String("-")) {
        m_editor.deleteForward();
        m_editor.setCursor(cursor);
    }
    if (m_editor.text().contains(QStringLiteral("  ")))
        m_editor.setText(replaceAll(m_editor.text(), QStringLiteral("  "), QStringLiteral(" ")));
    recordStep(QStringLiteral("RemoveSDS:0"));
}

void NameEditSession::addRemoveParenthesis()
{
    if (trimSpaces(m_editor.text()).isEmpty())
        return;
    const int cursor = m_editor.cursor();
    QStringList pieces = beforeLast(m_editor.text(), QLatin1Char('.')).split(QLatin1Char('-'));
    const int i = ::partAtCursor(m_editor.text(), cursor);
    if (i >= 0) {
        const QString p = trimSpaces(pieces.at(i));
        if (p.startsWith(QLatin1Char('(')) && p.endsWith(QLatin1Char(')')) && p.size() >= 2)
            pieces[i] = p.mid(1, p.size() - 2);
        else
            pieces[i] = QLatin1Char('(') + p + QLatin1Char(')');
    }
    for (QString& piece : pieces)
        piece = trimSpaces(piece);
    m_editor.setText(pieces.join(m_prefs.options.separatorString) + m_extension);
    m_editor.setCursor(cursor);
    recordStep(QStringLiteral("AddRemoveParenthesis:0"));
}
