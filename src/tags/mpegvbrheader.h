#pragma once

#include "tags/mpegframe.h"

#include <QByteArray>

// The summary an encoder may put into the first frame of a stream: a
// Xing/Info header (with a LAME tag after it) or a VBRI header.
struct MpegVbrHeader {
    enum Kind { None, Xing, Info, Vbri };
    Kind kind = None;
    qint64 frames = -1; // audio frames after this one; -1 not given
    qint64 bytes = -1; // the stream's bytes, this frame included; -1 not given
    int encoderDelay = 0; // samples the encoder added at the start (LAME tag)
    int encoderPadding = 0; // and at the end
};

// Reads the header from frameBytes, the first bytes of the frame `frame`
// (up to kMpegVbrHeaderBytes).
MpegVbrHeader readMpegVbrHeader(const QByteArray& frameBytes, const MpegFrame& frame, bool crc);

constexpr int kMpegVbrHeaderBytes = 256;
