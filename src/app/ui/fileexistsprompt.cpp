#include "fileexistsprompt.h"

#include "massrename/ui/fileexistsform.h"
#include "tagedit/filefacts.h"

namespace {

// Name, size, creation, last access and modification time, as the form shows them.
QStringList factsOf(const QString& path, const QString& shownName)
{
    FileFacts info;
    info.setFullPathName(path);
    return { shownName, FileFacts::formatFileSize(info.size()), FileFacts::formatFileDate(info.creationTime()),
        FileFacts::formatFileDate(info.lastAccessTime()), FileFacts::formatFileDate(info.modifyTime()) };
}

} // namespace

ExistingTargetAnswer FileExistsPrompt::ask(
    const QString& folder, const QString& existingName, const QString& renamedName)
{
    FileExistsForm form(
        folder, factsOf(folder + existingName, existingName), factsOf(folder + renamedName, renamedName), m_parent);
    form.exec();
    return form.fileAnswer();
}
