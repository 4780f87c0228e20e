#pragma once

#include <QString>

// "Velmora (V1.0.000)": product name, major, minor, three-digit revision.
inline QString VelmoraTitle()
{
    return QStringLiteral("Velmora (V%1.%2.%3)").arg(1).arg(0).arg(0, 3, 10, QLatin1Char('0'));
}
