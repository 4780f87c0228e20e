// Tag commands of the main window: loading the tag boxes from the selected
// file, saving them as ID3v2 tag and ID3v1 trailer, and stripping tags.
#include "velmora.h"

#include "nameedit/nameeditsession.h"
#include "nameedit/stringhelpers.h"
#include "platform/platformservices.h"
#include "settings/preferences.h"
#include "tagedit/cfileinfo.h"
#include "tagedit/ui/clsid3editarea.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"

#include <QListWidget>
#include <QToolBar>

ID3V2Tag& Velmora::id3v2()
{
    if (!m_id3v2)
        m_id3v2 = std::make_unique<ID3V2Tag>(m_services.prompter);
    return *m_id3v2;
}

void Velmora::ReadMP3ID()
{
    const ID3V2Tag& tag = id3v2();
    const Options& options = m_prefs.options;
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldId id = FieldId(i);
        QString text;
        switch (id) {
        case FieldId::Track: text = FormatTrack(tag.Track(), options); break;
        case FieldId::TotalTracks: text = FormatTrack(tag.TotalTracks(), options); break;
        case FieldId::Year: text = FormatYear(tag.Year()); break;
        case FieldId::CopyRight:
            text = tag.CopyRight ? QStringLiteral("True") : QStringLiteral("False");
            break;
        default: text = Trim(tag.FieldText(id)); break;
        }
        m_tagPanel->SetText(i, text);
    }
    WriteID3v1FromFields();
    m_session->RebuildPartsList();
}

void Velmora::WriteID3v1FromFields()
{
    if (m_currentFile.isEmpty())
        return;
    if (!m_id3v1)
        m_id3v1 = std::make_unique<ID3V1Tag>(m_services.prompter);
    ID3V1Tag& v1 = *m_id3v1;
    v1.Clear();
    v1.SetArtist(fieldText(FieldId::Artist));
    v1.SetAlbum(fieldText(FieldId::Album));
    v1.SetTitle(fieldText(FieldId::Title));
    v1.SetComment(fieldText(FieldId::Comments));
    v1.SetTrack(LeadingNumber(fieldText(FieldId::Track)));
    v1.SetTheYear(LeadingNumber(fieldText(FieldId::Year)));
    v1.SetGenre(GetGenreIndex(fieldText(FieldId::Genre)));
    v1.WriteToFile(m_currentFile.path);
    m_id3ToolBar->setEnabled(true);
}

void Velmora::SaveTags()
{
    if (m_currentFile.isEmpty())
        return;
    m_fileList->setEnabled(false);
    SBar(QStringLiteral("Saving ID3 Tags..."));
    ID3V2Tag& tag = id3v2();
    tag.Reset();
    for (int i = 0; i < kFieldCount; ++i)
        tag.SetFieldText(FieldId(i), fieldText(FieldId(i)));
    tag.SetCopyRight(fieldText(FieldId::CopyRight) == QLatin1String("True"));
    tag.Update(TagType::All);
    WriteID3v1FromFields();
    m_fileList->setEnabled(true);
    SBar(QStringLiteral("ID3 Tags Saved To File"));
    m_id3ToolBar->setEnabled(true);
    ReadMP3ID();
}

void Velmora::RefreshTags()
{
    if (m_fileList->currentItem() && !m_fileList->currentItem()->text().isEmpty())
        ReadMP3ID();
}

void Velmora::RemoveTags()
{
    if (m_currentFile.isEmpty())
        return;
    m_id3ToolBar->setEnabled(false);
    if (AskYesNo(QStringLiteral("Remove All ID3 Tags From File: \r\n\r\n") + m_currentFile.path)) {
        ID3V2Tag& tag = id3v2();
        tag.SetFileName(m_currentFile.path);
        tag.StripTags(TagType::All);
        tag.ClearValues();
        RefreshTags();
        // The reload wrote a fresh trailer; take that away too.
        tag.StripTags(TagType::All);
        SBar(QStringLiteral("ID3 Tags Removed From File"));
    }
    m_id3ToolBar->setEnabled(true);
}

void Velmora::clearField(int index)
{
    m_tagPanel->ClearBox(index);
}

QStringList Velmora::fileFacts(const QString& path, const QString& shownName) const
{
    CFileInfo info;
    info.SetFullPathName(path);
    return {shownName, CFileInfo::FormatFileSize(info.size()), CFileInfo::FormatFileDate(info.CreationTime()),
            CFileInfo::FormatFileDate(info.LastAccessTime()), CFileInfo::FormatFileDate(info.ModifyTime())};
}
