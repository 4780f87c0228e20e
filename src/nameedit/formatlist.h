#pragma once

#include <QObject>
#include <QStringList>

class Prompter;
class SettingsStore;

// The ordered list of format masks with a current index (-1 for none),
// stored in section "Formats" as "Format00", "Format01", ...
class FormatList final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormatList)

public:
    explicit FormatList(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    // The six masks used when nothing is stored (the fifth repeats the first).
    static QStringList factoryMasks();

    const QStringList& masks() const { return m_masks; }
    int count() const { return int(m_masks.size()); }
    QString at(int index) const { return m_masks.value(index); }

    int currentIndex() const { return m_current; }
    // An index outside the list means none (-1).
    void setCurrentIndex(int index);
    // "" when there is no current mask.
    QString currentMask() const { return m_masks.value(m_current); }

    // Appends a mask (composed in the options dialog).
    void append(const QString& mask);
    void setMasks(const QStringList& masks);

    // Reads the stored masks up to the first empty value (the factory masks
    // when "Format00" is empty), sets the current index from "Last Format",
    // then rewrites the section.
    void loadFormats(SettingsStore& store);
    // Deletes section "Formats" and writes every mask in list order.
    void saveFormats(SettingsStore& store) const;
    // Asks "Remove The Format: '<mask>'?" and on yes removes the current
    // mask. Returns true when a mask was removed. Nothing when the list is
    // empty or no mask is current. Does not select another entry: the caller
    // treats that selection as a click.
    bool removeFormat(Prompter& prompter);

signals:
    void masksChanged();
    void currentIndexChanged(int index);

private:
    QStringList m_masks;
    int m_current = -1;
};
