#include "massrenamechoices.h"

#include "settings/lastpath.h"
#include "settings/settingsstore.h"

namespace {

const QString kIncludeSubs = QStringLiteral("MIncludeSubs");
const QString kConfirmEach = QStringLiteral("MConfirmEach");
const QString kUseOptions = QStringLiteral("MUseOptions");
const QString kUseFilters = QStringLiteral("MUseFilters");
const QString kAllParts = QStringLiteral("MAllParts");
const QString kLogOperation = QStringLiteral("MLogOperation");

// A box is checked when the number at the start of its text is 1.
bool readBox(const SettingsStore& store, const QString& key)
{
    return IsOn(store.GetOption(key, QString()));
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

MassRenameChoices LoadMassRenameChoices(const SettingsStore& store)
{
    MassRenameChoices c;
    c.startDir = GetLastPath(store, QStringLiteral("MLastDir"));
    c.includeSubs = readBox(store, kIncludeSubs);
    c.confirmEach = readBox(store, kConfirmEach);
    c.useOptions = readBox(store, kUseOptions);
    c.useFilters = readBox(store, kUseFilters);
    c.allParts = readBox(store, kAllParts);
    c.logOperation = readBox(store, kLogOperation);
    c.builtFormat = store.GetOption(QStringLiteral("MBuiltFormat"), QString());
    return c;
}

void SaveMassRenameChoices(SettingsStore& store, const MassRenameChoices& choices)
{
    store.SaveOption(QStringLiteral("MLastDir"), TrimSpaces(choices.startDir));
    store.SaveOption(kIncludeSubs, flagText(choices.includeSubs));
    store.SaveOption(kConfirmEach, flagText(choices.confirmEach));
    store.SaveOption(kUseOptions, flagText(choices.useOptions));
    store.SaveOption(kUseFilters, flagText(choices.useFilters));
    store.SaveOption(kAllParts, flagText(choices.allParts));
    store.SaveOption(kLogOperation, flagText(choices.logOperation));
    store.SaveOption(QStringLiteral("MBuiltFormat"), TrimSpaces(choices.builtFormat));
}
