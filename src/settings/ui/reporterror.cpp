#include "reporterror.h"

#include "platform/prompter.h"
#include "platform/version.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

QString errorReportText(const QString& container, const QString& description, int number, int line)
{
    return QStringLiteral("An Error Occured!") + kCrLf + kCrLf + QStringLiteral("Application Name: Velmora") + kCrLf
        + QStringLiteral("Application Version: %1.%2.%3")
              .arg(VelmoraVersion::Major)
              .arg(VelmoraVersion::Minor)
              .arg(VelmoraVersion::Revision)
        + kCrLf + kCrLf + QStringLiteral("Container Name: ") + container + kCrLf + QStringLiteral("Error Description: ")
        + description + kCrLf + QStringLiteral("Error Number: ") + QString::number(number) + kCrLf
        + QStringLiteral("Error Line: ") + QString::number(line) + kCrLf + kCrLf
        + QStringLiteral("This Data Has Been Copied To The Clipboard.") + kCrLf
        + QStringLiteral("Please Send It To The Velmora Developers With A Note Of What You Were Doing.");
}

void reportError(Prompter& prompter, const QString& container, const QString& description, int number, int line)
{
    const QString text = errorReportText(container, description, number, line);
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
    prompter.message(QStringLiteral("Velmora"), text, MsgIcon::Critical);
}
