#include "optionsapply.h"

#include "preferences.h"
#include "text/texthelpers.h"

namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

MaskPlacement placeMask(const QString& mask, const QStringList& masks)
{
    const QString trimmed = trimSpaces(mask);
    if (trimmed.isEmpty())
        return {};
    int equal = -1; // last entry equal after trimming
    int exact = -1;
    for (int i = 0; i < masks.size(); ++i) {
        if (trimSpaces(masks.at(i)) == trimmed)
            equal = i;
        if (masks.at(i) == mask)
            exact = i;
    }
    if (equal < 0)
        return { true, int(masks.size()) };
    // A typed mask that differs from its list entry only by spaces selects
    // that entry rather than nothing.
    return { false, exact >= 0 ? exact : equal };
}

} // namespace

OptionChoices choicesFromOptions(const Options& options)
{
    OptionChoices c;
    if (!options.newFileCaseUnknown)
        c.newFileCase = options.newFileCase;
    c.id3AutoSave = options.id3AutoSave;
    if (!options.syncOptionUnknown)
        c.syncOption = options.syncOption;
    c.removeParens = options.removeParens;
    c.remUnderScores = options.removeUnderscores;
    c.splitSpaces = options.splitSpaces;
    c.useFormattedTrack = options.useFormattedTrack;
    c.keepFileTimes = options.keepFileTimes;
    c.mp3FilesOnly = options.mp3FilesOnly;
    return c;
}

MaskPlacement applyOptionChoices(const OptionChoices& choices, Preferences& prefs, const QStringList& masks)
{
    SettingsStore& store = prefs.store;
    const Options& was = prefs.options;
    const QString caseKey = QStringLiteral("New File Case");
    store.saveOption(caseKey,
        choices.newFileCase ? nameCaseCode(*choices.newFileCase)
                            : store.getOption(caseKey, nameCaseCode(was.newFileCase)));
    store.saveOption(QStringLiteral("ID3AutoSave"),
        QString::number(choices.id3AutoSave >= 0 ? choices.id3AutoSave : was.id3AutoSave));
    const QString syncKey = QStringLiteral("SyncOption");
    const int sync
        = choices.syncOption ? int(*choices.syncOption) : leadingNumber(store.getOption(syncKey, QStringLiteral("2")));
    store.saveOption(syncKey, QString::number(sync));
    store.saveOption(QStringLiteral("Remove Parens"), flag(choices.removeParens));
    store.saveOption(QStringLiteral("RemUnderScores"), flag(choices.remUnderScores));
    store.saveOption(QStringLiteral("SplitSpaces"), flag(choices.splitSpaces));
    store.saveOption(QStringLiteral("UseFormattedTrack"), flag(choices.useFormattedTrack));
    store.saveOption(QStringLiteral("Keep File Times"), flag(choices.keepFileTimes));
    store.saveOption(QStringLiteral("MP3 Files Only"), flag(choices.mp3FilesOnly));
    const MaskPlacement placement = placeMask(choices.mask, masks);
    prefs.loadOptions();
    return placement;
}
