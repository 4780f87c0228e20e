#pragma once

#include <QByteArrayView>
#include <QString>

// What the first bytes of an image say about it, read without decoding it
// (the tag layer links no image library).
struct ImageHeader {
    QString mimeType; // "image/jpeg", "image/png", "image/gif", "image/bmp"; "" for any other data
    int width = 0;
    int height = 0;
    int depth = 0; // bits per pixel, as FLAC picture blocks store it
    int jpegFrame = 0; // a JPEG's SOFn marker: 0xC0 baseline, 0xC2 progressive; 0 when none was read
};

// The kind of image by its magic bytes, and its size and depth from the PNG
// IHDR chunk, the JPEG SOFn segment, the GIF screen descriptor or the BMP
// info header; sizes stay 0 when the header is cut short or damaged.
ImageHeader readImageHeader(QByteArrayView data);
