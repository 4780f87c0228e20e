#include "massrenameform.h"

#include "resultsmodel.h"

#include "massrename/autoformat.h"
#include "massrename/browseforfolder.h"
#include "massrename/viewlogfile.h"
#include "nameedit/stringhelpers.h"
#include "platform/platformservices.h"
#include "settings/preferences.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Repaint at most about 30 times a second during a run.
constexpr qint64 kPaintIntervalMs = 33;

template <typename W>
W* named(W* widget, const char* name, const QString& toolTip = {})
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
    return box;
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
{
    setObjectName(QStringLiteral("MassRenameForm"));
    setWindowTitle(QStringLiteral("Velmora - Mass Renaming"));
    BuildControls();
    LoadChoices(currentFolder);
    ShowRunStatus(false);
    SetStatusText(QStringLiteral("Ready"));
    RefreshNow();
}

MassRenameForm::~MassRenameForm() = default;

void MassRenameForm::BuildControls()
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
                                        "Filename Cleanup Of All MP3 Files"));
    m_formatList->addItems(FormatListEntries());
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

    m_sInDir = named(new QLineEdit, "SInDir", QStringLiteral("Current Directory"));
    m_sInDir->setReadOnly(true);
    m_statLabel = named(new QLabel(QStringLiteral("Working In Directory...")), "StatLabel1");
    m_statusBar = named(new QStatusBar, "SBar2");
    m_statusLabel = new QLabel;
    m_statusBar->addWidget(m_statusLabel, 1);
    m_statusBar->setSizeGripEnabled(false);

    m_goButton = named(new QPushButton(QStringLiteral("Start Mass Renaming")), "GoButton",
                       QStringLiteral("Start Mass Renaming"));
    m_exitButton = named(new QPushButton(QStringLiteral("Exit Mass Renaming")), "ExitButton",
                         QStringLiteral("Exit Mass Renaming"));
    m_viewLog = named(new QPushButton(QStringLiteral("&View Log")), "ViewLog",
        QStringLiteral("View Log (MN.log) Of Last Operation Using Text Editor"));
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
    const QList<QPair<QString, QLineEdit*>> counterRows = {{QStringLiteral("Found"), m_totalCount},
                                                          {QStringLiteral("Skipped"), m_skipCount},
                                                          {QStringLiteral("Errors"), m_errorCount},
                                                          {QStringLiteral("Renamed"), m_renameCount}};
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
    statusRow->addWidget(m_sInDir, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_goButton);
    buttons->addWidget(m_viewLog);
    buttons->addStretch(1);
    buttons->addWidget(m_exitButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dirRow);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(statusRow);
    layout->addLayout(buttons);
    layout->addWidget(m_statusBar);
    resize(760, 560);

    connect(m_goButton, &QPushButton::clicked, this, &MassRenameForm::OnGo);
    connect(m_exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_viewLog, &QPushButton::clicked, this, &MassRenameForm::OnViewLog);
    connect(m_findDir, &QToolButton::clicked, this, &MassRenameForm::OnFindDir);
    connect(m_formatList, &QListWidget::itemClicked, this, &MassRenameForm::OnFormatListClicked);
    connect(m_logOperation, &QCheckBox::toggled, this, &MassRenameForm::UpdateViewLogEnabled);
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

void MassRenameForm::LoadChoices(const QString& currentFolder)
{
    const MassRenameChoices c = LoadMassRenameChoices(m_prefs.store);
    // The window always opens on the main window's folder.
    m_startDir->setText(currentFolder.isEmpty() ? c.startDir : AddBackslash(currentFolder));
    m_includeSubs->setChecked(c.includeSubs);
    m_confirmEach->setChecked(c.confirmEach);
    m_useFilters->setChecked(c.useFilters);
    m_useOptions->setChecked(c.useOptions);
    m_logOperation->setChecked(c.logOperation);
    m_allParts->setChecked(c.allParts);
    m_formatList->setCurrentRow(0);
    m_builtFormat->setText(c.builtFormat);
    m_formatParts = ParseBuiltFormat(c.builtFormat).parts;
    UpdateViewLogEnabled();
}

MassRenameChoices MassRenameForm::Choices() const
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

void MassRenameForm::StoreChoices()
{
    SaveMassRenameChoices(m_prefs.store, Choices());
}

void MassRenameForm::done(int result)
{
    // A close request that arrives while a run repaints waits for its end.
    if (m_running)
        return;
    StoreChoices();
    m_engine.CloseLog();
    QDialog::done(result);
}

void MassRenameForm::OnGo()
{
    if (m_running)
        return;
    m_running = true;
    m_sincePaint.start();
    const MassRenameEngine::GoResult result = m_engine.Go(Choices());
    m_running = false;
    RefreshNow();
    if (result == MassRenameEngine::GoResult::StartDirMissing) {
        m_startDir->setFocus();
        m_startDir->selectAll();
    }
}

void MassRenameForm::OnFindDir()
{
    ShowRunStatus(false);
    m_startDir->setFocus();
    const QString remembered = m_startDir->text();
    const QString chosen = BrowseForFolder(*m_services.prompter, StripTrailingBackslash(remembered));
    m_startDir->setText(chosen.isEmpty() ? remembered : AddBackslash(chosen));
}

void MassRenameForm::OnViewLog()
{
    m_engine.CloseLog();
    ViewLogFile(*m_services.launcher, *m_services.prompter, m_engine.LogFileName());
}

void MassRenameForm::OnFormatListClicked(QListWidgetItem* item)
{
    const QString entry = item->text();
    const QString separator = m_useOptions->isChecked() ? m_prefs.options.SeparatorString : QStringLiteral(" - ");
    m_builtFormat->setText(AppendFormatEntry(m_builtFormat->text(), entry, separator));
    if (entry == QLatin1String("None"))
        m_formatParts.clear();
    else
        m_formatParts << entry;
}

void MassRenameForm::UpdateViewLogEnabled()
{
    m_viewLog->setEnabled(m_runControlsEnabled && m_logOperation->isChecked());
}

void MassRenameForm::ClearResults()
{
    m_model->Clear();
}

void MassRenameForm::AddResultRow(const QString& dir, const QString& oldName, const QString& newName,
                                  ResultColour colour)
{
    m_model->Append({dir, oldName, newName, colour});
}

void MassRenameForm::SetStatusText(const QString& text)
{
    m_statusText = text;
}

void MassRenameForm::SetCurrentDir(const QString& dir)
{
    m_currentDir = dir;
}

void MassRenameForm::SetCounters(const MassRenameCounters& counters)
{
    m_counters = counters;
}

void MassRenameForm::SetRunControls(bool enabled)
{
    m_runControlsEnabled = enabled;
    for (QWidget* w : std::initializer_list<QWidget*>{m_goButton, m_startDir, m_includeSubs, m_useOptions,
                                                      m_useFilters, m_confirmEach, m_allParts})
        w->setEnabled(enabled);
    UpdateViewLogEnabled();
}

void MassRenameForm::ShowRunStatus(bool on)
{
    m_sInDir->setEnabled(on);
    m_statLabel->setEnabled(on);
}

void MassRenameForm::Progress()
{
    if (m_sincePaint.isValid() && m_sincePaint.elapsed() < kPaintIntervalMs)
        return;
    RefreshNow();
}

void MassRenameForm::RefreshNow()
{
    m_statusLabel->setText(m_statusText);
    m_sInDir->setText(m_currentDir);
    m_totalCount->setText(QString::number(m_counters.total));
    m_skipCount->setText(QString::number(m_counters.skipped));
    m_errorCount->setText(QString::number(m_counters.errors));
    m_renameCount->setText(QString::number(m_counters.renamed));
    if (m_model->Flush())
        m_grid->scrollToBottom();
    if (m_running) {
        // Paint now; clicks and keys wait for the end of the run.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_sincePaint.restart();
    }
}
