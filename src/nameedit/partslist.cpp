#include "partslist.h"

void PartsList::setEntries(const QStringList& entries)
{
    const bool hadCurrent = m_current != -1;
    m_entries = entries;
    m_current = -1;
    emit entriesChanged();
    if (hadCurrent)
        emit currentIndexChanged(-1);
}

void PartsList::append(const QString& entry)
{
    m_entries.append(entry);
    emit entriesChanged();
}

void PartsList::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_entries.size())
        index = -1;
    if (index == m_current)
        return;
    m_current = index;
    emit currentIndexChanged(index);
}
