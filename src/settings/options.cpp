#include "options.h"

#include "settingsstore.h"

NameCase nameCaseFromCode(const QString& code, bool* known)
{
    static const NameCase all[] = { NameCase::Title, NameCase::Upper, NameCase::Lower, NameCase::Unchanged };
    for (NameCase nameCase : all) {
        if (code == nameCaseCode(nameCase)) {
            if (known)
                *known = true;
            return nameCase;
        }
    }
    if (known)
        *known = false;
    return NameCase::Unchanged;
}

QString nameCaseCode(NameCase nameCase)
{
    switch (nameCase) {
    case NameCase::Title:
        return QStringLiteral("TC");
    case NameCase::Upper:
        return QStringLiteral("UC");
    case NameCase::Lower:
        return QStringLiteral("LC");
    case NameCase::Unchanged:
        break;
    }
    return QStringLiteral("NC");
}

Options loadOptions(const SettingsStore& store)
{
    Options o;
    // Checked at full width: cut to 16 bits first, 65536 would read as 0
    // and silently turn the saving off.
    const int autoSave = leadingNumber(store.getOption(QStringLiteral("ID3AutoSave"), QStringLiteral("1")));
    o.id3AutoSave = autoSave == 0 ? 0 : 1;
    const int sync = leadingNumber(store.getOption(QStringLiteral("SyncOption"), QStringLiteral("2")));
    o.syncOptionUnknown = sync < 0 || sync > int(SyncMode::None);
    o.syncOption = o.syncOptionUnknown ? SyncMode::None : SyncMode(sync);
    o.removeParens = isOn(store.getOption(QStringLiteral("Remove Parens"), QStringLiteral("0")));
    o.removeUnderscores = isOn(store.getOption(QStringLiteral("RemUnderScores"), QStringLiteral("0")));
    bool knownCase = true;
    o.newFileCase
        = nameCaseFromCode(store.getOption(QStringLiteral("New File Case"), QStringLiteral("TC")), &knownCase);
    o.newFileCaseUnknown = !knownCase;
    o.splitSpaces = isOn(store.getOption(QStringLiteral("SplitSpaces"), QStringLiteral("0")));
    o.separatorString = o.splitSpaces ? QStringLiteral(" - ") : QStringLiteral("-");
    o.useFormattedTrack = isOn(store.getOption(QStringLiteral("UseFormattedTrack"), QStringLiteral("1")));
    o.keepFileTimes = isOn(store.getOption(QStringLiteral("Keep File Times"), QStringLiteral("0")));
    o.mp3FilesOnly = isOn(store.getOption(QStringLiteral("MP3 Files Only"), QStringLiteral("0")));
    return o;
}

QString formatTrack(int number, const Options& options)
{
    if (number == 0)
        return {};
    if (!options.useFormattedTrack)
        return QString::number(number);
    return number < 0 ? QString::number(number) : QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString formatYear(int number)
{
    if (number == 0)
        return {};
    return number < 0 ? QString::number(number) : QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}
