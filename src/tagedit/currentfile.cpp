#include "currentfile.h"

#include "platform/filesystem.h"
#include "platform/prompter.h"
#include "settings/options.h"
#include "settings/settingsstore.h"
#include "tagedit/multitagrun.h"
#include "tagedit/tagjournal.h"
#include "tagedit/tagtexts.h"
#include "tags/audiotag.h"
#include "tags/filetimes.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"
#include "tags/tagtypes.h"
#include "tags/writeaccess.h"

#include <cerrno>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

TagTexts emptyTexts()
{
    TagTexts texts;
    texts[int(FieldId::CopyRight)] = QStringLiteral("False");
    return texts;
}

} // namespace

QString currentFileErrorText(const CurrentFile::Result& result, const QString& path)
{
    QString head;
    switch (result.step) {
    case CurrentFile::Step::Trailer:
        return fileErrorMessage(path, result.error);
    case CurrentFile::Step::Read:
        head = QStringLiteral("Error Reading Tags From File: ");
        break;
    case CurrentFile::Step::Strip:
        head = QStringLiteral("Error Removing Tags From File: ");
        break;
    default:
        head = QStringLiteral("Error Saving Tags In File: ");
        break;
    }
    return head + kCrLf + kCrLf + path + kCrLf + kCrLf + QStringLiteral("Error: ") + result.error.description
        + QStringLiteral(" (") + QString::number(result.error.number) + QLatin1Char(')');
}

QString currentFileWarningText(const CurrentFile::Result& result, const QString& path)
{
    if (result.keptEverything())
        return QString();
    QString head;
    switch (result.step) {
    case CurrentFile::Step::Strip:
        head = QStringLiteral("ID3 Tags Removed From File: ");
        break;
    case CurrentFile::Step::Read:
        head = QStringLiteral("ID3v1 Tag Written Into File: ");
        break;
    default:
        head = QStringLiteral("ID3 Tags Saved In File: ");
        break;
    }
    QStringList lines;
    if (!result.timeNotKept.ok())
        lines << result.timeNotKept.description;
    lines << result.notKept;
    return head + kCrLf + kCrLf + path + kCrLf + kCrLf + QStringLiteral("But Not Everything It Carried Could Be Kept:")
        + kCrLf + kCrLf + lines.join(kCrLf);
}

CurrentFile::CurrentFile(FileSystem& files, Prompter* prompter, const Options& options)
    : m_files(files)
    , m_prompter(prompter)
    , m_options(options)
    , m_v1(std::make_unique<ID3V1Tag>())
    , m_texts(emptyTexts())
{
    resetTag();
}

CurrentFile::~CurrentFile() = default;

bool CurrentFile::ask(const QString& question, MsgIcon icon) const
{
    return m_prompter && m_prompter->askYesNo(QStringLiteral("Velmora"), question, icon);
}

QString CurrentFile::name() const
{
    return m_path.mid(m_path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool CurrentFile::isEmpty() const
{
    return trimSpaces(m_path).isEmpty();
}

void CurrentFile::resetTag()
{
    // A new object each time: nothing of an earlier file (values, audio
    // facts, file name) can outlive a load that fails. Its loads write
    // nothing: whether the trailer is written is decided here.
    m_tag = std::make_unique<AudioTag>();
    m_tag->setKeepTrailerOnLoad(true);
}

void CurrentFile::clear()
{
    m_path.clear();
    m_loaded = false;
    m_length = -1;
    m_texts = emptyTexts();
    m_pictures.clear();
    m_pendingPictures.reset();
    resetTag();
}

bool CurrentFile::picturesChanged() const
{
    if (!m_pendingPictures)
        return false;
    const QList<CoverPicture>& pending = *m_pendingPictures;
    if (pending.size() != m_pictures.size())
        return true;
    for (qsizetype i = 0; i < pending.size(); ++i)
        if (!samePicture(withImageFacts(pending[i]), m_pictures[i]))
            return true;
    return false;
}

// With the option on, a command that writes tags leaves the file's
// modification time as it was. Failing to put it back does not undo what
// was written: the command succeeded, and says what it could not keep.
template <typename Command> CurrentFile::Result CurrentFile::keepingTime(const QString& path, Command command)
{
    FileTimeKeeper keeper(path, m_options.keepFileTimes);
    Result result = command();
    FileError error;
    if (!keeper.restore(&error) && result.ok())
        result.timeNotKept = error;
    return result;
}

CurrentFile::Result CurrentFile::load(const QString& path)
{
    return keepingTime(path, [&] { return loadFile(path); });
}

CurrentFile::Result CurrentFile::reload()
{
    if (isEmpty())
        return {};
    return keepingTime(m_path, [this] { return read(Trailer::Unasked); });
}

CurrentFile::Result CurrentFile::reloadUnchanged()
{
    if (isEmpty())
        return {};
    return read(Trailer::None);
}

CurrentFile::Result CurrentFile::save(const TagTexts& boxes)
{
    return keepingTime(m_path, [&] { return saveBoxes(boxes); });
}

CurrentFile::Result CurrentFile::stripTags()
{
    return keepingTime(m_path, [this] { return strip(); });
}

CurrentFile::Result CurrentFile::loadFile(const QString& path)
{
    clear();
    m_path = path;
    return read(Trailer::Unasked);
}

void CurrentFile::renamed(const QString& newPath)
{
    m_path = newPath;
}

CurrentFile::Result CurrentFile::read(Trailer trailer)
{
    Result result;
    result.step = Step::Read;
    m_loaded = false;
    m_texts = emptyTexts();
    m_pictures.clear();
    m_pendingPictures.reset();
    resetTag();
    m_length = m_files.length(m_path, &result.error);
    if (m_length <= 0)
        return result; // missing (error set) or zero-length: nothing to read
    FileAttributes attributes;
    if (!m_files.attributes(m_path, &attributes, &result.error))
        return result;
    if (attributes.system) {
        result.error = fileErrorFromErrno(EISDIR);
        return result;
    }
    result.error = m_tag->setFileName(m_path);
    if (!result.error.ok()) {
        resetTag();
        return result;
    }
    m_loaded = true;
    m_texts = tagTextsOf(*m_tag, m_options);
    m_pictures = m_tag->pictures();
    result.reread = true;
    // Selecting a file writes its trailer though nobody asked for it: only
    // into MPEG audio that may be changed so, never by changing permissions.
    // Other formats never take one.
    if (trailer == Trailer::None || !m_tag->isMp3()
        || (trailer == Trailer::Unasked && !(m_tag->takesTrailer() && mayChangeUnasked(m_path))))
        return result;
    Result written = writeTrailer();
    written.reread = true;
    const qint64 length = m_files.length(m_path);
    if (length > 0)
        m_length = length;
    return written;
}

CurrentFile::Result CurrentFile::writeTrailer()
{
    Result result;
    result.step = Step::Trailer;
    ID3V1Tag& v1 = *m_v1;
    v1.clear();
    setTrailerFields(v1, m_texts);
    if (!v1.writeToFile(m_path))
        result.error = v1.lastWriteError();
    return result;
}

// Asks once whether to make a read-only file writable, then keeps the tags
// as they are in the journal before anything is written (the mode among
// them, so that an undo makes the file read-only again), and what the
// write left after it, whatever its outcome.
template <typename Write>
CurrentFile::Result CurrentFile::journaled(Step step, const QString& command, const QString& question, Write write)
{
    Result result;
    result.step = step;
    if (!m_loaded) {
        result.error = fileErrorFromErrno(ENOENT);
        return result;
    }
    FileAttributes attributes;
    if (!m_files.attributes(m_path, &attributes, &result.error))
        return result;
    if (attributes.system) {
        result.error = fileErrorFromErrno(EISDIR);
        return result;
    }
    if (attributes.readOnly && !ask(writeProtectedQuestion(m_path, command), MsgIcon::Question)) {
        result.cancelled = true;
        result.keptReadOnly = true;
        return result;
    }
    std::unique_ptr<TagJournal> journal;
    if (!m_journalPath.isEmpty()) {
        // A file that cannot be read fails as the write would, before the
        // journal of the last save is replaced.
        TagSnapshot readable;
        if (!readTagSnapshot(m_path, &readable, &result.error))
            return result;
        journal = std::make_unique<TagJournal>(m_journalPath, 1);
        FileError journalError;
        if (!journal->begin(&journalError) || !journal->recordBefore(m_path, &journalError)) {
            journal.reset();
            if (!ask(journalRefusedQuestion(m_journalPath, journalError, question), MsgIcon::Exclamation)) {
                result.cancelled = true;
                return result;
            }
        }
    }
    const Result written = attributes.readOnly && !m_files.resetAttributes(m_path, &result.error) ? result : write();
    if (journal)
        journal->recordAfter(m_path);
    return written;
}

CurrentFile::Result CurrentFile::saveBoxes(const TagTexts& boxes)
{
    return journaled(Step::Write, QStringLiteral("Save The Tags"),
        QStringLiteral("Save The Tags Without A Way To Undo Them?"), [&] { return writeBoxes(boxes); });
}

CurrentFile::Result CurrentFile::writeBoxes(const TagTexts& boxes)
{
    Result result;
    result.step = Step::Write;
    resetTag();
    result.error = m_tag->setFileName(m_path);
    if (!result.error.ok())
        return result;
    // Only what the user changed: a value another program wrote since the
    // last read stays as the file holds it.
    for (int i = 0; i < kFieldCount; ++i) {
        const auto id = FieldId(i);
        if (id == FieldId::CopyRight || boxes[i] == m_texts[i])
            continue;
        // A value the format has no place for (a User URL in a FLAC file)
        // refuses the save rather than vanish.
        if (!m_tag->setFieldText(id, boxes[i])) {
            result.error = AudioTag::notHeldError(id, m_tag->format());
            return result;
        }
    }
    // Refused pictures (no image a tag takes, too large) leave the file as it is.
    if (picturesChanged() && !m_tag->setPictures(*m_pendingPictures)) {
        result.error = m_tag->lastWriteError();
        return result;
    }
    if (!m_tag->update()) {
        // The system's reason ("No space left on device"), or the tag
        // layer's own ("Frame TPE2 runs past the end of the tag.").
        result.error = m_tag->lastWriteError();
        return result;
    }
    QStringList notKept = m_tag->notKept();
    // The ID3v2 tag now holds every value, the trailer's own included: the
    // old trailer goes, so that a value cleared in the boxes does not come
    // back from it, and a new one is written from what the file holds.
    if (ID3V2Tag* v2 = m_tag->id3v2()) {
        if (!v2->stripTags(TagKind::ID3v1)) {
            result.error = v2->lastWriteError();
            return result;
        }
        notKept << v2->notKept();
    }
    // The boxes show what the file holds now, and the trailer follows it.
    Result written = read(Trailer::Asked);
    if (written.step == Step::Read && written.error.ok() && !m_loaded)
        written.error = fileErrorFromErrno(ENOENT);
    written.notKept = notKept + written.notKept;
    return written;
}

CurrentFile::Result CurrentFile::strip()
{
    return journaled(Step::Strip, QStringLiteral("Remove The Tags"),
        QStringLiteral("Remove The Tags Without A Way To Undo It?"), [this] { return stripFile(); });
}

CurrentFile::Result CurrentFile::stripFile()
{
    Result result;
    result.step = Step::Strip;
    resetTag();
    result.error = m_tag->setFileName(m_path);
    if (!result.error.ok())
        return result;
    const bool stripped = m_tag->stripTags();
    const FileError stripError = m_tag->lastWriteError();
    const QStringList notKept = m_tag->notKept();
    Result reread = read(Trailer::None);
    reread.notKept = notKept;
    if (!stripped) {
        reread.step = Step::Strip;
        reread.error = stripError;
    } else if (reread.ok()) {
        reread.step = Step::Strip;
    }
    return reread;
}
