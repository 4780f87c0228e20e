#include "settingssave.h"

#include "platform/prompter.h"
#include "platform/settingsbackend.h"

QString settingsNotSavedText(const SettingsError& error)
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Your Settings Cannot Be Saved To:") + crlf + crlf + error.path + crlf + crlf
        + QStringLiteral("Error: ") + error.error.description + QStringLiteral(" (")
        + QString::number(error.error.number) + QLatin1Char(')') + crlf + crlf
        + QStringLiteral("Velmora Goes On, But Changed Settings Will Not Be Kept.");
}

bool saveSettings(SettingsBackend& backend, Prompter& prompter, bool& told)
{
    if (backend.sync())
        return true;
    if (!told) {
        told = true;
        prompter.message(QStringLiteral("Velmora"), settingsNotSavedText(backend.lastError()), MsgIcon::Exclamation);
    }
    return false;
}
