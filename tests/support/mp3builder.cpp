#include "mp3builder.h"

#include <QFile>

namespace Mp3Builder {

QByteArray audioFrames(int count, bool copyright)
{
    QByteArray frame(kFrameBytes, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = char(copyright ? 0x6C : 0x64);
    for (int i = 4; i < kFrameBytes; ++i)
        frame[i] = char((i * 7 + 3) & 0x7F); // never 0xFF: no false sync inside a frame
    QByteArray out;
    out.reserve(count * kFrameBytes);
    for (int n = 0; n < count; ++n)
        out += frame;
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writePlainMp3(const QString& path, int frameCount, bool copyright)
{
    return writeFile(path, audioFrames(frameCount, copyright));
}

} // namespace Mp3Builder
