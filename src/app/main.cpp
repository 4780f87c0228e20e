#include "openrequest.h"
#include "startoptions.h"
#include "ui/helpfile.h"
#include "ui/velmora.h"

#include "platform/clock.h"
#include "platform/heapreuse.h"
#include "platform/inisettingsbackend.h"
#include "platform/localfilesystem.h"
#include "platform/platformservices.h"
#include "platform/systemtrash.h"
#include "platform/ui/desktoplauncher.h"
#include "platform/ui/qtprompter.h"
#include "settings/preferences.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv)
{
    reuseFreedMemory();
    // --help and --version must work without a display, so the arguments are
    // read before any QApplication exists.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const StartOptions options = startOptionsFor(arguments);
    switch (options.action) {
    case StartAction::ShowHelp:
        print(stdout, usageText());
        return exitStatusFor(options.action);
    case StartAction::ShowVersion:
        print(stdout, versionText(QStringLiteral(VELMORA_VERSION)));
        return exitStatusFor(options.action);
    case StartAction::Refuse:
        print(stderr, QStringLiteral("velmora: unknown option '%1'\n").arg(options.refusedOption) + usageText());
        return exitStatusFor(options.action);
    case StartAction::Open:
        break;
    }

    // Qt sees only the program's name: a path after "--" is never taken for
    // one of Qt's own options.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
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
    window.open(openRequestFor(options.paths, QDir::currentPath()));
    const int result = app.exec();
    settings.sync();
    return result;
}
