#pragma once

#include "platform/audiofiles.h"
#include "settings/options.h"
#include "tagedit/filetablemodel.h"

#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

#include <memory>

class QLineEdit;
class QProgressBar;
class QTableView;
class QToolButton;
class TableLoader;

// The folder's audio files as a table (FileList): the filter box
// (TableFilter) above it, the reading progress (TableProgress) and its stop
// button (TableStop) below. The names show at once; tags and audio facts
// are read off the GUI thread and fill in. Sorting, filtering and reading
// again keep the selection and every pending edit. Rows are the rows shown,
// in the order shown.
class FileTable final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileTable)

public:
    explicit FileTable(QWidget* parent = nullptr);
    ~FileTable() override;

    // Lists folder ("" for none) and starts reading its rows.
    void setFolder(const QString& folder, ListedFormats formats, const Options& options);
    // Lists the folder again: new files are added, gone ones removed, and
    // files whose size or time changed are read again.
    void relist();
    // Reads these files' rows again now (after Velmora wrote them).
    void reread(const QStringList& paths);
    bool isLoading() const { return m_loading; }
    void stopLoading();
    // A run over many files shows its progress where the reading does, and
    // TableStop asks it to end after the current file.
    void beginRun(int total);
    void runProgress(int done);
    void endRun();
    bool stopRequested() const { return m_runStopped; }
    QToolButton* stopButton() const { return m_stop; }

    int count() const;
    QString nameAt(int row) const;
    QString pathAt(int row) const;
    // The row of the file of that name; -1 when it is not shown.
    int rowOfName(const QString& name) const;
    int currentRow() const;
    bool isRowSelected(int row) const;
    // The selected rows, in the order shown.
    QList<int> selectedRows() const;
    QStringList selectedPaths() const;
    // Makes row current and the only one selected (-1: none).
    void selectOnly(int row);
    void scrollToRow(int row);

    // The columns shown, in the order shown.
    QList<TableColumn> columns() const;
    void setColumns(const QList<TableColumn>& columns);

    // The selected rows' shown cells as spreadsheet text, onto the clipboard.
    void copyCells();
    // Spreadsheet text from the clipboard into the cells from the current
    // one, as pending edits; a single value goes into the current column of
    // every selected row. Cells that are no tag are left.
    void pasteCells();

    FileTableModel& model() { return m_model; }
    QTableView* view() const { return m_view; }

signals:
    // The current row or the selection changed (not while the table is
    // rebuilt: once after).
    void selectionChanged();
    // Double-click or Enter on a cell that cannot be edited.
    void activated(int row);
    void contextMenuAt(const QPoint& globalPosition);
    void columnsChanged();
    // Another program changed the folder's files.
    void folderChangedOnDisk();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs change (a rebuild of the model) and selects the same files again.
    void keepSelection(const std::function<void()>& change);
    void readRows(const QStringList& paths);
    // The bar and Stop show the run while one goes on, else the reading.
    void showProgress();
    void showColumnMenu(const QPoint& position);
    int visualColumnCount() const;
    TableColumn columnAtVisual(int visual) const;

    FileTableModel m_model;
    QLineEdit* m_filter = nullptr;
    QTableView* m_view = nullptr;
    QProgressBar* m_progress = nullptr;
    QToolButton* m_stop = nullptr;
    std::unique_ptr<TableLoader> m_loader;
    QFileSystemWatcher m_watcher;
    QTimer m_changedLater;
    QString m_folder;
    ListedFormats m_formats = ListedFormats::All;
    Options m_options;
    int m_generation = 0;
    bool m_loading = false;
    bool m_rebuilding = false;
    bool m_running = false;
    std::pair<int, int> m_read; // files read, of
    std::pair<int, int> m_run; // files written, of
    bool m_runStopped = false;
};
