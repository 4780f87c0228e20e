#include "currentfile.h"

#include "platform/filesystem.h"
#include "platform/prompter.h"
#include "settings/options.h"
#include "settings/settingsstore.h"
#include "tagedit/multitagrun.h"
#include "tagedit/tagjournal.h"
#include "tagedit/tagtexts.h"
#include "tags/filetimes.h"
#include "tags/id3v1tag.h"
#include "tags/id3v2tag.h"
#include "tags/tagtypes.h"

#include <cerrno>

// Passes the tag layer's messages on and counts them, so that a failure the
// tag layer has already shown is not shown a second time.
class CurrentFile::WatchingPrompter final : public Prompter {
public:
    explicit WatchingPrompter(Prompter* target)
        : m_target(target)
    {
    }

    Answer message(const QString& title, const QString& text, MsgIcon icon, MsgButtons buttons) override
    {
        ++shown;
        return m_target ? m_target->message(title, text, icon, buttons) : Answer::Ok;
    }
    QString inputBox(const QString& title, const QString& prompt, const QString& defaultText) override
    {
        return m_target ? m_target->inputBox(title, prompt, defaultText) : QString();
    }
    QString browseForFolder(const QString& title, const QString& initialFolder) override
    {
        return m_target ? m_target->browseForFolder(title, initialFolder) : QString();
    }
    QString chooseFile(const QString& title, const QString& folder, const QString& filter) override
    {
        return m_target ? m_target->chooseFile(title, folder, filter) : QString();
    }
    void beep() override
    {
        if (m_target)
            m_target->beep();
    }

    int shown = 0;

private:
    Prompter* m_target;
};

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

CurrentFile::CurrentFile(FileSystem& files, Prompter* prompter, const Options& options)
    : m_files(files)
    , m_prompter(std::make_unique<WatchingPrompter>(prompter))
    , m_options(options)
    , m_v1(std::make_unique<ID3V1Tag>(m_prompter.get()))
    , m_texts(emptyTexts())
{
    resetTag();
}

CurrentFile::~CurrentFile() = default;

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
    // facts, file name) can outlive a load that fails.
    m_v2 = std::make_unique<ID3V2Tag>(m_prompter.get());
}

void CurrentFile::clear()
{
    m_path.clear();
    m_loaded = false;
    m_length = -1;
    m_texts = emptyTexts();
    resetTag();
}

// With the option on, a command that writes tags leaves the file's
// modification time as it was; failing to put it back fails the command
// unless it failed already.
template <typename Command> CurrentFile::Result CurrentFile::keepingTime(const QString& path, Command command)
{
    FileTimeKeeper keeper(path, m_options.keepFileTimes);
    Result result = command();
    FileError error;
    if (!keeper.restore(&error) && result.ok()) {
        result.step = Step::Write;
        result.error = error;
    }
    return result;
}

CurrentFile::Result CurrentFile::load(const QString& path)
{
    return keepingTime(path, [&] { return loadFile(path); });
}

CurrentFile::Result CurrentFile::reload()
{
    return keepingTime(m_path, [this] { return reloadFile(); });
}

CurrentFile::Result CurrentFile::reloadUnchanged()
{
    TagSnapshot before;
    if (isEmpty() || !readTagSnapshot(m_path, &before))
        return reload();
    Result result = reloadFile();
    TagSnapshot now;
    FileError error;
    if ((!readTagSnapshot(m_path, &now, &error) || !restoreTagSnapshot(m_path, now, before, &error)) && result.ok()) {
        result.step = Step::Write;
        result.error = error;
    }
    return result;
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
    return read(true);
}

CurrentFile::Result CurrentFile::reloadFile()
{
    if (isEmpty())
        return {};
    return read(true);
}

void CurrentFile::renamed(const QString& newPath)
{
    m_path = newPath;
}

CurrentFile::Result CurrentFile::read(bool withTrailer)
{
    Result result;
    result.step = Step::Read;
    m_loaded = false;
    m_texts = emptyTexts();
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
    m_v2->setFileName(m_path);
    if (m_v2->fileName() != m_path) {
        resetTag();
        result.error = fileErrorFromErrno(EACCES);
        return result;
    }
    m_loaded = true;
    m_texts = tagTextsOf(*m_v2, m_options);
    result.reread = true;
    if (!withTrailer)
        return result;
    Result written = writeTrailer();
    written.reread = true;
    return written;
}

bool CurrentFile::makeWritable(FileError* error)
{
    FileAttributes attributes;
    if (!m_files.attributes(m_path, &attributes, error))
        return false;
    if (attributes.system)
        return reportFileError(error, fileErrorFromErrno(EISDIR));
    return !attributes.readOnly || m_files.resetAttributes(m_path, error);
}

CurrentFile::Result CurrentFile::writeTrailer()
{
    Result result;
    result.step = Step::Write;
    if (!makeWritable(&result.error))
        return result;
    ID3V1Tag& v1 = *m_v1;
    v1.clear();
    setTrailerFields(v1, m_texts);
    const int shownBefore = m_prompter->shown;
    if (!v1.writeToFile(m_path)) {
        if (m_prompter->shown != shownBefore)
            result.reportedByTags = true;
        else
            result.error = { 51, QStringLiteral("The ID3v1 tag could not be written") };
    }
    return result;
}

// The tags as they are go into the journal before anything is written,
// and what the write left after it, whatever its outcome.
template <typename Write> CurrentFile::Result CurrentFile::journaled(Step step, const QString& question, Write write)
{
    Result result;
    result.step = step;
    if (!m_loaded) {
        result.error = fileErrorFromErrno(ENOENT);
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
            if (!m_prompter->askYesNo(QStringLiteral("Velmora"),
                    journalRefusedQuestion(m_journalPath, journalError, question), MsgIcon::Exclamation)) {
                result.cancelled = true;
                return result;
            }
        }
    }
    const Result written = write();
    if (journal)
        journal->recordAfter(m_path);
    return written;
}

CurrentFile::Result CurrentFile::saveBoxes(const TagTexts& boxes)
{
    return journaled(
        Step::Write, QStringLiteral("Save The Tags Without A Way To Undo Them?"), [&] { return writeBoxes(boxes); });
}

CurrentFile::Result CurrentFile::writeBoxes(const TagTexts& boxes)
{
    Result result;
    result.step = Step::Write;
    if (!makeWritable(&result.error))
        return result;

    // The trailer as the file holds it, before the load takes it away from
    // a file that also has an ID3v2 tag.
    ID3V1Tag& v1 = *m_v1;
    const bool hadTrailer = v1.readFromFile(m_path);
    resetTag();
    m_v2->setFileName(m_path);
    if (m_v2->fileName() != m_path) {
        result.error = fileErrorFromErrno(EACCES);
        return result;
    }
    // Only what the user changed: a value another program wrote since the
    // last read stays as the file holds it.
    for (int i = 0; i < kFieldCount; ++i)
        if (FieldId(i) != FieldId::CopyRight && boxes[i] != m_texts[i])
            m_v2->setFieldText(FieldId(i), boxes[i]);
    if (!m_v2->update()) {
        if (hadTrailer && !m_v2->hasTagType(TagType::ID3v1))
            v1.writeToFile(m_path);
        result.error = { 51, QStringLiteral("The ID3v2 tag could not be written") };
        return result;
    }
    // The boxes show what the file holds now, and the trailer follows it.
    Result written = read(true);
    if (written.step == Step::Read && written.error.ok() && !m_loaded)
        written.error = fileErrorFromErrno(ENOENT);
    return written;
}

CurrentFile::Result CurrentFile::strip()
{
    return journaled(
        Step::Strip, QStringLiteral("Remove The Tags Without A Way To Undo It?"), [this] { return stripFile(); });
}

CurrentFile::Result CurrentFile::stripFile()
{
    Result result;
    result.step = Step::Strip;
    if (!makeWritable(&result.error))
        return result;
    resetTag();
    m_v2->setFileName(m_path);
    if (m_v2->fileName() != m_path) {
        result.error = fileErrorFromErrno(EACCES);
        return result;
    }
    const bool stripped = m_v2->stripTags(TagType::All);
    Result reread = read(false);
    if (!stripped) {
        reread.step = Step::Strip;
        reread.error = { 51, QStringLiteral("The tags could not be removed") };
    }
    return reread;
}
