#pragma once

#include "massrename/massrenameengine.h"
#include "massrename/massrenameview.h"
#include "massrename/renamejournal.h"
#include "settings/preferences.h"
#include "support/filestate.h"
#include "support/mp3builder.h"
#include "support/platformdoubles.h"
#include "support/qttesthelpers.h"
#include "tags/id3v2tag.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include <sys/stat.h>

// Everything a mass rename view is told, in order.
class RecordingView final : public MassRenameView {
public:
    struct Row {
        QString dir, oldName, newName;
        ResultColour colour;
        NameCollision collision = NameCollision::None;
    };

    void clearResults() override
    {
        rows.clear();
        ++clears;
    }
    void addResultRow(const QString& dir, const QString& oldName, const QString& newName, ResultColour colour) override
    {
        rows.append({ dir, oldName, newName, colour });
    }
    void addPreviewRow(
        const QString& dir, const QString& oldName, const QString& newName, NameCollision collision) override
    {
        rows.append({ dir, oldName, newName, ResultColour::Renamed, collision });
    }
    void setStatusText(const QString& text) override
    {
        statuses << text;
        if (onStatus)
            onStatus(text);
    }
    void setCurrentDir(const QString& dir) override { currentDir = dir; }
    void setCounters(const MassRenameCounters& c) override { counters = c; }
    void setRunControls(bool enabled) override { runControls << enabled; }
    void showRunStatus(bool on) override { runStatus << on; }
    void progress() override
    {
        ++progressCalls;
        if (onProgress)
            onProgress();
    }
    void refreshNow() override { }

    QList<Row> rows;
    QStringList statuses;
    QString currentDir;
    MassRenameCounters counters;
    QList<bool> runControls, runStatus;
    int clears = 0, progressCalls = 0;
    std::function<void(const QString&)> onStatus;
    std::function<void()> onProgress;
};

// Every file below root (hidden ones and subfolders included), by its path
// relative to root.
inline QMap<QString, FileState> treeState(const QString& root)
{
    QMap<QString, FileState> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st { };
        ::lstat(QFile::encodeName(path).constData(), &st);
        out[path.mid(root.size())] = { Mp3Builder::readFile(path), mode_t(st.st_mode & 07777),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec };
    }
    return out;
}

// Counters as one comparable text.
inline QString countsText(const MassRenameCounters& c)
{
    return QString::asprintf("found %lld total %lld skipped %lld errors %lld renamed %lld", qlonglong(c.found),
        qlonglong(c.total), qlonglong(c.skipped), qlonglong(c.errors), qlonglong(c.renamed));
}

// Tag values a test file is made with; empty texts and zeros write nothing.
struct TestTags {
    QString artist = {}, title = {}, album = {}, genre = {}, comments = {};
    int track = 0, year = 0;
};

// A temporary tree, the test doubles and an engine over them. Options are
// the stored defaults except New File Case "NC", so names keep their case
// unless a test asks for casing.
class MassRenameTest : public ::testing::Test, protected PlatformDoubles {
protected:
    MassRenameTest()
        : prefs(settings)
    {
        settings.values[QStringLiteral("Settings")][QStringLiteral("New File Case")] = QStringLiteral("NC");
        prefs.loadOptions();
        prefs.loadFilters();
        root = tmp.path() + QStringLiteral("/music/");
        QDir().mkpath(root);
        logFolder = tmp.path() + QStringLiteral("/logs/");
        engine = std::make_unique<MassRenameEngine>(services, prefs, view);
        engine->setLogFolder(logFolder);
        choices.startDir = root;
    }

    // A valid MP3 file at root + relPath (folders created), with tags when given.
    QString makeMp3(const QString& relPath, const TestTags* tags = nullptr, bool copyright = false)
    {
        const QString path = root + relPath;
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(Mp3Builder::writePlainMp3(path, 8, copyright));
        if (tags) {
            ID3V2Tag tag;
            tag.setFileName(path);
            tag.setArtist(tags->artist);
            tag.setTitle(tags->title);
            tag.setAlbum(tags->album);
            tag.setGenre(tags->genre);
            tag.setComments(tags->comments);
            if (tags->track)
                tag.setTrack(tags->track);
            if (tags->year)
                tag.setYear(tags->year);
            EXPECT_TRUE(tag.update());
        }
        return path;
    }

    QString makeFile(const QString& relPath, const QByteArray& bytes)
    {
        const QString path = root + relPath;
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(Mp3Builder::writeFile(path, bytes));
        return path;
    }

    bool exists(const QString& relPath) const { return QFileInfo::exists(root + relPath); }

    QStringList namesIn(const QString& relDir = QString()) const
    {
        return QDir(root + relDir).entryList(QDir::Files, QDir::Name);
    }

    // The view's rows as "dir/old > new", the folder relative to root, with
    // " (red)" for a skip or error and " (taken)" / " (taken in run)" for a
    // previewed name that cannot be had.
    QStringList rowTexts() const
    {
        QStringList out;
        for (const RecordingView::Row& r : view.rows) {
            QString text = r.dir.mid(r.dir.startsWith(root) ? root.size() : 0) + r.oldName + " > " + r.newName;
            if (r.colour == ResultColour::Failed)
                text += " (red)";
            if (r.collision != NameCollision::None)
                text += r.collision == NameCollision::ExistingFile ? " (taken)" : " (taken in run)";
            out << text;
        }
        return out;
    }
    QString counts() const { return countsText(view.counters); }

    // The last run's log, as text.
    QString logText() const
    {
        if (engine->logFileName().isEmpty())
            return QStringLiteral("<no log>");
        return QString::fromUtf8(Mp3Builder::readFile(engine->logFileName()));
    }
    QStringList logLines() const { return logText().split(QStringLiteral("\r\n")); }

    // The journal of the engine's last run.
    RenameJournalContents journal() const
    {
        RenameJournalContents contents;
        EXPECT_TRUE(readRenameJournal(engine->journalPath(), &contents, nullptr)) << qPrintable(engine->journalPath());
        return contents;
    }
    // How many renames the last run's journal holds.
    qsizetype journalRenames() const
    {
        const RenameJournalContents contents = journal();
        return std::count_if(contents.records.begin(), contents.records.end(),
            [](const RenameRecord& r) { return r.kind == RenameRecord::Kind::Rename; });
    }

    QTemporaryDir tmp;
    QString root;
    QString logFolder;
    Preferences prefs;
    RecordingView view;
    MassRenameChoices choices;
    std::unique_ptr<MassRenameEngine> engine;
};
