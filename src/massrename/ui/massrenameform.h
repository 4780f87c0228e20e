#pragma once

#include "massrename/massrenameengine.h"
#include "massrename/massrenameundo.h"
#include "massrename/massrenameview.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QStringList>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTableView;
class QToolButton;
struct PlatformServices;
class Preferences;
class ResultsModel;

// The mass rename window: the run's choices, the autoformat builder, Go,
// Preview, Undo and the results grid. Thin: the run itself is
// MassRenameEngine's (the undo MassRenameUndo's); this window shows their
// outcomes, repainting and taking input at most about 30 times a second so
// that a long run is not slowed by painting. During a run only Stop (or
// Escape) and Exit act: both end the run after the current file, Exit then
// closes the window. The choices are read from the store when the window
// opens and stored when it closes.
class MassRenameForm final : public QDialog, private MassRenameView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MassRenameForm)
public:
    // currentFolder: the main window's folder, where the window starts.
    // openOptions / openFilters show the options dialog and the filter
    // editor modally (either may be empty: the button then does nothing).
    MassRenameForm(PlatformServices& services, Preferences& prefs, const QString& currentFolder,
        std::function<void()> openOptions, std::function<void()> openFilters, QWidget* parent = nullptr);
    ~MassRenameForm() override;

    // The choices as the controls hold them now.
    MassRenameChoices choices() const;
    // The fields of the built autoformat string, in click order.
    const QStringList& formatParts() const { return m_formatParts; }
    const MassRenameEngine& engine() const { return m_engine; }
    MassRenameEngine& engine() { return m_engine; }
    MassRenameUndo& undo() { return m_undo; }
    bool isRunning() const { return m_running; }
    // Undoes the run of a journal at once, without asking (the user has
    // chosen it already).
    void undoJournalNow(const QString& journalPath);

    void done(int result) override;
    // Escape: stops a run; otherwise closes the window.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // The last run may be another window's or another session's.
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void loadChoices(const QString& currentFolder);
    void storeChoices();
    void onGo();
    void onStop();
    void onExit();
    void onPreview();
    void onRenamePreviewed();
    void onUndoLastRun();
    void onUndoFromLog();
    // Undoes records; journalPath ("" for a log's lines) is marked undone
    // when the undo ran to its end.
    void undoJournal(const QString& journalPath, const QList<RenameRecord>& records, const QString& source);
    // Runs work with the window in its running state.
    void runGuarded(const std::function<void()>& work);
    void updateCommands();
    void onFindDir();
    void onViewLog();
    void onFormatListClicked(QListWidgetItem* item);
    void updateViewLogEnabled();

    // MassRenameView
    void clearResults() override;
    void addResultRow(const QString& dir, const QString& oldName, const QString& newName, ResultColour colour) override;
    void addPreviewRow(
        const QString& dir, const QString& oldName, const QString& newName, NameCollision collision) override;
    void setStatusText(const QString& text) override;
    void setCurrentDir(const QString& dir) override;
    void setCounters(const MassRenameCounters& counters) override;
    void setRunControls(bool enabled) override;
    void showRunStatus(bool on) override;
    void progress() override;
    void refreshNow() override;

    PlatformServices& m_services;
    Preferences& m_prefs;
    std::function<void()> m_openOptions;
    std::function<void()> m_openFilters;
    MassRenameEngine m_engine;
    MassRenameUndo m_undo;
    ResultsModel* m_model = nullptr;
    QStringList m_formatParts;
    bool m_running = false;
    bool m_closeAfterRun = false;
    bool m_runControlsEnabled = true;

    // What the next repaint shows.
    QString m_statusText;
    QString m_currentDir;
    MassRenameCounters m_counters;
    QElapsedTimer m_sincePaint;

    QLineEdit* m_startDir = nullptr;
    QToolButton* m_findDir = nullptr;
    QCheckBox* m_includeSubs = nullptr;
    QCheckBox* m_confirmEach = nullptr;
    QCheckBox* m_useFilters = nullptr;
    QCheckBox* m_useOptions = nullptr;
    QCheckBox* m_logOperation = nullptr;
    QCheckBox* m_allParts = nullptr;
    QListWidget* m_formatList = nullptr;
    QLineEdit* m_builtFormat = nullptr;
    QLineEdit* m_totalCount = nullptr;
    QLineEdit* m_skipCount = nullptr;
    QLineEdit* m_errorCount = nullptr;
    QLineEdit* m_renameCount = nullptr;
    QTableView* m_grid = nullptr;
    QLineEdit* m_inFolder = nullptr;
    QLabel* m_statLabel = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusLabel = nullptr;
    QPushButton* m_goButton = nullptr;
    QPushButton* m_exitButton = nullptr;
    QPushButton* m_viewLog = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_previewButton = nullptr;
    QPushButton* m_renamePreviewed = nullptr;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_undoLogButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QToolButton* m_optionsImage = nullptr;
    QToolButton* m_filterImage = nullptr;
};
