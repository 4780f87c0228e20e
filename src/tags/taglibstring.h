#pragma once

#include <QString>

// The one place where text crosses between TagLib and Qt. Included by the
// tag layer's own .cpp files only.
namespace TagLib {
class String;
}

QString toQString(const TagLib::String& s);
TagLib::String toTagString(const QString& s);
// True when every character of s has an ISO-8859-1 code.
bool fitsLatin1(const QString& s);
