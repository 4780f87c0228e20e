// The file information report from a shell, to compare its audio facts
// with those of other readers.
#include "tagedit/fileinforeport.h"
#include "tags/id3v2tag.h"

#include <QFileInfo>

#include <cstdio>

int fileInfoBench(const QStringList& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: velmora-bench file-info FILE\n");
        return 2;
    }
    const QString path = QFileInfo(args.at(0)).absoluteFilePath();
    // The report reads the file and leaves it as it is, trailer included.
    ID3V2Tag tag;
    tag.setKeepTrailerOnLoad(true);
    if (!QFileInfo(path).isFile() || !tag.setFileName(path).ok()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QString text = fileInfoReport(path, tag);
    std::printf("%s\n", qPrintable(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"))));
    return 0;
}
