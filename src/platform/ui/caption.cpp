#include "caption.h"

QString CaptionText(const QString& text)
{
    QString caption = text;
    return caption.replace(QLatin1Char('&'), QLatin1String("&&"));
}
