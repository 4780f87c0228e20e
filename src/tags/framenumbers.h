#pragma once

#include <QByteArray>

// The frame numbers Velmora uses for ID3v2.3 frames (the numbering that
// FrameNo in fieldcatalogue.h follows), for every frame the
// standard declares. Frames without a number (2.4-only frames, private
// extensions) get 0.
int frameNumberFor(const QByteArray& frameId);
// The same for four characters at id4.
int frameNumberFor(const char* id4);
// The four-character ID3v2.3 identifier of a frame number; "" when unknown.
QByteArray frameIdFor(int number);
