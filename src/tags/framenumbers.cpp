#include "framenumbers.h"

#include <QHash>

namespace {

// Index = frame number.
const char* const kIds[] = {
    "",
    "AENC",
    "APIC",
    "COMM",
    "COMR",
    "ENCR",
    "EQUA",
    "ETCO",
    "GEOB",
    "GRID",
    "IPLS",
    "LINK",
    "MCDI",
    "MLLT",
    "OWNE",
    "PRIV",
    "PCNT",
    "POPM",
    "POSS",
    "RBUF",
    "RVAD",
    "RVRB",
    "SYLT",
    "SYTC",
    "TALB",
    "TBPM",
    "TCOM",
    "TCON",
    "TCOP",
    "TDAT",
    "TDLY",
    "TENC",
    "TEXT",
    "TFLT",
    "TIME",
    "TIT1",
    "TIT2",
    "TIT3",
    "TKEY",
    "TLAN",
    "TLEN",
    "TMED",
    "TOAL",
    "TOFN",
    "TOLY",
    "TOPE",
    "TORY",
    "TOWN",
    "TPE1",
    "TPE2",
    "TPE3",
    "TPE4",
    "TPOS",
    "TPUB",
    "TRCK",
    "TRDA",
    "TRSN",
    "TRSO",
    "TSIZ",
    "TSRC",
    "TSSE",
    "TXXX",
    "TYER",
    "UFID",
    "USER",
    "USLT",
    "WCOM",
    "WCOP",
    "WOAF",
    "WOAR",
    "WOAS",
    "WORS",
    "WPAY",
    "WPUB",
    "WXXX",
};
constexpr int kCount = int(sizeof(kIds) / sizeof(kIds[0]));

} // namespace

int frameNumberFor(const QByteArray& frameId)
{
    return frameId.size() == 4 ? frameNumberFor(frameId.constData()) : 0;
}

int frameNumberFor(const char* id4)
{
    auto key = [](const char* id) {
        return quint32(uchar(id[0])) << 24 | quint32(uchar(id[1])) << 16 | quint32(uchar(id[2])) << 8 | uchar(id[3]);
    };
    static const QHash<quint32, int> numbers = [&key] {
        QHash<quint32, int> h;
        for (int i = 1; i < kCount; ++i)
            h.insert(key(kIds[i]), i);
        return h;
    }();
    return numbers.value(key(id4), 0);
}

QByteArray frameIdFor(int number)
{
    return number > 0 && number < kCount ? QByteArray(kIds[number]) : QByteArray();
}
