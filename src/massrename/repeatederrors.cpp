#include "repeatederrors.h"

#include <QRegularExpression>

void RepeatedErrors::show(const QString& text, int kind)
{
    if (m_muted.contains(kind))
        return;
    const QString crlf = QStringLiteral("\r\n");
    const bool skip = m_real->askYesNo(QStringLiteral("Velmora"),
        text + crlf + crlf + QStringLiteral("Skip All Further Errors Of This Kind During This Run?"),
        MsgIcon::Critical);
    if (skip)
        m_muted.insert(kind);
}

Answer RepeatedErrors::message(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons)
{
    if (buttons != MsgButtons::Ok)
        return m_real->message(title, text, icon, buttons);
    m_held = text;
    return Answer::Ok;
}

bool parseErrorMessage(const QString& text, QString* description, int* number)
{
    static const QRegularExpression re(QStringLiteral("Error: (.*) \\((\\d+)\\)"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return false;
    *description = m.captured(1);
    *number = m.captured(2).toInt();
    return true;
}
