#pragma once

#include "platform/fileerror.h"
#include "tags/coverpicture.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Why the data is no picture Qt can decode: larger than kMaxPictureBytes,
// or no image reader takes it (the reader's own reason); ok() otherwise.
FileError imageRefusal(const QByteArray& data);

// The picture made smaller when its width or height passes maxPixels: the
// same type and description, scaled smoothly with its aspect kept so that
// its larger side is maxPixels, flattened on white where it is transparent,
// stored as a baseline JPEG at quality (0-100). Nothing for a picture small
// enough already, for one Qt cannot decode, and for maxPixels < 1.
std::optional<CoverPicture> shrunkCover(const CoverPicture& picture, int maxPixels, int quality);

// What shrinking offers first: the size small players show, and a quality
// that keeps a cover clean.
constexpr int kDefaultShrinkPixels = 500;
constexpr int kDefaultShrinkQuality = 85;
