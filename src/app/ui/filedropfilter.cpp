#include "filedropfilter.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

FileDropFilter::FileDropFilter(QWidget* window, std::function<void(const OpenRequest&)> open)
    : QObject(window)
    , m_window(window)
    , m_open(std::move(open))
{
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event)
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

OpenRequest FileDropFilter::requestOf(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    QStringList paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return openRequestFor(paths, QDir::rootPath());
}
