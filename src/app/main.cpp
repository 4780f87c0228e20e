#include "openrequest.h"
#include "ui/helpfile.h"
#include "ui/velmora.h"

#include "platform/clock.h"
#include "platform/inisettingsbackend.h"
#include "platform/localfilesystem.h"
#include "platform/platformservices.h"
#include "platform/systemtrash.h"
#include "platform/ui/desktoplauncher.h"
#include "platform/ui/qtprompter.h"
#include "settings/preferences.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setOrganizationName(QStringLiteral("Velmora"));

    IniSettingsBackend settings;
    LocalFileSystem files;
    SystemTrash trash;
    DesktopLauncher launcher;
    QtPrompter prompter;
    SystemClock clock;
    PlatformServices services;
    services.settings = &settings;
    services.files = &files;
    services.trash = &trash;
    services.launcher = &launcher;
    services.prompter = &prompter;
    services.clock = &clock;
    Preferences preferences(settings);

    Velmora window(services, preferences,
        helpFilePath(QCoreApplication::applicationDirPath(),
            QDir::cleanPath(
                QCoreApplication::applicationDirPath() + QLatin1Char('/') + QStringLiteral(VELMORA_DATADIR_FROM_BIN))));
    window.show();
    window.offerInterruptedUndos();
    window.open(openRequestFor(QCoreApplication::arguments().mid(1), QDir::currentPath()));
    const int result = app.exec();
    settings.sync();
    return result;
}
