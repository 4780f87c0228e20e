#pragma once

#include <QObject>
#include <QStringList>

// The candidate parts offered beside the new name, in insertion order, with
// a current entry (-1 for none), the part last clicked (selectedPart) and
// whether an entry is being dragged (partDragging, read by the tag panel).
class PartsList final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PartsList)

public:
    explicit PartsList(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    const QStringList& entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    QString at(int index) const { return m_entries.value(index); }

    // Replaces every entry; the current index becomes -1.
    void setEntries(const QStringList& entries);
    void append(const QString& entry);
    void clear() { setEntries({}); }

    int currentIndex() const { return m_current; }
    // An index outside the list means none (-1).
    void setCurrentIndex(int index);
    // "" when there is no current entry.
    QString currentText() const { return m_entries.value(m_current); }

    const QString& selectedPart() const { return m_selectedPart; }
    void setSelectedPart(const QString& part) { m_selectedPart = part; }
    bool partDragging() const { return m_dragging; }
    void setPartDragging(bool dragging) { m_dragging = dragging; }

signals:
    void entriesChanged();
    void currentIndexChanged(int index);

private:
    QStringList m_entries;
    int m_current = -1;
    QString m_selectedPart;
    bool m_dragging = false;
};
