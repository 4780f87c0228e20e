#include "clicommand.h"

#include "text/texthelpers.h"

namespace {

CliCommand refused(const QString& why)
{
    CliCommand command;
    command.error = why;
    return command;
}

// The option's value field when the command takes it.
QString* valueOption(CliCommand& command, const QString& arg)
{
    using N = CliCommand::Name;
    if (arg == QLatin1String("--mask") && command.name == N::Rename)
        return &command.mask;
    if (arg == QLatin1String("--format") && command.name == N::MassRename)
        return &command.format;
    if (arg == QLatin1String("--output") && command.name == N::Playlist)
        return &command.output;
    return nullptr;
}

bool* flagOption(CliCommand& command, const QString& arg)
{
    using N = CliCommand::Name;
    const bool renames = command.name == N::Rename || command.name == N::MassRename || command.name == N::Playlist;
    if (arg == QLatin1String("--no-settings") && renames)
        return &command.noSettings;
    if (command.name != N::MassRename)
        return nullptr;
    if (arg == QLatin1String("--subdirs"))
        return &command.subdirs;
    if (arg == QLatin1String("--log"))
        return &command.log;
    if (arg == QLatin1String("--preview"))
        return &command.preview;
    return nullptr;
}

} // namespace

bool cliFieldByName(const QString& name, FieldId* out)
{
    const QString wanted = looseName(name);
    if (wanted == QLatin1String("song")) {
        *out = FieldId::Title;
        return true;
    }
    for (int i = 0; i < kFieldCount; ++i) {
        if (looseName(QString::fromLatin1(fieldInfo(i).name)) == wanted) {
            *out = FieldId(i);
            return true;
        }
    }
    return false;
}

CliCommand cliCommandFor(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return refused(QStringLiteral("no command given"));
    const QString first = arguments.first();
    if (first == QLatin1String("-h") || first == QLatin1String("--help") || first == QLatin1String("help"))
        return {};
    CliCommand command;
    if (first == QLatin1String("-v") || first == QLatin1String("--version")) {
        command.name = CliCommand::Name::Version;
        return command;
    }
    static const std::pair<const char*, CliCommand::Name> names[]
        = { { "info", CliCommand::Name::Info }, { "tag", CliCommand::Name::Tag }, { "strip", CliCommand::Name::Strip },
              { "undo", CliCommand::Name::Undo }, { "rename", CliCommand::Name::Rename },
              { "mass-rename", CliCommand::Name::MassRename }, { "playlist", CliCommand::Name::Playlist } };
    bool known = false;
    for (const auto& [text, name] : names)
        if (first == QLatin1String(text)) {
            command.name = name;
            known = true;
        }
    if (!known)
        return refused(QStringLiteral("unknown command '%1'").arg(first));

    bool optionsEnd = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString arg = arguments.at(i);
        if (optionsEnd || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            command.files << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnd = true;
        } else if (arg == QLatin1String("--json") && command.name == CliCommand::Name::Info) {
            command.json = true;
        } else if (QString* value = valueOption(command, arg)) {
            if (++i >= arguments.size())
                return refused(arg + QStringLiteral(" needs a value"));
            *value = arguments.at(i);
        } else if (bool* flag = flagOption(command, arg)) {
            *flag = true;
        } else if ((arg == QLatin1String("--set") || arg == QLatin1String("--clear"))
            && command.name == CliCommand::Name::Tag) {
            if (++i >= arguments.size())
                return refused(arg + QStringLiteral(" needs a field"));
            const QString value = arguments.at(i);
            const qsizetype equals = value.indexOf(QLatin1Char('='));
            const bool set = arg == QLatin1String("--set");
            if (set && equals < 0)
                return refused(QStringLiteral("--set needs FIELD=VALUE, not '%1'").arg(value));
            FieldId id;
            if (!cliFieldByName(set ? value.left(equals) : value, &id))
                return refused(QStringLiteral("unknown field '%1'").arg(set ? value.left(equals) : value));
            if (set)
                command.sets.append({ id, value.mid(equals + 1) });
            else
                command.clears << id;
        } else {
            return refused(QStringLiteral("unknown option '%1'").arg(arg));
        }
    }
    if (command.name == CliCommand::Name::Undo) {
        if (command.files.size() > 1)
            return refused(QStringLiteral("undo takes one journal"));
        if (command.files.isEmpty())
            command.files << QStringLiteral("last");
    } else if (command.files.isEmpty()) {
        return refused(QStringLiteral("no file given"));
    } else if ((command.name == CliCommand::Name::MassRename || command.name == CliCommand::Name::Playlist)
        && command.files.size() > 1) {
        return refused(QStringLiteral("%1 takes one folder").arg(first));
    }
    if (command.name == CliCommand::Name::Tag && command.sets.isEmpty() && command.clears.isEmpty())
        return refused(QStringLiteral("tag needs --set or --clear"));
    return command;
}

QString cliUsageText()
{
    return QStringLiteral("Usage: velmora-cli COMMAND [OPTION...] FILE...\n"
                          "Tags and renames MP3, FLAC, Ogg Vorbis, Opus and M4A files without a display.\n"
                          "\n"
                          "Commands:\n"
                          "  info FILE... [--json]              show each file's tags and audio facts\n"
                          "  tag FILE... --set FIELD=VALUE... --clear FIELD...\n"
                          "                                     set or clear fields; the rest is kept\n"
                          "  strip FILE...                      remove every tag\n"
                          "  rename FILE... [--mask MASK] [--no-settings]\n"
                          "                                     clean each name, or build it from the\n"
                          "                                     tags through MASK (\"Artist - Title\")\n"
                          "  mass-rename DIR [--format FORMAT] [--subdirs] [--log] [--preview]\n"
                          "              [--no-settings]        rename every audio file of DIR\n"
                          "  playlist DIR [--output NAME] [--no-settings]\n"
                          "                                     write DIR's playlist (NAME.m3u)\n"
                          "  undo [last | JOURNAL]              undo the last run, or the one of JOURNAL\n"
                          "  -h, --help                         show this help\n"
                          "  -v, --version                      show the version\n"
                          "\n"
                          "FIELD is a tag field as the window names it, in any case, blanks optional:\n"
                          "Artist, Album, Title, Track, TotalTracks, Year, Genre, Comments, Composer, ...\n"
                          "\n"
                          "Every change is kept in an undo journal first. Exit status: 0 all done,\n"
                          "1 some files failed (each named on stderr), 2 bad usage.\n");
}
