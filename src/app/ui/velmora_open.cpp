// Opening a folder or an MP3 file named on the command line or dropped on
// the window.
#include "velmora.h"

#include "app/openrequest.h"
#include "foldertree.h"

#include "tagedit/ui/filetable.h"
#include "text/texthelpers.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>

#include <functional>

namespace {

// Takes drags of folders and MP3 files aimed anywhere at the window, also at
// its text boxes, which would otherwise take the path as text. Other drags
// (text, a name part) go on as before.
class FileDropFilter final : public QObject {
public:
    FileDropFilter(QWidget* window, std::function<void(const OpenRequest&)> open)
        : QObject(window)
        , m_window(window)
        , m_open(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != m_window)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const OpenRequest request = requestOf(drop->mimeData());
        if (request.isEmpty())
            return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (type == QEvent::Drop) {
            // Once the drag is over: opening a file may ask a question.
            QMetaObject::invokeMethod(
                this, [this, request] { m_open(request); }, Qt::QueuedConnection);
        }
        return true;
    }

private:
    static OpenRequest requestOf(const QMimeData* mime)
    {
        if (!mime || !mime->hasUrls())
            return {};
        QStringList paths;
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
        return openRequestFor(paths, QDir::rootPath());
    }

    QWidget* m_window;
    std::function<void(const OpenRequest&)> m_open;
};

} // namespace

void Velmora::installFileDrop()
{
    setAcceptDrops(true);
    qApp->installEventFilter(new FileDropFilter(this, [this](const OpenRequest& request) { open(request); }));
}

void Velmora::open(const OpenRequest& request)
{
    if (m_busy > 0)
        return;
    if (!request.isEmpty()) {
        if (!m_ftv->setPath(request.folder))
            folderChanged(request.folder);
        const int row = request.file.isEmpty() || withTrailingSlash(folder()) != request.folder
            ? -1
            : m_fileTable->rowOfName(request.file);
        if (row >= 0)
            selectRow(row);
    }
    if (!request.refused.isEmpty())
        setStatusText(QStringLiteral("Cannot Open: ") + request.refused.first());
}
