#pragma once

#include <QByteArray>
#include <QString>

// How the Unique Key field sits in a UFID frame's identifier bytes: every
// byte followed by a blank. Text that Latin-1 holds is stored as Latin-1,
// other text as UTF-8, so any key reads back as it was typed. The frame's
// value keeps those bytes one character per byte (Latin-1), which the frame
// codec writes back unchanged.

// The owner Velmora writes its keys under; a UFID without an owner is
// taken as Velmora's too.
inline constexpr char kUniqueKeyOwner[] = "Velmora";

// The frame value (one character per byte) that stores key.
QString storedUniqueKey(const QString& key);

// The key a stored value holds: the blanks taken out again when every second
// character is one, then UTF-8 when the bytes are UTF-8 beyond ASCII, else
// Latin-1. A value written by another program (binary or plain text) reads
// as it is.
QString uniqueKeyOf(const QString& stored);
