#include "renamesequence.h"

#include "renameerror.h"

#include "platform/existingtargetprompt.h"
#include "platform/fileerror.h"
#include "platform/filesystem.h"
#include "platform/prompter.h"
#include "platform/trash.h"
#include "tags/audioformat.h"
#include "text/texthelpers.h"

#include <QFileInfo>

namespace {
const QString kTitle = QStringLiteral("Velmora");
}

RenameSequence::RenameSequence(
    FileSystem& files, Trash& trash, Prompter& prompter, ExistingTargetPrompt& existingTarget, StatusLine status)
    : m_files(files)
    , m_trash(trash)
    , m_prompter(prompter)
    , m_existingTarget(existingTarget)
    , m_status(std::move(status))
{
}

bool RenameSequence::mayStart(const QString& loadedName, const QString& newName)
{
    if (trimSpaces(loadedName).isEmpty()) {
        m_prompter.message(kTitle, QStringLiteral("Please Select A File!"), MsgIcon::Information);
        return false;
    }
    const QString trimmed = trimSpaces(newName);
    // Nothing but an extension (".mp3", ".FLAC", ...) would make a hidden file.
    if (trimmed.isEmpty()
        || (isAudioFileName(trimmed) && trimSpaces(beforeLast(trimmed, QLatin1Char('.'))).isEmpty())) {
        m_prompter.message(kTitle, QStringLiteral("Please Specify A New Filename!"), MsgIcon::Information);
        return false;
    }
    return true;
}

bool RenameSequence::renameOnce(const QString& source, const QString& target, FileError* error)
{
    // Renaming needs no write permission on the file: its mode stays.
    return m_files.rename(source, target, error);
}

void RenameSequence::fail(const QString& newName, const FileError* error)
{
    if (error)
        m_prompter.message(kTitle, renameErrorMessage(newName, *error), MsgIcon::Critical);
    m_status(renameErrorStatus(newName));
}

QString RenameSequence::run(const QString& source, const QString& newName)
{
    const QFileInfo info(source);
    const QString folder = withTrailingSlash(info.path());
    const QString target = folder + newName;
    FileError error;
    // A name with "/" (or "." / "..") would leave the folder: refuse it.
    bool renamed = false;
    if (isIllegalFileName(newName))
        error = { 53, QStringLiteral("Illegal file name") };
    else
        renamed = renameOnce(source, target, &error);
    while (!renamed) {
        if (error.number != 58) {
            fail(newName, &error);
            return {};
        }
        m_prompter.beep();
        if (m_existingTarget.ask(folder, newName, info.fileName()) != ExistingTargetAnswer::Overwrite) {
            fail(newName, nullptr);
            return {};
        }
        m_status(QStringLiteral("Moving File ") + target + QStringLiteral(" To Trash..."));
        FileError trashError;
        if (!m_trash.moveToTrash(target, &trashError)) {
            // The existing file stays; nothing is deleted outright.
            fail(newName, &trashError);
            return {};
        }
        // The trash move has returned, so the target is free now.
        renamed = renameOnce(source, target, &error);
    }
    return target;
}
