#include "foldertree.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>

namespace {

QString withSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

FolderTree::FolderTree(QWidget* parent)
    : QTreeView(parent)
    , m_model(new QFileSystemModel(this))
{
    setObjectName(QStringLiteral("FTV"));
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QStringLiteral("/"));
    setModel(m_model);
    setRootIndex(m_model->index(QStringLiteral("/")));
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setExpanded(m_model->index(QDir::homePath()), true);
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
        m_path = withSlash(clean);
        emit folderChanged(m_path);
        return true;
    }
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}

void FolderTree::onCurrentChanged(const QModelIndex& current)
{
    if (!current.isValid())
        return;
    m_path = withSlash(m_model->filePath(current));
    emit folderChanged(m_path);
}
