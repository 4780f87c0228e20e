#pragma once

#include <QString>
#include <QVariant>

// One frame of a loaded ID3v2 tag, or one created since the load, as the
// tag object keeps it. A plain record: the tag object sets the flags.
class FrameItem {
public:
    int frameNo = 0; // frame number (FrameNo::TIT2, ...; 0 for frames without one)
    QVariant value; // text, or an integer for Year
    int position = 0; // 1-based position in the collection when the item was made
    QString description; // the frame's description ("" when it has none)
    QString language; // the frame's three-letter language ("" when none)
    QByteArray owner; // a UFID frame's owner identifier
    bool changed = false; // the value differs from the loaded one
    bool added = false; // made since the load; no frame in the file yet
    bool deleted = false; // the frame goes at the next save

    void markDeleted() { deleted = true; }
};
