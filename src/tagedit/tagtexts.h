#pragma once

#include "tags/fieldcatalogue.h"

#include <QString>

#include <array>

class AudioTag;
struct Options;

// The tag texts of a file as the tag boxes show them, in panel order.
using TagTexts = std::array<QString, kFieldCount>;

// The boxes' texts of a loaded tag: texts trimmed of blanks; Track and
// Total Tracks by formatTrack ("" for 0); Year by formatYear ("" for 0);
// Copyright "True"/"False" from the MPEG audio header's bit ("False" for
// other formats).
TagTexts tagTextsOf(const AudioTag& tag, const Options& options);
