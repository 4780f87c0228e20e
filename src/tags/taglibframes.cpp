#include "taglibframes.h"

#include "tags/fieldcatalogue.h"
#include "tags/framenumbers.h"
#include "tags/openedtagfile.h"
#include "tags/taglibstring.h"
#include "tags/tagscan.h"

#include <QStringList>

#include <taglib/attachedpictureframe.h>
#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>
#include <taglib/uniquefileidentifierframe.h>
#include <taglib/unknownframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/urllinkframe.h>

#include <cstring>
#include <limits>

using namespace TagLib;

namespace {

QString joinedFields(const StringList& fields, int from)
{
    if (int(fields.size()) == from + 1)
        return toQString(fields[from]);
    QStringList parts;
    for (int i = from; i < int(fields.size()); ++i)
        parts << toQString(fields[i]);
    return parts.join(QLatin1Char(' '));
}

// TagLib turns a genre reference "(17)" into the field "17"; the classic
// "(n)" text is put back together so that the genre rules apply to it.
QString genreText(const StringList& fields)
{
    QString out;
    for (const String& f : fields) {
        const QString s = toQString(f);
        bool digits = !s.isEmpty();
        for (QChar c : s)
            digits = digits && c.unicode() >= '0' && c.unicode() <= '9';
        if (digits)
            out += QLatin1Char('(') + s + QLatin1Char(')');
        else
            out += (out.isEmpty() || out.endsWith(QLatin1Char(')')) ? QString() : QStringLiteral(" ")) + s;
    }
    return out;
}

} // namespace

int FrameNumberOf(const ID3v2::Frame* frame)
{
    const ByteVector id = frame->frameID();
    if (id.size() != 4)
        return 0;
    if (id == "TDRC")
        return FrameNo::TYER;
    return FrameNumberFor(id.data());
}

QString DescriptionOf(const ID3v2::Frame* frame)
{
    if (auto* f = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(frame))
        return toQString(f->description());
    if (auto* f = dynamic_cast<const ID3v2::CommentsFrame*>(frame))
        return toQString(f->description());
    if (auto* f = dynamic_cast<const ID3v2::UnsynchronizedLyricsFrame*>(frame))
        return toQString(f->description());
    if (auto* f = dynamic_cast<const ID3v2::UserUrlLinkFrame*>(frame))
        return toQString(f->description());
    if (auto* f = dynamic_cast<const ID3v2::AttachedPictureFrame*>(frame))
        return toQString(f->description());
    return QString();
}

namespace {

// A play counter: the big-endian number of its body.
QVariant playCount(const ID3v2::Frame* frame)
{
    auto* unknown = dynamic_cast<const ID3v2::UnknownFrame*>(frame);
    if (!unknown)
        return QVariant();
    const ByteVector data = unknown->data();
    qint64 n = 0;
    for (uint i = 0; i < data.size() && i < 8; ++i)
        n = n << 8 | uchar(data[i]);
    return qMin<qint64>(n, std::numeric_limits<int>::max());
}

// The three language letters; read through a const vector, which TagLib
// does not copy.
QString languageOf(const ByteVector& language)
{
    return QString::fromLatin1(language.data(), int(language.size()));
}

} // namespace

clsID3Frame ItemFor(const ID3v2::Frame* frame, int index)
{
    clsID3Frame item;
    item.lIndex = index;
    item.eType = FrameNumberOf(frame);
    if (auto* f = dynamic_cast<const ID3v2::TextIdentificationFrame*>(frame)) {
        if (auto* u = dynamic_cast<const ID3v2::UserTextIdentificationFrame*>(frame)) {
            item.sDescription = toQString(u->description());
            item.vValue = joinedFields(u->fieldList(), 1);
        } else {
            item.vValue = frame->frameID() == "TCON" ? genreText(f->fieldList()) : joinedFields(f->fieldList(), 0);
        }
    } else if (auto* f = dynamic_cast<const ID3v2::CommentsFrame*>(frame)) {
        item.sDescription = toQString(f->description());
        item.vValue = toQString(f->text());
        item.vLanguage = languageOf(f->language());
    } else if (auto* f = dynamic_cast<const ID3v2::UrlLinkFrame*>(frame)) {
        if (auto* u = dynamic_cast<const ID3v2::UserUrlLinkFrame*>(frame))
            item.sDescription = toQString(u->description());
        item.vValue = toQString(f->url());
    } else if (auto* f = dynamic_cast<const ID3v2::UnsynchronizedLyricsFrame*>(frame)) {
        item.sDescription = toQString(f->description());
        item.vValue = toQString(f->text());
        item.vLanguage = languageOf(f->language());
    } else if (auto* f = dynamic_cast<const ID3v2::UniqueFileIdentifierFrame*>(frame)) {
        const ByteVector id = f->identifier();
        item.vValue = QString::fromLatin1(id.data(), int(id.size()));
    } else if (frame->frameID() == "PCNT") {
        item.vValue = playCount(frame);
    } else {
        item.sDescription = DescriptionOf(frame);
        item.vValue = QString();
    }
    return item;
}

namespace {

// TagLib 1.13 drops the empty description of a TXXX frame (its text then
// reads as the description, and a save would store it so) and rewrites
// genre references such as "(17)Rock". Both are put back from the stored
// bytes, so that reading is exact and unchanged frames are saved unchanged.
void repairFrames(ID3v2::Tag* tag, const QByteArray& tagBytes)
{
    QList<RawFrame> raw;
    if (!ScanRawFrames(tagBytes, &raw))
        return;
    for (const char* id : { "TXXX", "TCON" }) {
        const bool user = std::strcmp(id, "TXXX") == 0;
        QList<const RawFrame*> stored;
        for (const RawFrame& r : raw)
            if (r.id == id)
                stored << &r;
        const ID3v2::FrameList& frames = tag->frameList(id);
        if (qsizetype(frames.size()) != stored.size())
            continue;
        int k = 0;
        for (ID3v2::Frame* frame : frames) {
            const RawFrame* r = stored.at(k++);
            QString description;
            QString text;
            auto* f = dynamic_cast<ID3v2::TextIdentificationFrame*>(frame);
            if (!f || !r->usable || !DecodeTextBody(r->body, user, &description, &text))
                continue;
            if (user && description.isEmpty()) {
                StringList fields;
                fields.append(String());
                fields.append(toTagString(text));
                f->TextIdentificationFrame::setText(fields);
            } else if (!user && text.contains(QLatin1Char('('))) {
                f->setText(toTagString(text));
            }
        }
    }
}

// TagLib 1.13 reads the ID3v2.3 frames that version 2.4 abolished (volume
// and equaliser adjustment, size, recording dates) but leaves them out when
// it writes a 2.3 tag. The stored frames it left out, to be put back.
} // namespace

void RepairFrames(ID3v2::Tag* tag, const OpenedTagFile& file)
{
    const ID3v2::FrameListMap& map = tag->frameListMap();
    if (map.contains("TXXX") || map.contains("TCON"))
        repairFrames(tag, file.tagBytes());
}

QByteArray FramesTagLibDrops(const QByteArray& original, const QByteArray& rendered)
{
    QList<RawFrame> before;
    QList<RawFrame> after;
    if (!ScanRawFrames(original, &before) || !ScanRawFrames(rendered, &after))
        return QByteArray();
    QByteArray out;
    for (const RawFrame& f : before) {
        if (f.id != "RVAD" && f.id != "EQUA" && f.id != "TSIZ" && f.id != "TRDA")
            continue;
        bool present = false;
        for (const RawFrame& g : after)
            present = present || g.id == f.id;
        if (!present)
            out += f.stored;
    }
    return out;
}
