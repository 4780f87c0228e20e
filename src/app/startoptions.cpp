#include "startoptions.h"

StartOptions startOptionsFor(const QStringList& arguments)
{
    StartOptions options;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-'))) {
            options.paths.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            options.paths.append(argument);
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            if (options.action == StartAction::Open)
                options.action = StartAction::ShowHelp;
        } else if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            if (options.action == StartAction::Open)
                options.action = StartAction::ShowVersion;
        } else {
            // An unknown option outweighs any other: a typing error must not
            // be taken for a request.
            options.action = StartAction::Refuse;
            options.refusedOption = argument;
            options.paths.clear();
            return options;
        }
    }
    if (options.action != StartAction::Open)
        options.paths.clear();
    return options;
}

QString usageText()
{
    return QStringLiteral("Usage: velmora [OPTION] [FOLDER | FILE...]\n"
                          "Rename MP3 files and edit their ID3 tags.\n"
                          "\n"
                          "Opens FOLDER, or the folder of the first MP3 FILE with that file selected.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     show this help and exit\n"
                          "  -v, --version  show the version and exit\n"
                          "  --             end of options: later arguments are folders or files\n");
}

QString versionText(const QString& version)
{
    return QStringLiteral("velmora %1\n").arg(version);
}

int exitStatusFor(StartAction action)
{
    switch (action) {
    case StartAction::Open:
    case StartAction::ShowHelp:
    case StartAction::ShowVersion:
        return 0;
    case StartAction::Refuse:
        return 2;
    }
    return 2;
}
