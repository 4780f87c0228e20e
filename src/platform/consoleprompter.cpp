#include "consoleprompter.h"

Answer ConsolePrompter::message(const QString&, const QString& text, MsgIcon, MsgButtons buttons)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_stream << "velmora-cli: " << lines.trimmed() << '\n';
    m_stream.flush();
    switch (buttons) {
    case MsgButtons::Ok:
        return Answer::Ok;
    case MsgButtons::OkCancel:
        return Answer::Cancel;
    default:
        return Answer::No;
    }
}
