#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// One file of a walk: its folder (ending in "/") and its name.
struct FoundFile {
    QString dir;
    QString name;
};

// The files a walk found, in walk order, kept compactly: each folder once and
// its names packed as UTF-8, so that a million files take tens of megabytes,
// not a QString (and a heap block) per path.
class FoundFiles {
public:
    // Where a name begins in a folder's packed names.
    using Offset = quint32;

    // A folder's names as its listing gave them, each ended by a '\0', and
    // where the names to take begin, in the order they are to be taken.
    struct Folder {
        QString dir;
        QByteArray names;
        std::vector<Offset> starts;
    };

    class ConstIterator {
    public:
        ConstIterator(const FoundFiles* files, qsizetype folder, qsizetype at)
            : m_files(files)
            , m_folder(folder)
            , m_at(at)
        {
        }
        FoundFile operator*() const;
        ConstIterator& operator++();
        bool operator==(const ConstIterator& other) const = default;

    private:
        const FoundFiles* m_files;
        qsizetype m_folder;
        qsizetype m_at;
    };

    // Adds folder's names (nothing when it has none to take).
    void addFolder(Folder folder);
    void clear();

    qsizetype size() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    ConstIterator begin() const { return { this, 0, 0 }; }
    ConstIterator end() const { return { this, qsizetype(m_folders.size()), 0 }; }
    // Every file as a full path (for small lists: one QString each).
    QStringList paths() const;

private:
    std::vector<Folder> m_folders;
    qsizetype m_count = 0;
};

// The order QDir::entryList gives with QDir::Name | QDir::IgnoreCase, on two
// '\0'-ended UTF-8 names: below, equal or above zero.
int compareNamesIgnoringCase(const char* a, const char* b);
