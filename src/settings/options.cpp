#include "options.h"

#include "settingsstore.h"

NameCase NameCaseFromCode(const QString& code, bool* known)
{
    static const NameCase all[] = { NameCase::Title, NameCase::Upper, NameCase::Lower, NameCase::Unchanged };
    for (NameCase nameCase : all) {
        if (code == NameCaseCode(nameCase)) {
            if (known)
                *known = true;
            return nameCase;
        }
    }
    if (known)
        *known = false;
    return NameCase::Unchanged;
}

QString NameCaseCode(NameCase nameCase)
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

Options LoadOptions(const SettingsStore& store)
{
    Options o;
    // Checked at full width: cut to 16 bits first, 65536 would read as 0
    // and silently turn the saving off.
    const int autoSave = LeadingNumber(store.GetOption(QStringLiteral("ID3AutoSave"), QStringLiteral("1")));
    o.ID3AutoSave = autoSave == 0 ? 0 : 1;
    const int sync = LeadingNumber(store.GetOption(QStringLiteral("SyncOption"), QStringLiteral("2")));
    o.SyncOptionUnknown = sync < 0 || sync > int(SyncMode::None);
    o.SyncOption = o.SyncOptionUnknown ? SyncMode::None : SyncMode(sync);
    o.RemoveParens = IsOn(store.GetOption(QStringLiteral("Remove Parens"), QStringLiteral("0")));
    o.RemUnderScores = IsOn(store.GetOption(QStringLiteral("RemUnderScores"), QStringLiteral("0")));
    bool knownCase = true;
    o.NewFileCase
        = NameCaseFromCode(store.GetOption(QStringLiteral("New File Case"), QStringLiteral("TC")), &knownCase);
    o.NewFileCaseUnknown = !knownCase;
    o.SplitSpaces = IsOn(store.GetOption(QStringLiteral("SplitSpaces"), QStringLiteral("0")));
    o.SeparatorString = o.SplitSpaces ? QStringLiteral(" - ") : QStringLiteral("-");
    o.UseFormattedTrack = IsOn(store.GetOption(QStringLiteral("UseFormattedTrack"), QStringLiteral("1")));
    o.KeepFileTimes = IsOn(store.GetOption(QStringLiteral("Keep File Times"), QStringLiteral("0")));
    return o;
}

QString FormatTrack(int number, const Options& options)
{
    if (number == 0)
        return {};
    if (!options.UseFormattedTrack)
        return QString::number(number);
    return number < 0 ? QString::number(number) : QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString FormatYear(int number)
{
    if (number == 0)
        return {};
    return number < 0 ? QString::number(number) : QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}
