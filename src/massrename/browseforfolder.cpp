#include "browseforfolder.h"

#include "platform/prompter.h"

QString browseForFolder(Prompter& prompter, const QString& initialFolder)
{
    QString chosen = prompter.browseForFolder(QStringLiteral("Select Target Directory"), initialFolder);
    // A path handed over by a foreign dialog ends at its first NUL.
    const qsizetype nul = chosen.indexOf(QChar(0));
    if (nul >= 0)
        chosen.truncate(nul);
    return chosen;
}
