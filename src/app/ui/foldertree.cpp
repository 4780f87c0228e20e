#include "foldertree.h"

#include "text/texthelpers.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTimer>

FolderTree::FolderTree(QWidget* parent)
    : QTreeView(parent)
    , m_model(new QFileSystemModel(this))
{
    setObjectName(QStringLiteral("FTV"));
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QStringLiteral("/"));
    // Before the view and its selection model hear of a removal, which move
    // the current row to a neighbour.
    connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &FolderTree::onRowsAboutToBeRemoved);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &FolderTree::onRowsRemoved);
    setModel(m_model);
    setRootIndex(m_model->index(QStringLiteral("/")));
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpanded(m_model->index(QDir::homePath()), true);
    // Folders arrive from a background thread, and rows loaded above the
    // chosen folder push it down: keep it in view until the user takes over.
    const auto reveal = [this] {
        if (m_reveal)
            scrollToCurrentLater();
    };
    connect(m_model, &QFileSystemModel::directoryLoaded, this, reveal);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, reveal);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, reveal);
    // The model sorts late, moving rows without inserting any.
    connect(m_model, &QAbstractItemModel::layoutChanged, this, reveal);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current, const QModelIndex&) { onCurrentChanged(current); });
}

bool FolderTree::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    const QModelIndex index = m_model->index(clean);
    if (!index.isValid())
        return false;
    if (index == currentIndex()) {
        // Selecting the same folder again still counts as a change.
        m_path = withTrailingSlash(clean);
        emit folderChanged(m_path);
        return true;
    }
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        expand(parent);
    m_reveal = true;
    setCurrentIndex(index);
    scrollTo(index, QAbstractItemView::PositionAtCenter);
    scrollToCurrentLater();
    return true;
}

bool FolderTree::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
        m_reveal = false;
    return QTreeView::viewportEvent(event);
}

void FolderTree::keyPressEvent(QKeyEvent* event)
{
    m_reveal = false;
    QTreeView::keyPressEvent(event);
}

void FolderTree::showEvent(QShowEvent* event)
{
    QTreeView::showEvent(event);
    scrollToCurrentLater();
}

void FolderTree::scrollToCurrentLater()
{
    // After the view has laid out the rows that just arrived; the index is
    // looked up again because the model may have rebuilt its rows.
    if (m_scrollPending)
        return;
    m_scrollPending = true;
    QTimer::singleShot(0, this, [this] {
        m_scrollPending = false;
        if (m_path.isEmpty())
            return;
        const QModelIndex index = m_model->index(QDir::cleanPath(m_path));
        if (!index.isValid())
            return;
        for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
            expand(parent);
        if (index != currentIndex()) {
            const QSignalBlocker block(selectionModel());
            setCurrentIndex(index);
        }
        executeDelayedItemsLayout();
        scrollTo(index, QAbstractItemView::PositionAtCenter);
    });
}

void FolderTree::onRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    if (m_path.isEmpty())
        return;
    for (int row = first; row <= last; ++row) {
        const QString removed = withTrailingSlash(m_model->filePath(m_model->index(row, 0, parent)));
        if (m_path.startsWith(removed)) {
            m_vanishing = true;
            return;
        }
    }
}

void FolderTree::onRowsRemoved()
{
    if (!m_vanishing)
        return;
    m_vanishing = false;
    // Once the model has settled; the window decides where to go.
    const QString gone = m_path;
    QTimer::singleShot(0, this, [this, gone] {
        if (m_path == gone)
            emit folderVanished(gone);
    });
}

void FolderTree::onCurrentChanged(const QModelIndex& current)
{
    if (!current.isValid() || m_vanishing)
        return;
    m_path = withTrailingSlash(m_model->filePath(current));
    emit folderChanged(m_path);
}
