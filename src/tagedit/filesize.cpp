#include "filesize.h"

#include <QLocale>

namespace {

QString fixed(double value, int decimals)
{
    // "0.00"-style patterns carry no thousands separator.
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

QString bytesText(qint64 bytes)
{
    return QLocale().toString(bytes) + QStringLiteral(" bytes");
}

} // namespace

QString formatFileSize(qint64 bytes)
{
    if (bytes < 1024)
        return bytesText(bytes);
    const qint64 k = bytes / 1024;
    const double kb = double(bytes) / 1024.0;
    const double mb = double(bytes) / 1048576.0;
    if (k < 10)
        return fixed(kb, 2) + QStringLiteral("KB");
    if (k < 100)
        return fixed(kb, 1) + QStringLiteral("KB");
    if (k < 1000)
        return fixed(kb, 0) + QStringLiteral("KB");
    if (k < 10000)
        return fixed(mb, 2) + QStringLiteral("MB");
    if (k < 100000)
        return fixed(mb, 1) + QStringLiteral("MB");
    if (k < 1000000)
        return fixed(mb, 0) + QStringLiteral("MB");
    return fixed(double(bytes) / 1073741824.0, 2) + QStringLiteral("GB");
}

QString formatFileSizeWithBytes(qint64 bytes)
{
    if (bytes < 1024)
        return formatFileSize(bytes);
    return formatFileSize(bytes) + QStringLiteral(" (") + bytesText(bytes) + QLatin1Char(')');
}
