#include "framenumbers.h"

#include <QHash>

namespace {

// Index = frame number.
const char* const kIds[] = {
    "",     "AENC", "APIC", "COMM", "COMR", "ENCR", "EQUA", "ETCO", "GEOB", "GRID", "IPLS", "LINK", "MCDI",
    "MLLT", "OWNE", "PRIV", "PCNT", "POPM", "POSS", "RBUF", "RVAD", "RVRB", "SYLT", "SYTC", "TALB", "TBPM",
    "TCOM", "TCON", "TCOP", "TDAT", "TDLY", "TENC", "TEXT", "TFLT", "TIME", "TIT1", "TIT2", "TIT3", "TKEY",
    "TLAN", "TLEN", "TMED", "TOAL", "TOFN", "TOLY", "TOPE", "TORY", "TOWN", "TPE1", "TPE2", "TPE3", "TPE4",
    "TPOS", "TPUB", "TRCK", "TRDA", "TRSN", "TRSO", "TSIZ", "TSRC", "TSSE", "TXXX", "TYER", "UFID", "USER",
    "USLT", "WCOM", "WCOP", "WOAF", "WOAR", "WOAS", "WORS", "WPAY", "WPUB", "WXXX",
};
constexpr int kCount = int(sizeof(kIds) / sizeof(kIds[0]));

} // namespace

int FrameNumberFor(const QByteArray& frameId)
{
    if (frameId.size() != 4)
        return 0;
    static const QHash<QByteArray, int> numbers = [] {
        QHash<QByteArray, int> h;
        for (int i = 1; i < kCount; ++i)
            h.insert(QByteArray(kIds[i]), i);
        return h;
    }();
    return numbers.value(frameId, 0);
}

QByteArray FrameIdFor(int number)
{
    return number > 0 && number < kCount ? QByteArray(kIds[number]) : QByteArray();
}
