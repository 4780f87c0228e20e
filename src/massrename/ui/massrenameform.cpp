#include "massrenameform.h"

#include "resultsmodel.h"

#include "massrename/autoformat.h"
#include "massrename/browseforfolder.h"
#include "massrename/runjournals.h"
#include "massrename/viewlogfile.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "settings/lastpath.h"
#include "settings/preferences.h"
#include "text/texthelpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

// Repaint at most about 30 times a second during a run.
constexpr qint64 kPaintIntervalMs = 33;

template <typename W> W* named(W* widget, const char* name, const QString& toolTip = {})
{
    widget->setObjectName(QLatin1String(name));
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

QLineEdit* counterBox(const char* name, const QString& toolTip)
{
    auto* box = named(new QLineEdit(QStringLiteral("0")), name, toolTip);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    // Wide enough for the largest run (1,000,000 files) and then some.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000000000")) + 16);
    return box;
}

const QString kCrLf = QStringLiteral("\r\n");

// "Undo " what ": Give The " n " Files It Renamed Their Old Names Back And
// Put Back The " t " ID3v1 Tags It Rewrote?", after the interrupted-run
// note when the run did not end.
QString undoQuestion(const RenameJournalContents& contents, const QString& what)
{
    qsizetype renames = 0;
    for (const RenameRecord& r : contents.records)
        renames += r.kind == RenameRecord::Kind::Rename;
    const qsizetype trailers = contents.records.size() - renames;
    QString question = QStringLiteral("Undo ") + what + QStringLiteral(": Give The ") + QString::number(renames)
        + QStringLiteral(" Files It Renamed Their Old Names Back");
    if (trailers > 0)
        question += QStringLiteral(" And Put Back The ") + QString::number(trailers)
            + QStringLiteral(" ID3v1 Tags It Rewrote");
    question += QLatin1Char('?');
    if (contents.interrupted())
        question = interruptedRunText(contents.records.size()) + kCrLf + kCrLf + question;
    return question;
}

} // namespace

MassRenameForm::MassRenameForm(PlatformServices& services, Preferences& prefs, const QString& currentFolder,
    std::function<void()> openOptions, std::function<void()> openFilters, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_prefs(prefs)
    , m_openOptions(std::move(openOptions))
    , m_openFilters(std::move(openFilters))
    , m_engine(services, prefs, *this)
    , m_undo(services, *this)
{
    setObjectName(QStringLiteral("MassRenameForm"));
    setWindowTitle(QStringLiteral("Velmora - Mass Renaming"));
    buildControls();
    loadChoices(currentFolder);
    showRunStatus(false);
    setStatusText(QStringLiteral("Ready"));
    refreshNow();
    updateCommands();
}

MassRenameForm::~MassRenameForm() = default;

void MassRenameForm::buildControls()
{
    m_startDir = named(new QLineEdit, "StartDir", QStringLiteral("Directory To Begin Renaming At"));
    m_findDir = named(new QToolButton, "FindDir", QStringLiteral("Browse for a different starting directory."));
    m_findDir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_includeSubs = named(new QCheckBox(QStringLiteral("Include Subdirectories")), "IncludeSubs");
    m_confirmEach = named(new QCheckBox(QStringLiteral("Confirm Each Rename")), "ConfirmEach");
    m_useFilters = named(new QCheckBox(QStringLiteral("Use Defined Filters")), "UseFilters");
    m_useOptions = named(new QCheckBox(QStringLiteral("Use All Defined Options")), "UseOptions",
        QStringLiteral("Use All Defined Options From the Options Dialog (Filename Casing Is Always "
                       "Included Automatically)"));
    m_logOperation = named(new QCheckBox(QStringLiteral("Create A Log of Operations")), "LogOperation");
    m_allParts = named(new QCheckBox(QStringLiteral("All Selected ID3 Tags Must Exist Before Renaming")), "AllParts");
    m_formatList = named(new QListWidget, "FormatList",
        QStringLiteral("Try To Rename Files By Internal ID Tag Values, If They Exist, Choose None For "
                       "Filename Cleanup Of All Audio Files"));
    m_formatList->addItems(formatListEntries());
    m_builtFormat = named(new QLineEdit, "BuiltFormat");
    m_totalCount = counterBox("TotalCount", QStringLiteral("Number Of Files Found"));
    m_skipCount = counterBox("SkipCount", QStringLiteral("Number Of Files Skipped Because Of Missing ID3 Tags"));
    m_errorCount = counterBox("ErrorCount", QStringLiteral("Number Of Errors That Occured"));
    m_renameCount = counterBox("RenameCount", QStringLiteral("Number Of Files Successfully Renamed"));

    m_model = new ResultsModel(this);
    m_grid = named(new QTableView, "StatusGridLV");
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->setColumnWidth(0, 220);
    m_grid->setColumnWidth(1, 220);

    m_inFolder = named(new QLineEdit, "SInDir", QStringLiteral("Current Directory"));
    m_inFolder->setReadOnly(true);
    m_statLabel = named(new QLabel(QStringLiteral("Working In Directory...")), "StatLabel1");
    m_statusBar = named(new QStatusBar, "SBar2");
    m_statusLabel = new QLabel;
    m_statusBar->addWidget(m_statusLabel, 1);
    m_statusBar->setSizeGripEnabled(false);

    m_goButton = named(
        new QPushButton(QStringLiteral("Start Mass Renaming")), "GoButton", QStringLiteral("Start Mass Renaming"));
    m_exitButton = named(
        new QPushButton(QStringLiteral("Exit Mass Renaming")), "ExitButton", QStringLiteral("Exit Mass Renaming"));
    m_viewLog = named(new QPushButton(QStringLiteral("&View Log")), "ViewLog",
        QStringLiteral("View Log (MN.log) Of Last Operation Using Text Editor"));
    m_stopButton = named(
        new QPushButton(QStringLiteral("&Stop")), "StopButton", QStringLiteral("Stop After The Current File (Escape)"));
    m_previewButton = named(new QPushButton(QStringLiteral("&Preview")), "PreviewButton",
        QStringLiteral("Show Every Old And New Name Without Renaming Anything"));
    m_renamePreviewed = named(new QPushButton(QStringLiteral("Rename As Previe&wed")), "RenamePreviewed",
        QStringLiteral("Rename Exactly The Files Of The Last Preview"));
    m_undoButton = named(new QPushButton(QStringLiteral("&Undo Last Run")), "UndoButton",
        QStringLiteral("Give The Files Of The Last Mass Rename Their Old Names Back"));
    m_undoLogButton = named(new QPushButton(QStringLiteral("Undo From L&og...")), "UndoLogButton",
        QStringLiteral("Undo The Mass Rename Of A Log Chosen From The Log Folder"));
    m_progress = named(new QProgressBar, "RunProgress", QStringLiteral("Files Done Of Files Found"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_optionsImage = named(new QToolButton, "OptionsImage", QStringLiteral("Click To Define Options"));
    m_optionsImage->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_filterImage = named(new QToolButton, "FilterImage", QStringLiteral("Click To Manage Filters"));
    m_filterImage->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));

    auto* dirRow = new QHBoxLayout;
    dirRow->addWidget(new QLabel(QStringLiteral("Directory To Begin Renaming At")));
    dirRow->addWidget(m_startDir, 1);
    dirRow->addWidget(m_findDir);

    auto* boxes = new QGridLayout;
    boxes->addWidget(m_includeSubs, 0, 0);
    boxes->addWidget(m_confirmEach, 1, 0);
    boxes->addWidget(m_useFilters, 2, 0);
    boxes->addWidget(m_useOptions, 0, 1);
    boxes->addWidget(m_logOperation, 1, 1);
    boxes->addWidget(m_allParts, 2, 1);
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(m_optionsImage);
    pictures->addWidget(m_filterImage);
    pictures->addStretch(1);
    boxes->addLayout(pictures, 3, 0, 1, 2);

    auto* formatColumn = new QVBoxLayout;
    formatColumn->addWidget(m_formatList, 1);
    formatColumn->addWidget(new QLabel(QStringLiteral("Currently Built Autoformatting String...")));
    formatColumn->addWidget(m_builtFormat);

    auto* counters = new QGridLayout;
    const QList<QPair<QString, QLineEdit*>> counterRows
        = { { QStringLiteral("Found"), m_totalCount }, { QStringLiteral("Skipped"), m_skipCount },
              { QStringLiteral("Errors"), m_errorCount }, { QStringLiteral("Renamed"), m_renameCount } };
    for (int i = 0; i < counterRows.size(); ++i) {
        counters->addWidget(new QLabel(counterRows[i].first), i, 0);
        counters->addWidget(counterRows[i].second, i, 1);
    }

    auto* top = new QHBoxLayout;
    top->addLayout(boxes, 2);
    top->addLayout(formatColumn, 1);
    top->addLayout(counters);

    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(m_statLabel);
    statusRow->addWidget(m_inFolder, 1);
    statusRow->addWidget(m_progress, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_goButton);
    buttons->addWidget(m_previewButton);
    buttons->addWidget(m_renamePreviewed);
    buttons->addWidget(m_stopButton);
    buttons->addWidget(m_viewLog);
    buttons->addWidget(m_undoButton);
    buttons->addWidget(m_undoLogButton);
    buttons->addStretch(1);
    buttons->addWidget(m_exitButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dirRow);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(statusRow);
    layout->addLayout(buttons);
    layout->addWidget(m_statusBar);
    resize(900, 560);

    connect(m_goButton, &QPushButton::clicked, this, &MassRenameForm::onGo);
    connect(m_exitButton, &QPushButton::clicked, this, &MassRenameForm::onExit);
    connect(m_stopButton, &QPushButton::clicked, this, &MassRenameForm::onStop);
    connect(m_previewButton, &QPushButton::clicked, this, &MassRenameForm::onPreview);
    connect(m_renamePreviewed, &QPushButton::clicked, this, &MassRenameForm::onRenamePreviewed);
    connect(m_undoButton, &QPushButton::clicked, this, &MassRenameForm::onUndoLastRun);
    connect(m_undoLogButton, &QPushButton::clicked, this, &MassRenameForm::onUndoFromLog);
    connect(m_viewLog, &QPushButton::clicked, this, &MassRenameForm::onViewLog);
    connect(m_findDir, &QToolButton::clicked, this, &MassRenameForm::onFindDir);
    connect(m_formatList, &QListWidget::itemClicked, this, &MassRenameForm::onFormatListClicked);
    connect(m_logOperation, &QCheckBox::toggled, this, &MassRenameForm::updateViewLogEnabled);
    connect(m_builtFormat, &QLineEdit::textChanged, m_builtFormat, &QLineEdit::setToolTip);
    connect(m_optionsImage, &QToolButton::clicked, this, [this] {
        if (m_openOptions)
            m_openOptions();
    });
    connect(m_filterImage, &QToolButton::clicked, this, [this] {
        if (m_openFilters)
            m_openFilters();
    });
}

void MassRenameForm::loadChoices(const QString& currentFolder)
{
    const MassRenameChoices c = loadMassRenameChoices(m_prefs.store);
    // The window always opens on the main window's folder.
    m_startDir->setText(currentFolder.isEmpty() ? c.startDir : withTrailingSlash(currentFolder));
    m_includeSubs->setChecked(c.includeSubs);
    m_confirmEach->setChecked(c.confirmEach);
    m_useFilters->setChecked(c.useFilters);
    m_useOptions->setChecked(c.useOptions);
    m_logOperation->setChecked(c.logOperation);
    m_allParts->setChecked(c.allParts);
    m_formatList->setCurrentRow(0);
    m_builtFormat->setText(c.builtFormat);
    m_formatParts = parseBuiltFormat(c.builtFormat).parts;
    updateViewLogEnabled();
}

MassRenameChoices MassRenameForm::choices() const
{
    MassRenameChoices c;
    c.startDir = m_startDir->text();
    c.includeSubs = m_includeSubs->isChecked();
    c.confirmEach = m_confirmEach->isChecked();
    c.useFilters = m_useFilters->isChecked();
    c.useOptions = m_useOptions->isChecked();
    c.logOperation = m_logOperation->isChecked();
    c.allParts = m_allParts->isChecked();
    c.builtFormat = m_builtFormat->text();
    return c;
}

void MassRenameForm::storeChoices()
{
    saveMassRenameChoices(m_prefs.store, choices());
}

void MassRenameForm::done(int result)
{
    // A close request during a run stops it; the window closes at its end.
    if (m_running) {
        onExit();
        return;
    }
    storeChoices();
    m_engine.closeLog();
    QDialog::done(result);
}

void MassRenameForm::reject()
{
    if (m_running)
        onStop();
    else
        QDialog::reject();
}

void MassRenameForm::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        event->ignore();
        onExit();
        return;
    }
    QDialog::closeEvent(event);
}

void MassRenameForm::showEvent(QShowEvent* event)
{
    updateCommands();
    QDialog::showEvent(event);
}

void MassRenameForm::onStop()
{
    if (!m_running)
        return;
    m_engine.requestStop();
    m_undo.requestStop();
    m_stopButton->setEnabled(false);
    m_statusText = QStringLiteral("Stopping After The Current File...");
}

void MassRenameForm::onExit()
{
    if (!m_running) {
        QDialog::reject();
        return;
    }
    m_closeAfterRun = true;
    onStop();
}

void MassRenameForm::runGuarded(const std::function<void()>& work)
{
    if (m_running)
        return;
    m_running = true;
    m_closeAfterRun = false;
    m_stopButton->setEnabled(true);
    m_sincePaint.start();
    work();
    m_running = false;
    m_stopButton->setEnabled(false);
    refreshNow();
    updateCommands();
    if (m_closeAfterRun)
        QDialog::reject();
}

void MassRenameForm::onGo()
{
    MassRenameEngine::GoResult result = MassRenameEngine::GoResult::Declined;
    runGuarded([&] { result = m_engine.go(choices()); });
    if (result == MassRenameEngine::GoResult::StartDirMissing) {
        m_startDir->setFocus();
        m_startDir->selectAll();
    }
}

void MassRenameForm::onPreview()
{
    const MassRenameChoices chosen = choices();
    if (!dirExists(chosen.startDir)) {
        m_services.prompter->message(
            QStringLiteral("Error!"), QStringLiteral("The Starting Directory Cannot Be Found!"), MsgIcon::Critical);
        m_startDir->setFocus();
        m_startDir->selectAll();
        return;
    }
    runGuarded([&] { m_engine.preview(chosen); });
}

void MassRenameForm::onRenamePreviewed()
{
    if (!m_engine.hasPlan())
        return;
    qint64 renames = 0;
    for (const PlannedFile& f : m_engine.plan())
        renames += f.outcome == PlannedFile::Outcome::Rename && f.collision == NameCollision::None;
    if (!m_services.prompter->askYesNo(QStringLiteral("Velmora - Mass Renaming..."),
            QStringLiteral("Rename The ") + QString::number(renames)
                + QStringLiteral(" Files Of The Preview As Shown?")))
        return;
    runGuarded([&] { m_engine.renamePreviewed(); });
}

void MassRenameForm::onUndoLastRun()
{
    const QString journal = lastRunJournal(m_engine.logFolder());
    RenameJournalContents contents;
    if (journal.isEmpty() || !readRenameJournal(journal, &contents, nullptr) || contents.records.isEmpty()
        || contents.undone) {
        updateCommands();
        return;
    }
    if (!m_services.prompter->askYesNo(QStringLiteral("Velmora - Undo Mass Rename"),
            undoQuestion(contents, QStringLiteral("The Last Mass Rename"))))
        return;
    undoJournal(journal, contents.records, QString());
}

void MassRenameForm::onUndoFromLog()
{
    const QString path = m_services.prompter->chooseFile(QStringLiteral("Choose The Log Of The Mass Rename To Undo"),
        m_engine.logFolder(), QStringLiteral("Mass Rename Logs And Journals (MassRename*.log MassRename*.undo)"));
    if (path.isEmpty())
        return;
    const QString journal = path.endsWith(QLatin1String(".undo")) ? path : journalPathFor(path);
    RenameJournalContents contents;
    const bool haveJournal = readRenameJournal(journal, &contents, nullptr);
    QList<RenameRecord> records = contents.records;
    FileError err;
    if (!haveJournal && !readRenameRecords(path, &records, &err)) {
        m_services.prompter->message(QStringLiteral("Velmora"),
            QStringLiteral("Could Not Read Log File!") + kCrLf + kCrLf + path + kCrLf + kCrLf + err.description
                + QStringLiteral(" (") + QString::number(err.number) + QLatin1Char(')'),
            MsgIcon::Critical);
        return;
    }
    if (records.isEmpty()) {
        m_services.prompter->message(QStringLiteral("Velmora"),
            QStringLiteral("The Log Records No Renamed Files:") + kCrLf + kCrLf + path, MsgIcon::Information);
        return;
    }
    contents.records = records;
    if (!m_services.prompter->askYesNo(QStringLiteral("Velmora - Undo Mass Rename"),
            undoQuestion(contents, QStringLiteral("This Log")) + kCrLf + kCrLf + path))
        return;
    undoJournal(haveJournal ? journal : QString(), records, path);
}

void MassRenameForm::undoJournalNow(const QString& journalPath)
{
    RenameJournalContents contents;
    FileError err;
    if (!readRenameJournal(journalPath, &contents, &err)) {
        m_services.prompter->message(QStringLiteral("Velmora"),
            QStringLiteral("Could Not Read Log File!") + kCrLf + kCrLf + journalPath + kCrLf + kCrLf + err.description
                + QStringLiteral(" (") + QString::number(err.number) + QLatin1Char(')'),
            MsgIcon::Critical);
        return;
    }
    undoJournal(journalPath, contents.records, journalPath);
}

void MassRenameForm::undoJournal(const QString& journalPath, const QList<RenameRecord>& records, const QString& source)
{
    m_undo.setLogFolder(m_engine.logFolder());
    runGuarded([&] { m_undo.run(records, source); });
    // A stopped undo may be taken up again later.
    if (!journalPath.isEmpty() && !m_undo.stopped())
        markRenameJournal(journalPath, JournalMark::Undone);
    updateCommands();
}

void MassRenameForm::updateCommands()
{
    const bool idle = !m_running;
    m_previewButton->setEnabled(idle);
    m_renamePreviewed->setEnabled(idle && m_engine.hasPlan());
    m_undoButton->setEnabled(idle && hasUndoableChanges(lastRunJournal(m_engine.logFolder())));
    m_undoLogButton->setEnabled(idle);
    m_stopButton->setEnabled(m_running);
}

void MassRenameForm::onFindDir()
{
    showRunStatus(false);
    m_startDir->setFocus();
    const QString remembered = m_startDir->text();
    const QString chosen = browseForFolder(*m_services.prompter, withoutTrailingSlash(remembered));
    m_startDir->setText(chosen.isEmpty() ? remembered : withTrailingSlash(chosen));
}

void MassRenameForm::onViewLog()
{
    m_engine.closeLog();
    viewLogFile(*m_services.launcher, *m_services.prompter, m_engine.logFileName());
}

void MassRenameForm::onFormatListClicked(QListWidgetItem* item)
{
    const QString entry = item->text();
    const QString separator = m_useOptions->isChecked() ? m_prefs.options.separatorString : QStringLiteral(" - ");
    m_builtFormat->setText(appendFormatEntry(m_builtFormat->text(), entry, separator));
    if (entry == QLatin1String("None"))
        m_formatParts.clear();
    else
        m_formatParts << entry;
}

void MassRenameForm::updateViewLogEnabled()
{
    m_viewLog->setEnabled(m_runControlsEnabled && m_logOperation->isChecked());
}

void MassRenameForm::clearResults()
{
    m_model->clear();
}

void MassRenameForm::addResultRow(
    const QString& dir, const QString& oldName, const QString& newName, ResultColour colour)
{
    m_model->append({ dir, oldName, newName, colour });
}

void MassRenameForm::addPreviewRow(
    const QString& dir, const QString& oldName, const QString& newName, NameCollision collision)
{
    QString note;
    if (collision == NameCollision::ExistingFile)
        note = QStringLiteral("Name Taken By An Existing File");
    else if (collision == NameCollision::InsideRun)
        note = QStringLiteral("Name Taken By An Earlier File Of This Run");
    m_model->append({ dir, oldName, newName,
        collision == NameCollision::None ? ResultColour::Renamed : ResultColour::Failed, note });
}

void MassRenameForm::setStatusText(const QString& text)
{
    m_statusText = text;
}

void MassRenameForm::setCurrentDir(const QString& dir)
{
    m_currentDir = dir;
}

void MassRenameForm::setCounters(const MassRenameCounters& counters)
{
    m_counters = counters;
}

void MassRenameForm::setRunControls(bool enabled)
{
    m_runControlsEnabled = enabled;
    // Input flows during a run: everything but Stop and Exit waits for its end.
    for (QWidget* w : std::initializer_list<QWidget*> { m_goButton, m_startDir, m_includeSubs, m_useOptions,
             m_useFilters, m_confirmEach, m_allParts, m_findDir, m_logOperation, m_formatList, m_builtFormat,
             m_optionsImage, m_filterImage })
        w->setEnabled(enabled);
    updateViewLogEnabled();
    m_previewButton->setEnabled(enabled);
    m_renamePreviewed->setEnabled(enabled && m_engine.hasPlan());
    m_undoButton->setEnabled(enabled && hasUndoableChanges(lastRunJournal(m_engine.logFolder())));
    m_undoLogButton->setEnabled(enabled);
}

void MassRenameForm::showRunStatus(bool on)
{
    m_inFolder->setEnabled(on);
    m_statLabel->setEnabled(on);
}

void MassRenameForm::progress()
{
    if (m_sincePaint.isValid() && m_sincePaint.elapsed() < kPaintIntervalMs)
        return;
    refreshNow();
}

void MassRenameForm::refreshNow()
{
    m_statusLabel->setText(m_statusText);
    m_inFolder->setText(m_currentDir);
    m_totalCount->setText(QString::number(m_counters.total));
    m_skipCount->setText(QString::number(m_counters.skipped));
    m_errorCount->setText(QString::number(m_counters.errors));
    m_renameCount->setText(QString::number(m_counters.renamed));
    // Nothing found yet (before any run): an empty bar, not "0 / 1".
    m_progress->setTextVisible(m_counters.found > 0);
    m_progress->setRange(0, int(std::clamp<qint64>(m_counters.found, 1, INT_MAX)));
    m_progress->setValue(int(std::clamp<qint64>(m_counters.total, 0, INT_MAX)));
    if (m_model->flush())
        m_grid->scrollToBottom();
    if (m_running) {
        // Paint now and take Stop, Escape and Exit; every other control is
        // disabled until the run ends.
        QCoreApplication::processEvents();
        m_sincePaint.restart();
    }
}
