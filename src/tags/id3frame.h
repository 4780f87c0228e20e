#pragma once

#include <QString>
#include <QVariant>

// One frame of a loaded ID3v2 tag, or one created since the load, as the
// tag object keeps it. A plain record: the tag object sets the flags.
class clsID3Frame {
public:
    int eType = 0; // frame number (FrameNo::TIT2, ...; 0 for frames without one)
    QVariant vValue; // text, or an integer for Year
    int lIndex = 0; // 1-based position in the collection when the item was made
    QString sDescription; // the frame's description ("" when it has none)
    QString vLanguage; // the frame's three-letter language ("" when none)
    QByteArray ufidOwner; // a UFID frame's owner identifier
    bool bChanged = false; // the value differs from the loaded one
    bool bNew = false; // made since the load; no frame in the file yet
    bool bDeleted = false; // the frame goes at the next save

    void Delete() { bDeleted = true; }
};
