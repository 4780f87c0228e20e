#pragma once

#include "tags/frameitem.h"
#include "tags/storedtag.h"

#include <QByteArray>

// Reads the values of stored ID3v2 frames into the tag object's items and
// writes items back as frame data. Text: ISO-8859-1, UTF-16 (with or
// without a byte-order mark), UTF-16BE and UTF-8 are read; a value is
// written as ISO-8859-1 when it fits, otherwise as UTF-16 with a mark.

// The frame number of a stored identifier (2.2 names are taken as their
// 2.3 counterparts; TDRC counts as TYER); 0 when the program has none.
int frameNumberOfStored(const QByteArray& id, int version);

// The item of a stored frame; index is its 1-based position. A frame whose
// content cannot be read (encrypted, an unknown text encoding, too short)
// gives an item of frame number 0: no field reaches it, so it is only ever
// written back as it was.
FrameItem itemForStoredFrame(const StoredFrame& frame, int version, int index);

// The identifier an item's frame takes in a tag of that version ("" when
// that version has none).
QByteArray frameIdForItem(int frameNo, int version);

// The frame data (no header) holding the item's value; empty when the
// program cannot write that kind of frame.
QByteArray frameDataForItem(const FrameItem& item, int version);
