#include "audiofiles.h"

#include <QDir>
#include <QFileInfo>

QStringList audioFileNamePatterns(ListedFormats formats)
{
    const QString mp3 = QStringLiteral("*.mp3");
    if (formats == ListedFormats::Mp3Only)
        return { mp3 };
    return { mp3, QStringLiteral("*.flac"), QStringLiteral("*.ogg"), QStringLiteral("*.oga"), QStringLiteral("*.opus"),
        QStringLiteral("*.m4a"), QStringLiteral("*.mp4"), QStringLiteral("*.m4b") };
}

bool isAudioFileName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return !suffix.isEmpty() && audioFileNamePatterns().contains(QStringLiteral("*.") + suffix);
}

QStringList listAudioFiles(const QString& folder, ListedFormats formats)
{
    if (folder.isEmpty())
        return {};
    // Name filters of QDir ignore case unless told otherwise.
    return QDir(folder).entryList(audioFileNamePatterns(formats), QDir::Files, QDir::Name | QDir::IgnoreCase);
}
