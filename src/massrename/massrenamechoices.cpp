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
    return isOn(store.getOption(key, QString()));
}

QString flagText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

MassRenameChoices loadMassRenameChoices(const SettingsStore& store)
{
    MassRenameChoices c;
    c.startDir = getLastPath(store, QStringLiteral("MLastDir"));
    c.includeSubs = readBox(store, kIncludeSubs);
    c.confirmEach = readBox(store, kConfirmEach);
    c.useOptions = readBox(store, kUseOptions);
    c.useFilters = readBox(store, kUseFilters);
    c.allParts = readBox(store, kAllParts);
    c.logOperation = readBox(store, kLogOperation);
    c.builtFormat = store.getOption(QStringLiteral("MBuiltFormat"), QString());
    return c;
}

void saveMassRenameChoices(SettingsStore& store, const MassRenameChoices& choices)
{
    store.saveOption(QStringLiteral("MLastDir"), trimSpaces(choices.startDir));
    store.saveOption(kIncludeSubs, flagText(choices.includeSubs));
    store.saveOption(kConfirmEach, flagText(choices.confirmEach));
    store.saveOption(kUseOptions, flagText(choices.useOptions));
    store.saveOption(kUseFilters, flagText(choices.useFilters));
    store.saveOption(kAllParts, flagText(choices.allParts));
    store.saveOption(kLogOperation, flagText(choices.logOperation));
    store.saveOption(QStringLiteral("MBuiltFormat"), trimSpaces(choices.builtFormat));
}
