#pragma once

#include "tags/frameitem.h"
#include "tags/storedtag.h"

#include <QByteArray>

// Reads the values of stored ID3v2 frames into the tag object's items and
// writes items back as frame data. Text: ISO-8859-1, UTF-16 (with or
// without a byte-order mark), UTF-16BE and UTF-8 are read; a value is
// written as ISO-8859-1 when it fits, otherwise as UTF-16 with a mark.

// The item of a stored frame; index is its 1-based position. Its ID is the
// stored identifier, except that a 2.2 name becomes its 2.3 ID (one without
// a 2.3 counterpart stays as it is) and TDRC counts as TYER. A frame whose
// content cannot be read (encrypted, an unknown text encoding, too short)
// gives an item without an ID: no field reaches it, so it is only ever
// written back as it was.
FrameItem itemForStoredFrame(const StoredFrame& frame, int version, int index);

// The identifier an item's frame takes in a tag of that version: 2.2 takes
// the three-character name, 2.3 and 2.4 the four-character ID (TYER is TDRC
// in 2.4). "" when that version has none, or the ID is not made of capital
// letters and digits.
QByteArray frameIdForItem(const QByteArray& frameId, int version);

// The frame data (no header) holding the item's value; empty when the
// program cannot write that kind of frame.
QByteArray frameDataForItem(const FrameItem& item, int version);
