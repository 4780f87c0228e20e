#include "multitagwriter.h"

#include "platform/filesystem.h"
#include "settings/options.h"
#include "settings/settingsstore.h"
#include "tagedit/tagtexts.h"
#include "tags/filetimes.h"

#include <cerrno>
#include <climits>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr FieldId kNumberFields[] = { FieldId::Track, FieldId::TotalTracks, FieldId::Year };

QString fieldName(FieldId id)
{
    return QString::fromLatin1(fieldInfo(int(id)).name);
}

// The digits boxNumber reads, without leading zeros: the number as typed,
// also when an int cannot hold it.
QString leadingDigits(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('0')))
        ++i;
    qsizetype end = i;
    while (end < text.size() && text.at(end) >= QLatin1Char('0') && text.at(end) <= QLatin1Char('9'))
        ++end;
    return end > i ? text.mid(i, end - i) : QStringLiteral("0");
}

// The number as the next save writes it. The tag still reads a frame
// marked for deletion with its old value; that frame holds no number.
int numberOf(const ID3V2Tag& tag, FieldId id)
{
    const QByteArray frameId = id == FieldId::Year ? "TYER" : "TRCK";
    for (const FrameItem& item : tag.frames())
        if (item.frameId == frameId && item.description.isEmpty() && item.deleted)
            return 0;
    return id == FieldId::Track ? tag.track() : id == FieldId::TotalTracks ? tag.totalTracks() : tag.year();
}

using Numbers = std::array<int, std::size(kNumberFields)>;

Numbers numbersOf(const ID3V2Tag& tag)
{
    Numbers numbers {};
    for (size_t i = 0; i < numbers.size(); ++i)
        numbers[i] = numberOf(tag, kNumberFields[i]);
    return numbers;
}

// The first number the tag does not hold as it should after the values were
// applied: an included one as its box gives it, any other as it was before.
// Track and Total Tracks share one frame, so storing one may lose the other.
FileError unheldNumber(const ID3V2Tag& tag, const MultiTagValues& values, const Numbers& before)
{
    for (size_t i = 0; i < before.size(); ++i) {
        const FieldId id = kNumberFields[i];
        const int wanted = values.isIncluded(id) ? boxNumber(values.text(id)) : before[i];
        if (numberOf(tag, id) != wanted)
            return { ErrorNo::Internal,
                fieldName(id) + QLatin1Char(' ') + QString::number(wanted)
                    + QStringLiteral(" Cannot Be Stored In The ID3v2 Tag") };
    }
    return {};
}

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
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i) {
        const int digit = text.at(i).unicode() - '0';
        value = value > (INT_MAX - digit) / 10 ? INT_MAX : value * 10 + digit;
    }
    return value;
}

int largestNumber(FieldId id)
{
    switch (id) {
    case FieldId::Track:
    case FieldId::TotalTracks:
        return 32767;
    case FieldId::Year:
        return 9999;
    default:
        return 0;
    }
}

FileError numberRangeError(const MultiTagValues& values)
{
    for (FieldId id : kNumberFields)
        if (values.isIncluded(id) && boxNumber(values.text(id)) > largestNumber(id))
            return { ErrorNo::Overflow,
                fieldName(id) + QLatin1Char(' ') + leadingDigits(values.text(id)) + QStringLiteral(" Is Larger Than ")
                    + QString::number(largestNumber(id)) };
    return {};
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
}

void applyIncludedV1(ID3V1Tag& tag, const MultiTagValues& values)
{
    setTrailerFields(tag, values.texts, &values.included);
}

FileError applyIncludedOther(AudioTag& tag, const MultiTagValues& values)
{
    for (int i = 0; i < kFieldCount; ++i) {
        const auto id = FieldId(i);
        if (!values.included[i] || id == FieldId::CopyRight)
            continue;
        QString text = values.texts[i];
        if (id == FieldId::Track || id == FieldId::TotalTracks || id == FieldId::Year) {
            const int n = boxNumber(text);
            text = n ? QString::number(n) : QString();
        }
        if (tag.setFieldText(id, text))
            continue;
        // Nothing to clear where the format has no place for the field.
        if (!tag.holdsField(id) && trimSpaces(text).isEmpty())
            continue;
        return tag.holdsField(id) ? FileError { ErrorNo::Internal,
            fieldName(id) + QLatin1Char(' ') + text + QStringLiteral(" Cannot Be Stored In The Tag") }
                                  : AudioTag::notHeldError(id, tag.format());
    }
    return {};
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

MultiTagWriter::MultiTagWriter(FileSystem& files)
    : m_files(files)
{
    // Loads leave the file as it is: a trailer is written only from values.
    m_tag.setKeepTrailerOnLoad(true);
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
        result.timeNotKept = error;
    return result;
}

bool MultiTagWriter::isReadOnly(const QString& path) const
{
    FileAttributes attributes;
    return m_files.attributes(trimSpaces(path), &attributes) && !attributes.system && attributes.readOnly;
}

MultiTagWriter::Result MultiTagWriter::tagOneFile(const QString& file, const MultiTagValues& values)
{
    Result result;
    result.error = numberRangeError(values);
    if (!result.error.ok())
        return result;

    // Refuse before anything is loaded: loading alone may rewrite the file.
    FileAttributes attributes;
    if (!m_files.attributes(file, &attributes, &result.error))
        return result;
    if (attributes.system) {
        result.error = fileErrorFromErrno(EISDIR);
        return result;
    }
    if (attributes.readOnly && (!m_clearWriteProtection || !m_files.resetAttributes(file, &result.error))) {
        if (result.error.ok())
            result.error = fileErrorFromErrno(EACCES);
        return result;
    }

    result.error = m_tag.setFileName(file);
    if (!result.error.ok())
        return result;
    if (ID3V2Tag* v2 = m_tag.id3v2())
        return tagMp3(*v2, file, values);
    result.error = applyIncludedOther(m_tag, values);
    if (result.error.ok() && !m_tag.update())
        result.error = m_tag.lastWriteError();
    return result;
}

MultiTagWriter::Result MultiTagWriter::tagMp3(ID3V2Tag& v2, const QString& file, const MultiTagValues& values)
{
    Result result;
    const bool hadTrailer = m_v1.readFromFile(file);
    const Numbers before = numbersOf(v2);
    applyIncludedV2(v2, values);
    result.error = unheldNumber(v2, values, before);
    if (!result.error.ok())
        return result;
    if (!v2.update()) {
        // The tag layer's reason ("No space left on device"), not a bare number.
        result.error = v2.lastWriteError();
        return result;
    }

    if (!hadTrailer && !anyV1Included(values))
        return result;
    if (!hadTrailer)
        m_v1.clear();
    applyIncludedV1(m_v1, values);
    if (!m_v1.writeToFile(file))
        result.error = m_v1.lastWriteError();
    return result;
}

bool MultiTagWriter::load(const QString& file)
{
    FileAttributes attributes;
    if (file.isEmpty() || !m_files.attributes(file, &attributes) || attributes.system)
        return false;
    return m_tag.setFileName(file).ok();
}

std::array<QString, kFieldCount> MultiTagWriter::readFile(const QString& path, const Options& options)
{
    if (!load(trimSpaces(path))) {
        std::array<QString, kFieldCount> empty;
        empty[int(FieldId::CopyRight)] = QStringLiteral("False");
        return empty;
    }
    return tagTextsOf(m_tag, options);
}

bool MultiTagWriter::holdsAny(const QString& path, const QList<FieldId>& fields)
{
    if (fields.isEmpty() || !load(trimSpaces(path)))
        return false;
    for (FieldId id : fields) {
        switch (id) {
        case FieldId::Track:
            if (m_tag.track() != 0)
                return true;
            break;
        case FieldId::TotalTracks:
            if (m_tag.totalTracks() != 0)
                return true;
            break;
        case FieldId::Year:
            if (m_tag.year() != 0)
                return true;
            break;
        default:
            if (!trimSpaces(m_tag.fieldText(id)).isEmpty())
                return true;
            break;
        }
    }
    return false;
}
