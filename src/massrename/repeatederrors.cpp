#include "repeatederrors.h"

#include "platform/prompter.h"

void RepeatedErrors::show(const QString& file, const FileError& error)
{
    if (m_muted.contains(error.number))
        return;
    const QString crlf = QStringLiteral("\r\n");
    const bool skip = m_prompter->askYesNo(QStringLiteral("Velmora"),
        fileErrorMessage(file, error) + crlf + crlf
            + QStringLiteral("Skip All Further Errors Of This Kind During This Run?"),
        MsgIcon::Critical);
    if (skip)
        m_muted.insert(error.number);
}
