#include "filetable.h"

#include "tagedit/tableloader.h"
#include "tagedit/tabletext.h"
#include "tags/audiotag.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Edited cells stay bold and italic until they are saved.
class EditedCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(FileTableModel::EditedRole).toBool()) {
            option->font.setBold(true);
            option->font.setItalic(true);
        }
    }
};

// Another program's burst of changes is read once it is over.
constexpr int kChangesSettleMs = 300;

} // namespace

FileTable::FileTable(QWidget* parent)
    : QWidget(parent)
{
    m_filter = new QLineEdit;
    m_filter->setObjectName(QStringLiteral("TableFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Filter: text, or field:text"));
    m_filter->setClearButtonEnabled(true);

    m_view = new QTableView;
    m_view->setObjectName(QStringLiteral("FileList"));
    m_view->setModel(&m_model);
    m_view->setItemDelegate(new EditedCellDelegate(m_view));
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->setWordWrap(false);
    m_view->setMinimumHeight(120);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setSectionsMovable(true);
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->horizontalHeader()->setSortIndicatorShown(true);
    m_view->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    m_view->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->installEventFilter(this);
    m_model.sortBy(TableColumn::FileName, Qt::AscendingOrder);

    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("TableProgress"));
    m_stop = new QToolButton;
    m_stop->setObjectName(QStringLiteral("TableStop"));
    m_stop->setText(QStringLiteral("Stop"));
    auto* progressRow = new QHBoxLayout;
    progressRow->setContentsMargins(0, 0, 0, 0);
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_stop);
    m_progress->hide();
    m_stop->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_filter);
    layout->addWidget(m_view, 1);
    layout->addLayout(progressRow);

    connect(m_filter, &QLineEdit::textChanged, this,
        [this](const QString& text) { keepSelection([&] { m_model.setFilter(text); }); });
    connect(m_view->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
        [this](int section, Qt::SortOrder order) { keepSelection([&] { m_model.sort(section, order); }); });
    connect(m_view->horizontalHeader(), &QWidget::customContextMenuRequested, this, &FileTable::showColumnMenu);
    connect(m_view->horizontalHeader(), &QHeaderView::sectionMoved, this, &FileTable::columnsChanged);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!m_rebuilding)
            emit selectionChanged();
    });
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_rebuilding)
            emit selectionChanged();
    });
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (!(m_model.flags(index) & Qt::ItemIsEditable))
            emit activated(index.row());
    });
    connect(m_view, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& position) { emit contextMenuAt(m_view->viewport()->mapToGlobal(position)); });
    connect(m_stop, &QToolButton::clicked, this, [this] {
        if (m_running)
            m_runStopped = true;
        else
            stopLoading();
    });

    m_changedLater.setSingleShot(true);
    m_changedLater.setInterval(kChangesSettleMs);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_changedLater, qOverload<>(&QTimer::start));
    connect(&m_changedLater, &QTimer::timeout, this, &FileTable::folderChangedOnDisk);
}

FileTable::~FileTable() = default;

void FileTable::setFolder(const QString& folder, ListedFormats formats, const Options& options)
{
    stopLoading();
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_folder = folder;
    m_formats = formats;
    m_options = options;
    m_rebuilding = true;
    m_model.clear();
    m_rebuilding = false;
    if (folder.isEmpty())
        return;
    m_watcher.addPath(folder);
    relist();
}

void FileTable::relist()
{
    if (m_folder.isEmpty())
        return;
    // Rows of files that did not change stay as read; the others are read.
    QHash<QString, const TableRow*> known;
    for (const TableRow& row : m_model.rows())
        known.insert(row.path, &row);
    const QDir dir(m_folder);
    std::vector<TableRow> rows;
    QStringList toRead;
    for (const QString& name : listAudioFiles(m_folder, m_formats)) {
        TableRow row = fileTableRow(dir.filePath(name));
        const TableRow* old = known.value(row.path);
        if (old && old->size == row.size && old->modifiedMs == row.modifiedMs) {
            rows.push_back(*old);
            continue;
        }
        toRead << row.path;
        rows.push_back(std::move(row));
    }
    keepSelection([&] { m_model.setRows(std::move(rows)); });
    readRows(toRead);
}

void FileTable::reread(const QStringList& paths)
{
    AudioTag tag;
    tag.setKeepTrailerOnLoad(true); // reading writes nothing
    QList<TableRow> rows;
    for (const QString& path : paths)
        if (QFileInfo::exists(path))
            rows << readTableRow(path, tag, m_options, true);
    m_model.updateRows(rows);
}

void FileTable::readRows(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const int generation = ++m_generation;
    m_loader = std::make_unique<TableLoader>();
    // Batches a stopped reading left queued belong to no table any more.
    connect(m_loader.get(), &TableLoader::rowsRead, this,
        [this, generation](const QList<TableRow>& rows, int done, int total) {
            if (generation != m_generation)
                return;
            m_model.updateRows(rows);
            m_read = { done, total };
            showProgress();
        });
    connect(m_loader.get(), &TableLoader::factsRead, this, [this, generation](const QList<TableRow>& rows) {
        if (generation == m_generation)
            m_model.updateFacts(rows);
    });
    connect(m_loader.get(), &TableLoader::finished, this, [this, generation] {
        if (generation != m_generation)
            return;
        m_loading = false;
        showProgress();
        // The order of a tag column is known once every tag is read.
        const QHeaderView* header = m_view->horizontalHeader();
        keepSelection([&] { m_model.sort(header->sortIndicatorSection(), header->sortIndicatorOrder()); });
    });
    m_loading = true;
    m_read = { 0, int(paths.size()) };
    showProgress();
    m_loader->start(paths, m_options);
}

void FileTable::stopLoading()
{
    if (m_loader)
        m_loader->stop();
    ++m_generation;
    m_loading = false;
    showProgress();
}

void FileTable::beginRun(int total)
{
    // The reading goes on beneath the run; the bar shows the run.
    m_running = true;
    m_runStopped = false;
    m_run = { 0, total };
    showProgress();
}

void FileTable::runProgress(int done)
{
    m_run.first = done;
    showProgress();
}

void FileTable::endRun()
{
    m_running = false;
    showProgress();
}

void FileTable::showProgress()
{
    m_progress->setVisible(m_running || m_loading);
    m_stop->setVisible(m_running || m_loading);
    const auto [done, total] = m_running ? m_run : m_read;
    m_progress->setFormat(
        m_running ? QStringLiteral("Writing %v Of %m Files") : QStringLiteral("Reading %v Of %m Files"));
    m_progress->setRange(0, total);
    m_progress->setValue(done);
}

void FileTable::keepSelection(const std::function<void()>& change)
{
    const QStringList selected = selectedPaths();
    const int current = currentRow();
    const QString currentPath = current >= 0 ? pathAt(current) : QString();
    const int currentColumn = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : 0;
    const bool wasRebuilding = m_rebuilding;
    m_rebuilding = true;
    change();
    QItemSelection selection;
    for (const QString& path : selected) {
        const int row = m_model.shownRowOf(path);
        if (row >= 0)
            selection.select(m_model.index(row, 0), m_model.index(row, m_model.columnCount() - 1));
    }
    QItemSelectionModel* model = m_view->selectionModel();
    const int newCurrent = currentPath.isEmpty() ? -1 : m_model.shownRowOf(currentPath);
    if (newCurrent >= 0)
        model->setCurrentIndex(m_model.index(newCurrent, currentColumn), QItemSelectionModel::NoUpdate);
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    m_rebuilding = wasRebuilding;
    if (!m_rebuilding)
        emit selectionChanged();
}

int FileTable::count() const
{
    return m_model.rowCount();
}

QString FileTable::nameAt(int row) const
{
    return m_model.rowAt(row).text(TableColumn::FileName);
}

QString FileTable::pathAt(int row) const
{
    return m_model.rowAt(row).path;
}

int FileTable::rowOfName(const QString& name) const
{
    for (int row = 0; row < count(); ++row)
        if (nameAt(row) == name)
            return row;
    return -1;
}

int FileTable::currentRow() const
{
    const QModelIndex current = m_view->selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool FileTable::isRowSelected(int row) const
{
    return row >= 0 && m_view->selectionModel()->isRowSelected(row, {});
}

QList<int> FileTable::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : m_view->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList FileTable::selectedPaths() const
{
    QStringList paths;
    for (int row : selectedRows())
        paths << pathAt(row);
    return paths;
}

void FileTable::selectOnly(int row)
{
    QItemSelectionModel* model = m_view->selectionModel();
    if (row < 0 || row >= count()) {
        model->clear();
        return;
    }
    const int column = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : 0;
    model->setCurrentIndex(m_model.index(row, column), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void FileTable::scrollToRow(int row)
{
    if (row >= 0 && row < count())
        m_view->scrollTo(m_model.index(row, 0), QAbstractItemView::PositionAtCenter);
}

QList<TableColumn> FileTable::columns() const
{
    QList<TableColumn> shown;
    for (int visual = 0; visual < visualColumnCount(); ++visual)
        shown << columnAtVisual(visual);
    return shown;
}

void FileTable::setColumns(const QList<TableColumn>& columns)
{
    keepSelection([&] { m_model.setColumns(columns); });
    // The model's order is the order shown: no moved sections stay behind.
    QHeaderView* header = m_view->horizontalHeader();
    for (int logical = 0; logical < header->count(); ++logical)
        if (header->visualIndex(logical) != logical)
            header->moveSection(header->visualIndex(logical), logical);
    emit columnsChanged();
}

int FileTable::visualColumnCount() const
{
    return m_view->horizontalHeader()->count();
}

TableColumn FileTable::columnAtVisual(int visual) const
{
    return m_model.columns().at(m_view->horizontalHeader()->logicalIndex(visual));
}

void FileTable::showColumnMenu(const QPoint& position)
{
    QMenu menu;
    const QList<TableColumn> shown = columns();
    for (TableColumn column : allTableColumns()) {
        QAction* action = menu.addAction(tableColumnName(column));
        action->setCheckable(true);
        action->setChecked(shown.contains(column));
        // Without the file name no row could be told from another.
        action->setEnabled(column != TableColumn::FileName);
        connect(action, &QAction::toggled, this, [this, column](bool on) {
            QList<TableColumn> now = columns();
            if (on)
                now << column;
            else
                now.removeAll(column);
            setColumns(now);
        });
    }
    menu.exec(m_view->horizontalHeader()->mapToGlobal(position));
}

void FileTable::copyCells()
{
    QList<QStringList> block;
    const QList<TableColumn> shown = columns();
    for (int row : selectedRows()) {
        QStringList cells;
        for (TableColumn column : shown)
            cells << m_model.shownText(row, column);
        block << cells;
    }
    if (!block.isEmpty())
        QApplication::clipboard()->setText(blockToText(block));
}

void FileTable::pasteCells()
{
    const QList<QStringList> block = blockFromText(QApplication::clipboard()->text());
    const QModelIndex current = m_view->currentIndex();
    if (block.isEmpty() || !current.isValid())
        return;
    const int anchorColumn = m_view->horizontalHeader()->visualIndex(current.column());
    QList<std::pair<int, int>> selected;
    for (int row : selectedRows())
        selected.append({ row, anchorColumn });
    for (const PastedCell& cell :
        pastedCells(block, current.row(), anchorColumn, count(), visualColumnCount(), selected)) {
        const int logical = m_view->horizontalHeader()->logicalIndex(cell.column);
        const QModelIndex index = m_model.index(cell.row, logical);
        if (m_model.flags(index) & Qt::ItemIsEditable)
            m_model.setData(index, cell.text);
    }
}

bool FileTable::eventFilter(QObject* watched, QEvent* event)
{
    // Keys of a cell being edited go to its editor, not here.
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            copyCells();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            pasteCells();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && currentRow() >= 0
            && !(m_model.flags(m_view->currentIndex()) & Qt::ItemIsEditable)) {
            emit activated(currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
