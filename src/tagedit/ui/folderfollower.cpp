#include "folderfollower.h"

#include <QEvent>
#include <QFileSystemModel>
#include <QTreeView>

FolderFollower::FolderFollower(QTreeView* tree, QFileSystemModel* model)
    : QObject(tree)
    , m_tree(tree)
{
    // After the view has laid out the rows that just arrived.
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { reveal(); });
    connect(model, &QFileSystemModel::directoryLoaded, this, [this] { revealLater(); });
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] { revealLater(); });
    // The model sorts late, moving rows without inserting any.
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] { revealLater(); });
    tree->installEventFilter(this);
    tree->viewport()->installEventFilter(this);
}

bool FolderFollower::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_following = false;
        break;
    case QEvent::Show:
    case QEvent::Resize:
        revealLater();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FolderFollower::revealLater()
{
    if (m_following)
        m_timer.start();
}

void FolderFollower::reveal()
{
    const QModelIndex current = m_tree->currentIndex();
    if (current.isValid())
        m_tree->scrollTo(current, QAbstractItemView::PositionAtCenter);
}
