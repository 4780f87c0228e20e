#include "coverimage.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>

namespace {

// The size whose larger side is maxPixels, the aspect kept (at least one
// pixel on the other side).
QSize boundedSize(const QSize& size, int maxPixels)
{
    if (size.width() >= size.height())
        return { maxPixels, std::max(1, int(qRound64(double(size.height()) * maxPixels / size.width()))) };
    return { std::max(1, int(qRound64(double(size.width()) * maxPixels / size.height()))), maxPixels };
}

} // namespace

FileError imageRefusal(const QByteArray& data)
{
    if (data.size() > kMaxPictureBytes)
        return { ErrorNo::Overflow,
            QStringLiteral("The picture is larger than %1 MB.").arg(kMaxPictureBytes / (1024 * 1024)) };
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Decoded, not only recognised: a cut-off image has a good header.
    if (reader.read().isNull())
        return { ErrorNo::WrongType,
            QStringLiteral("The picture cannot be read as an image: ") + reader.errorString() };
    return {};
}

std::optional<CoverPicture> shrunkCover(const CoverPicture& picture, int maxPixels, int quality)
{
    if (maxPixels < 1)
        return std::nullopt;
    QBuffer buffer;
    buffer.setData(picture.data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The header tells most small pictures without decoding them.
    const QSize stated = reader.size();
    if (stated.isValid() && stated.width() <= maxPixels && stated.height() <= maxPixels)
        return std::nullopt;
    const QImage image = reader.read();
    if (image.isNull() || (image.width() <= maxPixels && image.height() <= maxPixels))
        return std::nullopt;

    const QSize size = boundedSize(image.size(), maxPixels);
    QImage scaled = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // JPEG has no transparency: what shows through is white, not black.
    QImage flat(size, QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, scaled);
    }

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "jpeg");
    writer.setQuality(std::clamp(quality, 0, 100));
    writer.setProgressiveScanWrite(false);
    if (!writer.write(flat))
        return std::nullopt;
    return coverPicture(out.data(), picture.type, picture.description);
}
