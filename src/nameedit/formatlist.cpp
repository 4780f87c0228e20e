#include "formatlist.h"

#include "platform/prompter.h"
#include "settings/settingsstore.h"
#include "text/texthelpers.h"

namespace {
const QString kFormats = QStringLiteral("Formats");
const QString kFormatKey = QStringLiteral("Format");
} // namespace

QStringList FormatList::factoryMasks()
{
    return {
        QStringLiteral("Album - Artist - Track - Title.mp3"),
        QStringLiteral("Artist - Title.mp3"),
        QStringLiteral("Artist - Title - Notes.mp3"),
        QStringLiteral("Artist - Album - Track - Title.mp3"),
        QStringLiteral("Album - Artist - Track - Title.mp3"),
        QStringLiteral("Track - Title.mp3"),
    };
}

void FormatList::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_masks.size())
        index = -1;
    if (index == m_current)
        return;
    m_current = index;
    emit currentIndexChanged(index);
}

void FormatList::append(const QString& mask)
{
    m_masks.append(mask);
    emit masksChanged();
}

void FormatList::setMasks(const QStringList& masks)
{
    m_masks = masks;
    emit masksChanged();
    if (m_current >= m_masks.size())
        setCurrentIndex(-1);
}

void FormatList::loadFormats(SettingsStore& store)
{
    QStringList masks;
    if (!store.getFormatValue(numberedKey(kFormatKey, 0), QString()).isEmpty()) {
        for (int i = 0;; ++i) {
            const QString mask = store.getFormatValue(numberedKey(kFormatKey, i), QString());
            if (mask.isEmpty())
                break;
            masks.append(mask);
        }
    } else {
        masks = factoryMasks();
    }
    m_current = -1;
    setMasks(masks);
    setCurrentIndex(leadingNumber(store.getOption(QStringLiteral("Last Format"), QStringLiteral("0"))));
    saveFormats(store);
}

void FormatList::saveFormats(SettingsStore& store) const
{
    store.deleteSection(kFormats);
    for (int i = 0; i < m_masks.size(); ++i)
        store.saveFormatValue(numberedKey(kFormatKey, i), m_masks.at(i));
}

bool FormatList::removeFormat(Prompter& prompter)
{
    if (m_masks.isEmpty() || m_current < 0)
        return false;
    const QString question = trimSpaces(QStringLiteral("Remove The Format: '") + currentMask() + QStringLiteral("'"));
    if (!prompter.askYesNo(QStringLiteral("Velmora"), question + QStringLiteral("?")))
        return false;
    m_masks.removeAt(m_current);
    m_current = -1;
    emit masksChanged();
    emit currentIndexChanged(-1);
    return true;
}
