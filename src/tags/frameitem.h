#pragma once

#include "tags/coverpicture.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <optional>

// One frame of a loaded ID3v2 tag, or one created since the load, as the
// tag object keeps it. A plain record: the tag object sets the flags.
class FrameItem {
public:
    // The frame's ID in its ID3v2.3/2.4 form ("TIT2"): a 2.2 frame takes its
    // 2.3 ID, or keeps its own three characters when it has none; TDRC counts
    // as TYER. "" for a frame whose content cannot be read, so no field
    // reaches it.
    QByteArray frameId;
    QVariant value; // text, or an integer for Year
    int position = 0; // 1-based position in the collection when the item was made
    QString description; // the frame's description ("" when it has none)
    QString language; // the frame's three-letter language ("" when none)
    QByteArray owner; // a UFID frame's owner identifier
    std::optional<CoverPicture> picture; // an APIC (PIC) frame's picture, when it reads as one
    // The ID (2.3 form) of a stored frame whose content cannot be read; a
    // value set for that kind replaces such a frame instead of adding a second.
    QByteArray unreadableId;
    bool changed = false; // the value differs from the loaded one
    bool added = false; // made since the load; no frame in the file yet
    bool deleted = false; // the frame goes at the next save

    void markDeleted() { deleted = true; }
};
