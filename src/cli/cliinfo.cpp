#include "cliinfo.h"

#include "tagedit/fileinforeport.h"
#include "tags/audiotag.h"

#include <QStringList>

namespace {

// The facts a format gives, in print order; 0 means it does not give one.
QList<std::pair<QString, qint64>> factsOf(const TagLibAudioFacts& facts)
{
    return { { QStringLiteral("Sample Rate"), facts.sampleRate }, { QStringLiteral("Channels"), facts.channels },
        { QStringLiteral("Bits Per Sample"), facts.bitsPerSample }, { QStringLiteral("Bit Rate"), facts.bitRate } };
}

QString fieldName(int index)
{
    return QString::fromLatin1(fieldInfo(index).name);
}

} // namespace

QString cliInfoText(const QString& path, const AudioTag& tag)
{
    QStringList lines { path, QStringLiteral("  Format: ") + audioFormatName(tag.format()) };
    for (int i = 0; i < kFieldCount; ++i) {
        const QString text = tag.fieldText(FieldId(i));
        if (FieldId(i) != FieldId::CopyRight && !text.isEmpty())
            lines << QStringLiteral("  ") + fieldName(i) + QStringLiteral(": ") + text;
    }
    const TagLibAudioFacts facts = tag.audioFacts();
    if (!facts.codec.isEmpty())
        lines << QStringLiteral("  Codec: ") + facts.codec;
    for (const auto& [name, value] : factsOf(facts))
        if (value > 0)
            lines << QStringLiteral("  ") + name + QStringLiteral(": ") + QString::number(value);
    if (facts.lengthMs > 0)
        lines << QStringLiteral("  Length: ") + formatPlayTime(float(facts.lengthMs) / 1000);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject cliInfoJson(const QString& path, const AudioTag& tag)
{
    QJsonObject fields;
    for (int i = 0; i < kFieldCount; ++i) {
        const QString text = tag.fieldText(FieldId(i));
        if (FieldId(i) != FieldId::CopyRight && !text.isEmpty())
            fields.insert(fieldName(i), text);
    }
    const TagLibAudioFacts facts = tag.audioFacts();
    const QJsonObject audio { { "codec", facts.codec }, { "sampleRate", facts.sampleRate },
        { "channels", facts.channels }, { "bitsPerSample", facts.bitsPerSample },
        { "lengthMs", double(facts.lengthMs) }, { "bitRate", facts.bitRate } };
    return { { "path", path }, { "format", audioFormatName(tag.format()) }, { "fields", fields }, { "audio", audio } };
}
