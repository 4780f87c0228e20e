// Which file the main window shows: the file list's highlighted entry, by
// mouse, keyboard or Tab alike. Nothing is loaded for an entry that is not
// highlighted, and every command acts on the file that is shown.
#include "velmora.h"

#include "nameedit/nameeditsession.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "text/texthelpers.h"

#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

namespace {
const QString kCrLf = QStringLiteral("\r\n");
} // namespace

QListWidgetItem* Velmora::highlightedEntry() const
{
    // A mouse press moves the current entry before the highlight follows,
    // and focus reaching the list by Tab makes its first entry current
    // without highlighting it: the current entry counts once highlighted.
    QListWidgetItem* current = m_fileList->currentItem();
    if (current && current->isSelected())
        return current;
    if (m_file.isEmpty() || withTrailingSlash(folder()) + m_file.name() != m_file.path())
        return nullptr;
    const QList<QListWidgetItem*> shown = m_fileList->findItems(m_file.name(), Qt::MatchExactly);
    return !shown.isEmpty() && shown.first()->isSelected() ? shown.first() : nullptr;
}

QString Velmora::entryPath(const QListWidgetItem* item) const
{
    return item ? withTrailingSlash(folder()) + item->text() : QString();
}

void Velmora::followSelection()
{
    if (m_loadingRow)
        return;
    const QListWidgetItem* item = highlightedEntry();
    if (entryPath(item) == m_file.path())
        return;
    if (item) {
        selectFileEntry();
        return;
    }
    showNoFile();
}

void Velmora::showNoFile()
{
    m_zeroLengthAsked.clear();
    m_file.clear();
    m_oldName->clear();
    showNothingLoaded();
}

void Velmora::selectRow(int row)
{
    // The entry shown is the only one highlighted, so that a later Delete
    // takes exactly it.
    m_loadingRow = true;
    m_fileList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    m_loadingRow = false;
    selectFileEntry();
}

void Velmora::selectFileEntry()
{
    const QListWidgetItem* item = highlightedEntry();
    const QString name = item ? item->text() : QString();
    m_oldName->setText(name);
    if (name.isEmpty())
        return;
    const QString path = entryPath(item);
    if (path != m_zeroLengthAsked)
        m_zeroLengthAsked.clear();
    const CurrentFile::Result loaded = m_file.load(path);
    if (!m_file.isLoaded()) {
        // Nothing of the file before stays, and nothing can act on this one.
        showTags(loaded);
        if (m_file.length() == 0) {
            // Deleting is all that can be done with it, now or later.
            for (const char* action : { "Delete", "mnuDeleteFile", "mnuDeleteFile2" })
                m_actions.value(QLatin1String(action))->setEnabled(true);
            if (m_zeroLengthAsked != path) {
                m_zeroLengthAsked = path;
                // Once the input that chose it is over, so that the question
                // and a delete meet the list as the user left it.
                QTimer::singleShot(0, this, &Velmora::offerToTrashZeroLength);
            }
        } else {
            reportFailure(loaded);
        }
        return;
    }
    enableFileControls(true);
    m_session->parts().clear();
    setStatusText(QStringLiteral("Formating Selected File"));
    m_session->loadNameParts(name);
    showTags(loaded);
    reportFailure(loaded);
    setStatusText(QStringLiteral("Ready"));
    m_session->autoSync();
    // The name's history starts with the name as the file was loaded.
    m_session->resetNameHistory();
    focusNewName();
}

void Velmora::offerToTrashZeroLength()
{
    // Not while a button is held or a command waits for an answer: the
    // question comes when the window is the user's again.
    if (m_busy > 0 || QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(50, this, &Velmora::offerToTrashZeroLength);
        return;
    }
    QListWidgetItem* item = highlightedEntry();
    // The selection moved on, or the file was loaded after all.
    if (m_zeroLengthAsked.isEmpty() || entryPath(item) != m_zeroLengthAsked || m_file.path() != m_zeroLengthAsked
        || m_file.isLoaded())
        return;
    const QString question = QStringLiteral("Error: Zero-Length File Selected!") + kCrLf + kCrLf
        + QStringLiteral("File Cannot Be Edited.") + kCrLf + kCrLf
        + QStringLiteral("Move The Selected File To The Trash?");
    const Busy busy(*this);
    if (m_services.prompter->askYesNo(QStringLiteral("Velmora"), question, MsgIcon::Critical, Answer::No))
        deleteRows({ m_fileList->row(item) });
}

void Velmora::selectFile(ListStep step)
{
    const int count = m_fileList->count();
    if (count == 0)
        return;
    // From the entry shown; with none, Down and Up start before the first.
    const QListWidgetItem* shown = highlightedEntry();
    int row = shown ? m_fileList->row(shown) : -1;
    switch (step) {
    case ListStep::Up:
        if (row > 0)
            --row;
        break;
    case ListStep::Down:
        if (row < count - 1)
            ++row;
        break;
    case ListStep::First:
        row = 0;
        break;
    case ListStep::Last:
        row = count - 1;
        break;
    }
    if (row >= 0)
        selectRow(row);
}
