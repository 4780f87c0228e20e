#pragma once

#include <QString>

// The program's version, shown in the title, the about box and error reports.
namespace VelmoraVersion {
constexpr int Major = 1;
constexpr int Minor = 0;
constexpr int Revision = 0;
} // namespace VelmoraVersion

// "Velmora (V1.0.000)": product name, major, minor, three-digit revision.
inline QString velmoraTitle()
{
    return QStringLiteral("Velmora (V%1.%2.%3)")
        .arg(VelmoraVersion::Major)
        .arg(VelmoraVersion::Minor)
        .arg(VelmoraVersion::Revision, 3, 10, QLatin1Char('0'));
}
