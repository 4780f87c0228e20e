// The file information report from a shell, to compare its audio facts
// with those of other readers.
#include "tagedit/fileinforeport.h"
#include "tags/id3v2tag.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

int fileInfoBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: velmora-bench file-info FILE\n");
        return 2;
    }
    const QString path = QFileInfo(args.at(0)).absoluteFilePath();
    // Loading a file as the main window does may rewrite it (a file with
    // both tags loses its ID3v1 trailer): the report is made from a copy.
    QTemporaryDir dir;
    const QString copy = dir.filePath(QFileInfo(path).fileName());
    if (!QFileInfo(path).isFile() || !dir.isValid() || !QFile::copy(path, copy)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    ID3V2Tag tag;
    tag.setFileName(copy);
    const QString text = fileInfoReport(path, tag);
    std::printf("%s\n", qPrintable(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"))));
    return 0;
}
