#include "multitagwriter.h"

#include "platform/filesystem.h"
#include "settings/options.h"
#include "settings/settingsstore.h"
#include "tagedit/tagtexts.h"
#include "tags/filetimes.h"

#include <cerrno>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool anyV1Included(const MultiTagValues& v)
{
    for (FieldId id : { FieldId::Artist, FieldId::Album, FieldId::Title, FieldId::Track, FieldId::Year, FieldId::Genre,
             FieldId::Comments })
        if (v.isIncluded(id))
            return true;
    return false;
}

} // namespace

int boxNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    int value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        value = qMin(32767, value * 10 + (text.at(i).unicode() - '0'));
    return value;
}

void applyIncludedV2(ID3V2Tag& tag, const MultiTagValues& values)
{
    for (int i = 0; i < kFieldCount; ++i) {
        if (!values.included[i])
            continue;
        const auto id = FieldId(i);
        const QString& text = values.texts[i];
        switch (id) {
        case FieldId::Track:
            tag.setTrack(boxNumber(text));
            break;
        case FieldId::TotalTracks:
            tag.setTotalTracks(boxNumber(text));
            break;
        case FieldId::Year:
            tag.setYear(boxNumber(text));
            break;
        case FieldId::CopyRight:
            tag.setCopyRight(text == QLatin1String("True"));
            break;
        default:
            tag.setFieldText(id, text);
            break;
        }
    }
    if (values.isIncluded(FieldId::UniqueKey))
        tag.setUniqueKeyOwner(values.uniqueKeyOwner);
}

void applyIncludedV1(ID3V1Tag& tag, const MultiTagValues& values)
{
    setTrailerFields(tag, values.texts, &values.included);
}

QList<FieldId> fieldsToClear(const MultiTagValues& values)
{
    QList<FieldId> fields;
    for (int i = 0; i < kFieldCount; ++i) {
        const auto id = FieldId(i);
        if (!values.included[i] || id == FieldId::CopyRight)
            continue;
        const bool number = id == FieldId::Track || id == FieldId::TotalTracks || id == FieldId::Year;
        if (number ? boxNumber(values.texts[i]) == 0 : trimSpaces(values.texts[i]).isEmpty())
            fields << id;
    }
    return fields;
}

QString clearFieldsQuestion(const QList<FieldId>& fields, int files, int chosen)
{
    QStringList names;
    for (FieldId id : fields)
        names << QString::fromLatin1(fieldInfo(int(id)).name);
    return QStringLiteral("Set Tags Will Clear These Fields In ") + QString::number(files) + QStringLiteral(" Of The ")
        + QString::number(chosen) + QStringLiteral(" Selected Files:") + kCrLf + kCrLf
        + names.join(QStringLiteral(", ")) + kCrLf + kCrLf + QStringLiteral("Clear Them?");
}

QString multiTagErrorText(const QString& path, const FileError& error)
{
    return QStringLiteral("Error Saving Tags In File: ") + kCrLf + kCrLf + path + kCrLf + kCrLf
        + QStringLiteral("Error: ") + error.description + QStringLiteral(" (") + QString::number(error.number)
        + QLatin1Char(')');
}

MultiTagWriter::MultiTagWriter(FileSystem& files, Prompter* prompter)
    : m_files(files)
    , m_v2(prompter)
    , m_v1(prompter)
{
}

MultiTagWriter::Result MultiTagWriter::tagFile(const QString& path, const MultiTagValues& values)
{
    const QString file = trimSpaces(path);
    if (file.isEmpty())
        return {};
    FileTimeKeeper keeper(file, m_keepFileTimes);
    Result result = tagOneFile(file, values);
    FileError error;
    if (!keeper.restore(&error) && result.ok())
        result.error = error;
    return result;
}

MultiTagWriter::Result MultiTagWriter::tagOneFile(const QString& file, const MultiTagValues& values)
{
    Result result;

    // Refuse before anything is loaded: loading alone may rewrite the file.
    FileAttributes attributes;
    if (!m_files.attributes(file, &attributes, &result.error))
        return result;
    if (attributes.system) {
        result.error = fileErrorFromErrno(EISDIR);
        return result;
    }
    if (attributes.readOnly) {
        result.error = fileErrorFromErrno(EACCES);
        return result;
    }

    // The trailer as the file holds it now, before the ID3v2 load removes
    // it from a file that has both tags.
    const bool hadTrailer = m_v1.readFromFile(file);

    m_v2.setFileName(file);
    if (m_v2.fileName() != file) {
        result.error = fileErrorFromErrno(ENOENT);
        return result;
    }
    applyIncludedV2(m_v2, values);
    if (!m_v2.update()) {
        if (hadTrailer && !m_v2.hasTagType(TagType::ID3v1))
            m_v1.writeToFile(file); // put back what the load took away
        result.error = { 51, QStringLiteral("The ID3v2 tag could not be written") };
        return result;
    }

    if (!hadTrailer && !anyV1Included(values))
        return result;
    if (!hadTrailer)
        m_v1.clear();
    applyIncludedV1(m_v1, values);
    if (!m_v1.writeToFile(file))
        result.reportedByTags = true;
    return result;
}

bool MultiTagWriter::load(const QString& file)
{
    FileAttributes attributes;
    if (file.isEmpty() || !m_files.attributes(file, &attributes) || attributes.system)
        return false;
    const FileTimeKeeper keeper(file, m_keepFileTimes);
    const bool hadTrailer = m_v1.readFromFile(file);
    m_v2.setFileName(file);
    // Reading must leave the file as it was: the load takes the trailer
    // away from a file that also has an ID3v2 tag.
    if (hadTrailer && !m_v2.hasTagType(TagType::ID3v1))
        m_v1.writeToFile(file);
    return m_v2.fileName() == file;
}

std::array<QString, kFieldCount> MultiTagWriter::readFile(const QString& path, const Options& options)
{
    if (!load(trimSpaces(path))) {
        std::array<QString, kFieldCount> empty;
        empty[int(FieldId::CopyRight)] = QStringLiteral("False");
        return empty;
    }
    return tagTextsOf(m_v2, options);
}

bool MultiTagWriter::holdsAny(const QString& path, const QList<FieldId>& fields)
{
    if (fields.isEmpty() || !load(trimSpaces(path)))
        return false;
    for (FieldId id : fields) {
        switch (id) {
        case FieldId::Track:
            if (m_v2.track() != 0)
                return true;
            break;
        case FieldId::TotalTracks:
            if (m_v2.totalTracks() != 0)
                return true;
            break;
        case FieldId::Year:
            if (m_v2.year() != 0)
                return true;
            break;
        default:
            if (!trimSpaces(m_v2.fieldText(id)).isEmpty())
                return true;
            break;
        }
    }
    return false;
}
