#include "tableedits.h"

const QString kDifferentValues = QStringLiteral("<different values>");

QString commonValue(const QStringList& values)
{
    if (values.isEmpty())
        return QString();
    for (const QString& v : values)
        if (v != values.first())
            return kDifferentValues;
    return values.first();
}

void PendingEdits::set(const QString& path, FieldId field, const QString& text, const QString& stored)
{
    if (text == stored) {
        auto it = m_edits.find(path);
        if (it == m_edits.end())
            return;
        it->remove(field);
        if (it->isEmpty())
            m_edits.erase(it);
        return;
    }
    m_edits[path].insert(field, text);
}

std::optional<QString> PendingEdits::value(const QString& path, FieldId field) const
{
    const auto it = m_edits.constFind(path);
    if (it == m_edits.constEnd() || !it->contains(field))
        return std::nullopt;
    return it->value(field);
}

void PendingEdits::renamed(const QString& oldPath, const QString& newPath)
{
    if (m_edits.contains(oldPath))
        m_edits.insert(newPath, m_edits.take(oldPath));
}
