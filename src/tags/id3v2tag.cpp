#include "id3v2tag.h"

#include "tags/id3v1tag.h"
#include "tags/id3v2header.h"
#include "tags/uniquekey.h"
#include "text/texthelpers.h"

namespace {

int leadingNumber(const QVariant& v)
{
    if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
        return v.toInt();
    return leadingNumber(v.toString());
}

bool isEmptyText(const QVariant& v)
{
    return !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.typeId() == b.typeId())
        return a == b;
    return a.toString() == b.toString();
}

QString withApostrophes(QString s)
{
    return s.replace(QLatin1Char('"'), QLatin1Char('\''));
}

} // namespace

ID3V2Tag::ID3V2Tag() = default;

ID3V2Tag::~ID3V2Tag() = default;

const FrameItem* ID3V2Tag::findItem(const QByteArray& frameId, const QString& descriptor) const
{
    for (const FrameItem& item : m_frames)
        if (item.frameId == frameId && item.description == descriptor)
            return &item;
    return nullptr;
}

FrameItem* ID3V2Tag::findItem(const QByteArray& frameId, const QString& descriptor)
{
    for (FrameItem& item : m_frames)
        if (item.frameId == frameId && item.description == descriptor)
            return &item;
    return nullptr;
}

FrameItem& ID3V2Tag::appendItem(const QByteArray& frameId, const QString& descriptor)
{
    FrameItem created;
    created.frameId = frameId;
    created.description = descriptor;
    created.position = int(m_frames.size()) + 1;
    created.changed = true;
    created.added = true;
    m_frames.append(created);
    return m_frames.last();
}

QVariant ID3V2Tag::getFrameValue(const QByteArray& frameId, const QString& descriptor) const
{
    const FrameItem* item = findItem(frameId, descriptor);
    return item ? item->value : QVariant();
}

void ID3V2Tag::setFrameValue(const QByteArray& frameId, const QVariant& value, const QString& descriptor)
{
    FrameItem* item = findItem(frameId, descriptor);
    if (!isEmptyText(value)) {
        if (!item) {
            // A frame of this kind that cannot be read takes the value in its
            // place: two frames of one kind leave readers disagreeing. Its
            // description is unknown, so only the plain field (no
            // description) reaches it.
            for (FrameItem& unreadable : m_frames) {
                if (descriptor.isEmpty() && unreadable.frameId.isEmpty() && unreadable.unreadableId == frameId
                    && !unreadable.deleted) {
                    unreadable.frameId = frameId;
                    unreadable.value = value;
                    unreadable.changed = true;
                    return;
                }
            }
            appendItem(frameId, descriptor).value = value;
            return;
        }
        if (!sameValue(item->value, value) || item->deleted)
            item->changed = true;
        // A value assigned after a deletion (an empty frame goes at load)
        // brings the frame back instead of being lost with it.
        item->deleted = false;
        item->value = value;
    } else if (item) {
        item->markDeleted();
    }
}

void ID3V2Tag::stripQuotes()
{
    // The rule works on the stored text, so a value without '"' is never
    // assigned again (a genre "(13)" stays so, an empty frame stays). Items
    // marked for deletion stay deleted.
    auto pass = [this](const QByteArray& frameId, const char* selector) {
        const FrameItem* item = findItem(frameId, QLatin1String(selector));
        if (!item || item->deleted || item->value.typeId() != QMetaType::QString)
            return;
        const QString stored = item->value.toString();
        if (stored.contains(QLatin1Char('"')))
            setFrameValue(frameId, withApostrophes(stored), QLatin1String(selector));
    };
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldInfo& f = fieldInfo(i);
        if (f.quotesToApostrophes && f.kind != FieldKind::UniqueKey)
            pass(f.frameId, f.selector);
    }
    pass("USLT", "");
    // A unique key is an identifier, often binary: only one the user gave is
    // changed, never one read from the file.
    const FrameItem* key = ownUniqueKeyItem();
    if (key && !key->deleted && key->changed) {
        const QString typed = uniqueKeyText();
        if (typed.contains(QLatin1Char('"')))
            setUniqueKeyText(withApostrophes(typed));
    }
}

bool ID3V2Tag::update()
{
    return saveFrames();
}

void ID3V2Tag::clearValues()
{
    m_frames.clear();
}

QString ID3V2Tag::textValue(const QByteArray& frameId, const char* selector) const
{
    return getFrameValue(frameId, QLatin1String(selector)).toString();
}

void ID3V2Tag::setTextValue(const QByteArray& frameId, const QString& v, const char* selector)
{
    setFrameValue(frameId, v, QLatin1String(selector));
}

const FrameItem* ID3V2Tag::shownUniqueKeyItem() const
{
    // Velmora's own key first; else another program's, shown but never written.
    const FrameItem* other = nullptr;
    for (const FrameItem& item : m_frames) {
        if (item.frameId != "UFID" || item.deleted)
            continue;
        if (isOwnUniqueKey(item))
            return &item;
        if (!other)
            other = &item;
    }
    return other;
}

FrameItem* ID3V2Tag::ownUniqueKeyItem()
{
    for (FrameItem& item : m_frames)
        if (item.frameId == "UFID" && isOwnUniqueKey(item))
            return &item;
    return nullptr;
}

bool ID3V2Tag::isOwnUniqueKey(const FrameItem& item)
{
    return item.owner.isEmpty() || item.owner == kUniqueKeyOwner;
}

QString ID3V2Tag::uniqueKeyText() const
{
    const FrameItem* item = shownUniqueKeyItem();
    return item ? uniqueKeyOf(item->value.toString()) : QString();
}

void ID3V2Tag::setUniqueKeyText(const QString& v)
{
    // The key as it reads keeps its stored bytes, so a binary identifier
    // survives a save. A new key goes into Velmora's own frame only: another
    // program's identifier (a database's recording id) is never overwritten.
    if (v == uniqueKeyText())
        return;
    FrameItem* own = ownUniqueKeyItem();
    if (v.isEmpty()) {
        if (own)
            own->markDeleted();
        return;
    }
    if (!own) {
        own = &appendItem("UFID", QString());
        own->owner = kUniqueKeyOwner;
    }
    own->value = storedUniqueKey(v);
    own->changed = true;
    own->deleted = false;
}

int ID3V2Tag::track() const
{
    return leadingNumber(textValue("TRCK", ""));
}

int ID3V2Tag::totalTracks() const
{
    const QString text = textValue("TRCK", "");
    const int slash = int(text.indexOf(QLatin1Char('/')));
    return slash < 0 ? 0 : leadingNumber(text.mid(slash + 1));
}

void ID3V2Tag::setTrackPair(int track, int total)
{
    // The pair the frame already reads as keeps its stored text ("03/12",
    // "A1").
    const FrameItem* item = findItem("TRCK", QString());
    if (item && !item->deleted && track == this->track() && total == totalTracks())
        return;
    // A total without a track number is kept as "0/12": the standard's TRCK
    // begins with a number, and readers that take the number before "/"
    // read 0, no track (one of them refuses "/12" outright).
    QString text;
    if (track > 0 || total > 0)
        text = total > 0 ? QString::number(qMax(track, 0)) + QLatin1Char('/') + QString::number(total)
                         : QString::number(track);
    setTextValue("TRCK", text, "");
}

void ID3V2Tag::setTrack(int v)
{
    setTrackPair(v, totalTracks());
}
void ID3V2Tag::setTotalTracks(int v)
{
    setTrackPair(track(), v);
}

int ID3V2Tag::year() const
{
    return leadingNumber(getFrameValue("TYER", QString()));
}

void ID3V2Tag::setYear(int v)
{
    // The year already stored keeps its full date ("1997-09-22").
    const FrameItem* item = findItem("TYER", QString());
    if (item && !item->deleted && leadingNumber(item->value) == v)
        return;
    if (v <= 0)
        setFrameValue("TYER", QString(), QString());
    else
        setFrameValue("TYER", v, QString());
    // A new year leaves one date: a second year frame (a legacy TYER beside
    // TDRC) and the day and time of the old date (TDAT, TIME) go with it.
    const FrameItem* kept = findItem("TYER", QString());
    for (FrameItem& item : m_frames) {
        const bool otherYear = item.frameId == "TYER" && &item != kept;
        const bool datePart
            = item.frameId == "TDAT" || item.frameId == "TIME" || item.frameId == "TDA" || item.frameId == "TIM";
        if (otherYear || datePart)
            item.markDeleted();
    }
}

QString ID3V2Tag::genreText() const
{
    const QString text = textValue("TCON", "");
    if (!text.startsWith(QLatin1Char('(')) || !text.endsWith(QLatin1Char(')')))
        return text;
    int from = 0;
    int to = int(text.size());
    auto strip = [](QChar c) { return c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char(' '); };
    while (from < to && strip(text.at(from)))
        ++from;
    while (to > from && strip(text.at(to - 1)))
        --to;
    const int n = leadingNumber(text.mid(from, to - from));
    if (n + 1 < 0 || n + 1 > GenreCount + 1)
        return text;
    return n == -1 ? QStringLiteral("Unknown") : genreName(n);
}

QString ID3V2Tag::fieldText(FieldId id) const
{
    const FieldInfo& f = fieldInfo(id);
    switch (f.kind) {
    case FieldKind::TrackNumber:
        return QString::number(track());
    case FieldKind::TrackTotal:
        return QString::number(totalTracks());
    case FieldKind::Year:
        return QString::number(year());
    case FieldKind::Genre:
        return genreText();
    case FieldKind::UniqueKey:
        return uniqueKeyText();
    case FieldKind::CopyrightBit:
        return m_audio.copyright ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::Text:
        break;
    }
    return textValue(f.frameId, f.selector);
}

void ID3V2Tag::setFieldText(FieldId id, const QString& text)
{
    const FieldInfo& f = fieldInfo(id);
    // The text a frame already shows keeps its stored form: a genre "(13)"
    // shown as "Pop", an empty frame.
    const FrameItem* item = *f.frameId ? findItem(f.frameId, QLatin1String(f.selector)) : nullptr;
    if ((f.kind == FieldKind::Text || f.kind == FieldKind::Genre) && item && !item->deleted && fieldText(id) == text)
        return;
    switch (f.kind) {
    case FieldKind::TrackNumber:
        setTrack(leadingNumber(text));
        return;
    case FieldKind::TrackTotal:
        setTotalTracks(leadingNumber(text));
        return;
    case FieldKind::Year:
        setYear(leadingNumber(text));
        return;
    case FieldKind::UniqueKey:
        setUniqueKeyText(text);
        return;
    case FieldKind::CopyrightBit:
        setCopyRight(text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0);
        return;
    case FieldKind::Genre:
    case FieldKind::Text:
        break;
    }
    setTextValue(f.frameId, text, f.selector);
}

QList<CoverPicture> ID3V2Tag::pictures() const
{
    QList<CoverPicture> out;
    for (const FrameItem& item : m_frames)
        if (item.frameId == "APIC" && item.picture && !item.deleted)
            out << *item.picture;
    return out;
}

FileError ID3V2Tag::setPictures(const QList<CoverPicture>& pictures)
{
    // The tag at least: its frames less the pictures going, and the new
    // pictures' bytes; the save checks the exact size.
    qint64 size = m_framesSize;
    for (const CoverPicture& p : this->pictures())
        size -= p.data.size();
    for (const CoverPicture& p : pictures)
        size += p.data.size();
    if (size > kId3v2HeaderBytes + kMaxSyncsafe)
        return { ErrorNo::Overflow,
            QStringLiteral("The pictures would pass the 256 MB an ID3v2 tag can hold. The file was left as it was.") };
    // Frames keep their place in the tag and new ones go after all others:
    // the pictures that match in order stay, every one after the first
    // mismatch is written again.
    qsizetype next = 0;
    for (FrameItem& item : m_frames) {
        if (item.frameId != "APIC" || !item.picture || item.deleted)
            continue;
        if (next < pictures.size() && samePicture(*item.picture, pictures[next]))
            ++next;
        else
            item.markDeleted();
    }
    for (; next < pictures.size(); ++next) {
        FrameItem& item = appendItem("APIC", pictures[next].description);
        item.value = QString();
        item.picture = pictures[next];
    }
    return {};
}
