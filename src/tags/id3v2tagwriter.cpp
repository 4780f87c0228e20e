#include "id3v2tagwriter.h"

#include "tags/fieldcatalogue.h"
#include "tags/framenumbers.h"
#include "tags/id3v2tag.h"
#include "tags/taglibframes.h"
#include "tags/taglibstring.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/textidentificationframe.h>
#include <taglib/uniquefileidentifierframe.h>
#include <taglib/unknownframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/urllinkframe.h>

#include <vector>

using namespace TagLib;

namespace {

String::Type encodingFor(const QString& a, const QString& b = QString())
{
    return fitsLatin1(a) && fitsLatin1(b) ? String::Latin1 : String::UTF16;
}

ByteVector latin1Bytes(const QString& s)
{
    const QByteArray b = s.toLatin1();
    return ByteVector(b.constData(), uint(b.size()));
}

ByteVector languageOf(const QString& language)
{
    return language.size() == 3 ? latin1Bytes(language) : ByteVector("eng");
}

QString valueText(const QVariant& v)
{
    return v.toString();
}

// Frames the writer can make from a value.
bool creatable(const QByteArray& id)
{
    return id.startsWith('T') || id.startsWith('W') || id == "COMM" || id == "USLT" || id == "UFID";
}

} // namespace

void ID3V2TagWriter::apply(const QList<clsID3Frame>& items, bool itemsFromTrailer)
{
    // Plain pointers: a copy of TagLib's list would own (and at its end
    // delete) the frames once the tag's own list changes.
    const ID3v2::FrameList& frames = m_tag->frameList();
    std::vector<ID3v2::Frame*> byIndex(frames.begin(), frames.end());
    std::vector<bool> used(byIndex.size(), false);
    for (const clsID3Frame& item : items) {
        if (item.bNew || itemsFromTrailer) {
            if (!item.bDeleted)
                create(item);
            continue;
        }
        if (!item.bDeleted && !item.bChanged)
            continue;
        // The item's own frame is at its place in the list; should the
        // file have changed since the load, the first frame of the same
        // kind and description stands in.
        auto free = [&](int i) {
            return i >= 0 && i < int(byIndex.size()) && !used[size_t(i)]
                && FrameNumberOf(byIndex[size_t(i)]) == item.eType;
        };
        int at = item.lIndex - 1;
        if (!free(at)) {
            at = -1;
            for (int i = 0; i < int(byIndex.size()) && at < 0; ++i)
                if (free(i) && DescriptionOf(byIndex[size_t(i)]) == item.sDescription)
                    at = i;
        }
        if (at < 0) {
            if (!item.bDeleted)
                create(item);
            continue;
        }
        used[size_t(at)] = true;
        ID3v2::Frame* frame = byIndex[size_t(at)];
        if (item.bDeleted)
            m_tag->removeFrame(frame, true);
        else
            write(frame, item);
    }
}

void ID3V2TagWriter::write(ID3v2::Frame* frame, const clsID3Frame& item)
{
    const QString text = valueText(item.vValue);
    if (dynamic_cast<ID3v2::UnknownFrame*>(frame) && creatable(FrameIdFor(item.eType))) {
        // A frame TagLib could not parse: a fresh one takes the value.
        m_tag->removeFrame(frame, true);
        create(item);
        return;
    }
    if (frame->frameID() == "TDRC" && !m_v4) {
        // A new year is stored as the plain number; the old date goes.
        m_tag->removeFrame(frame, true);
        create(item);
        return;
    }
    if (auto* f = dynamic_cast<ID3v2::UserTextIdentificationFrame*>(frame)) {
        f->setTextEncoding(encodingFor(text, item.sDescription));
        StringList fields;
        fields.append(toTagString(item.sDescription));
        fields.append(toTagString(text));
        f->TextIdentificationFrame::setText(fields);
    } else if (auto* f = dynamic_cast<ID3v2::TextIdentificationFrame*>(frame)) {
        f->setTextEncoding(encodingFor(text));
        f->setText(toTagString(text));
    } else if (auto* f = dynamic_cast<ID3v2::CommentsFrame*>(frame)) {
        f->setTextEncoding(encodingFor(text, toQString(f->description())));
        f->setText(toTagString(text));
    } else if (auto* f = dynamic_cast<ID3v2::UnsynchronizedLyricsFrame*>(frame)) {
        f->setTextEncoding(encodingFor(text, toQString(f->description())));
        f->setText(toTagString(text));
    } else if (auto* f = dynamic_cast<ID3v2::UniqueFileIdentifierFrame*>(frame)) {
        f->setIdentifier(latin1Bytes(text));
    } else if (auto* f = dynamic_cast<ID3v2::UserUrlLinkFrame*>(frame)) {
        f->setTextEncoding(encodingFor(toQString(f->description())));
        f->setUrl(toTagString(text));
    } else if (auto* f = dynamic_cast<ID3v2::UrlLinkFrame*>(frame)) {
        f->setUrl(toTagString(text));
    } else {
        m_owner.reportMissingField();
    }
}

void ID3V2TagWriter::create(const clsID3Frame& item)
{
    const QString text = valueText(item.vValue);
    const QString& desc = item.sDescription;
    QByteArray id = FrameIdFor(item.eType);
    if (item.eType == FrameNo::TYER)
        id = m_v4 ? "TDRC" : "TYER";
    const ByteVector frameId(id.constData(), uint(id.size()));
    const String::Type enc = encodingFor(text, desc);
    ID3v2::Frame* frame = nullptr;
    if (id == "TXXX") {
        auto* f = new ID3v2::UserTextIdentificationFrame(enc);
        f->setDescription(toTagString(desc));
        f->setText(toTagString(text));
        frame = f;
    } else if (id.startsWith('T')) {
        auto* f = new ID3v2::TextIdentificationFrame(frameId, enc);
        f->setText(toTagString(text));
        frame = f;
    } else if (id == "COMM") {
        auto* f = new ID3v2::CommentsFrame(enc);
        f->setLanguage(languageOf(item.vLanguage));
        f->setDescription(toTagString(desc));
        f->setText(toTagString(text));
        frame = f;
    } else if (id == "USLT") {
        auto* f = new ID3v2::UnsynchronizedLyricsFrame(enc);
        f->setLanguage(languageOf(item.vLanguage));
        f->setDescription(toTagString(desc));
        f->setText(toTagString(text));
        frame = f;
    } else if (id == "UFID") {
        frame = new ID3v2::UniqueFileIdentifierFrame(String(), latin1Bytes(text));
    } else if (id == "WXXX") {
        auto* f = new ID3v2::UserUrlLinkFrame(encodingFor(desc));
        f->setDescription(toTagString(desc));
        f->setUrl(toTagString(text));
        frame = f;
    } else if (id.startsWith('W')) {
        auto* f = new ID3v2::UrlLinkFrame(frameId);
        f->setUrl(toTagString(text));
        frame = f;
    }
    if (frame)
        m_tag->addFrame(frame);
    else
        m_owner.reportMissingField();
}
