#include "viewlogfile.h"

#include "platform/launcher.h"
#include "platform/prompter.h"

int viewLogFile(Launcher& launcher, Prompter& prompter, const QString& path)
{
    const int code = launcher.open(path);
    if (code != 0)
        prompter.message(QStringLiteral("Velmora"), launchFailureText(code, path), MsgIcon::None, MsgButtons::Ok);
    return code;
}
