#pragma once

#include "platform/trash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

// A trash for tests: moves each file into `folder` (when set) and records its
// path; `failNext` makes the next call fail with the file left in place.
class RecordingTrash final : public Trash {
public:
    bool moveToTrash(const QString& path, FileError* err = nullptr) override
    {
        if (failNext) {
            failNext = false;
            return reportFileError(err, { 75, QStringLiteral("Permission denied") });
        }
        if (!QFileInfo::exists(path))
            return reportFileError(err, { 53, QStringLiteral("No such file or directory") });
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            const QString target = QDir(folder).filePath(
                QString::number(trashed.size()) + QLatin1Char('_') + QFileInfo(path).fileName());
            if (!QFile::rename(path, target))
                return reportFileError(err, { 75, QStringLiteral("Permission denied") });
        }
        trashed << path;
        return reportFileError(err, {});
    }

    QString folder;
    QStringList trashed;
    bool failNext = false;
};
