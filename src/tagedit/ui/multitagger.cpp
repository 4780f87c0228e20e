#include "multitagger.h"

#include "platform/audiofiles.h"
#include "text/texthelpers.h"

#include "folderfollower.h"

#include "coverimage/coverimage.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "platform/ui/themeicon.h"
#include "settings/preferences.h"
#include "tagedit/coverbatch.h"
#include "tagedit/foldercover.h"
#include "tagedit/multitagrun.h"
#include "tagedit/tagjournal.h"
#include "tagedit/ui/tagpanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Velmora");
const QString kErrorTitle = QStringLiteral("Velmora - MultiTagger");
// Painting during a run at most about 30 times a second keeps a run over
// thousands of files from being slowed by it.
constexpr int kPaintIntervalMs = 33;
// The visible height of the panel, in pixels.
constexpr int kPanelClipHeight = 169;

} // namespace

MultiTagger::MultiTagger(PlatformServices& services, Preferences& preferences, const QString& startFolder,
    QWidget* parent, StepRecorder* recorder)
    : QDialog(parent)
    , m_services(services)
    , m_preferences(preferences)
    , m_writer(*services.files)
    , m_undoFolder(TagJournal::defaultFolder())
{
    setObjectName(QStringLiteral("MultiTagger"));
    setWindowTitle(QStringLiteral("Velmora - MultiTagger"));
    setModal(true);
    m_writer.setKeepFileTimes(preferences.options.keepFileTimes);
    buildWindow();

    m_panel = new TagPanel(this);
    if (recorder)
        m_panel->setStepRecorder(*recorder);
    m_panel->initBoxes(this);
    clearBoxes();

    setFolder(startFolder.isEmpty() ? QDir::homePath() : startFolder);
    updateUndoButton();
    showStatus(QStringLiteral("Ready"));
}

MultiTagger::~MultiTagger() = default;

void MultiTagger::buildWindow()
{
    auto* layout = new QVBoxLayout(this);

    auto* filesFrame = new QGroupBox(QStringLiteral("Select MP3 Files To Include In The MultiTag Operation..."), this);
    auto* filesLayout = new QHBoxLayout(filesFrame);
    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_folderModel->setRootPath(QStringLiteral("/"));
    m_tree = new QTreeView(filesFrame);
    m_tree->setObjectName(QStringLiteral("FTV"));
    m_tree->setToolTip(QStringLiteral("Select Directory To Work In"));
    m_tree->setModel(m_folderModel);
    m_tree->setRootIndex(m_folderModel->index(QStringLiteral("/")));
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->header()->hide();
    m_tree->expand(m_folderModel->index(QDir::homePath()));
    new FolderFollower(m_tree, m_folderModel);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid())
            setFolder(m_folderModel->filePath(current));
    });
    m_fileList = new QListWidget(filesFrame);
    m_fileList->setObjectName(QStringLiteral("FileList"));
    m_fileList->setToolTip(QStringLiteral("Select The Files In This List To Apply Tags To"));
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    filesLayout->addWidget(m_tree, 1);
    filesLayout->addWidget(m_fileList, 1);
    layout->addWidget(filesFrame, 1);

    auto* tagFrame = new QGroupBox(QStringLiteral("ID3 Tag Values To Set In Each Selected File..."), this);
    auto* tagLayout = new QVBoxLayout(tagFrame);
    m_panelWidgets = buildTagPanel(tagFrame);
    m_panelWidgets.area->setMinimumHeight(kPanelClipHeight);
    for (int i = 0; i < kFieldCount; ++i) {
        auto* box = new QCheckBox(m_panelWidgets.inner);
        box->setObjectName(QStringLiteral("Included%1").arg(i));
        box->setToolTip(QStringLiteral("Click To Include/Exclude This Field In The MultiTagger Operation"));
        m_panelWidgets.grid->addWidget(box, i, 2);
        m_included[i] = box;
    }
    tagLayout->addWidget(m_panelWidgets.area, 1);

    auto* buttons = new QHBoxLayout;
    m_allButton = new QPushButton(QStringLiteral("All"), tagFrame);
    m_allButton->setObjectName(QStringLiteral("AllButton"));
    m_allButton->setToolTip(QStringLiteral("Select All Fields For Updating"));
    m_readValues = new QToolButton(tagFrame);
    m_readValues->setObjectName(QStringLiteral("ReadValues"));
    m_readValues->setIcon(themeIcon(QStringLiteral("document-open"), IconGlyph::Open));
    m_readValues->setToolTip(
        QStringLiteral("Click Here To Read and Insert Tags From Currently Selected File In The File List"));
    m_setTags = new QPushButton(QStringLiteral("&Set Tags"), tagFrame);
    m_setTags->setObjectName(QStringLiteral("SetTagsButton"));
    m_setTags->setToolTip(QStringLiteral("Update Selected Files Above With ID3 Values"));
    m_exitButton = new QPushButton(QStringLiteral("E&xit"), tagFrame);
    m_exitButton->setObjectName(QStringLiteral("ExitButton"));
    m_exitButton->setToolTip(QStringLiteral("Exit MultiTagger"));
    m_stopButton = new QPushButton(QStringLiteral("S&top"), tagFrame);
    m_stopButton->setObjectName(QStringLiteral("StopButton"));
    m_stopButton->setToolTip(QStringLiteral("Stop After The Current File (Esc)"));
    m_stopButton->setEnabled(false);
    m_undoButton = new QPushButton(QStringLiteral("&Undo Last Run"), tagFrame);
    m_undoButton->setObjectName(QStringLiteral("UndoRunButton"));
    m_undoButton->setToolTip(QStringLiteral("Restore The Tags Of The Files Changed By The Last Run"));
    buttons->addWidget(m_allButton);
    buttons->addWidget(m_readValues);
    buttons->addStretch(1);
    buttons->addWidget(m_undoButton);
    buttons->addWidget(m_setTags);
    buttons->addWidget(m_stopButton);
    buttons->addWidget(m_exitButton);
    tagLayout->addLayout(buttons);
    layout->addWidget(tagFrame, 1);
    buildCoverGroup(layout);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("MTProgress"));
    // No count before a run: "0 Of 1" would tell of a run that never was.
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("MTSB"));
    m_statusBar->setSizeGripEnabled(false);
    layout->addWidget(m_statusBar);

    connect(m_allButton, &QPushButton::clicked, this, &MultiTagger::allButtonClick);
    connect(m_readValues, &QToolButton::clicked, this, &MultiTagger::readValuesClick);
    connect(m_setTags, &QPushButton::clicked, this, &MultiTagger::setTagsButtonClick);
    connect(m_exitButton, &QPushButton::clicked, this, &MultiTagger::exitButtonClick);
    connect(m_stopButton, &QPushButton::clicked, this, &MultiTagger::stopButtonClick);
    connect(m_undoButton, &QPushButton::clicked, this, &MultiTagger::undoRunButtonClick);

    resize(640, 680);
}

void MultiTagger::buildCoverGroup(QLayout* layout)
{
    m_coverGroup = new QGroupBox(QStringLiteral("Covers"), this);
    auto* grid = new QGridLayout(m_coverGroup);
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text, m_coverGroup);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        return b;
    };
    auto* image = button("CoverImageButton", QStringLiteral("Set Cover From Image..."),
        QStringLiteral("Make One Image The Front Cover Of Every Selected File"));
    auto* folder = button("FolderCoverButton", QStringLiteral("Set Each Folder's Cover"),
        QStringLiteral("Make The Cover Image Of Each File's Folder Its Front Cover"));
    m_folderCoverPattern = new QLineEdit(defaultCoverPatterns().join(QLatin1Char(';')), m_coverGroup);
    m_folderCoverPattern->setObjectName(QStringLiteral("FolderCoverPattern"));
    m_folderCoverPattern->setToolTip(
        QStringLiteral("Names Of A Folder's Cover Image, Separated By ';' (Wildcards Allowed)"));
    auto* remove = button("RemoveCoversButton", QStringLiteral("Remove All Pictures"),
        QStringLiteral("Remove Every Picture From The Selected Files"));
    auto* shrink = button("ShrinkCoversButton", QStringLiteral("Shrink Covers"),
        QStringLiteral("Store Every Larger Picture As A JPEG Of This Many Pixels On Its Longer Side"));
    m_shrinkPixels = new QSpinBox(m_coverGroup);
    m_shrinkPixels->setObjectName(QStringLiteral("ShrinkPixels"));
    m_shrinkPixels->setRange(16, 10000);
    m_shrinkPixels->setValue(kDefaultShrinkPixels);
    m_shrinkPixels->setSuffix(QStringLiteral(" px"));
    m_shrinkQuality = new QSpinBox(m_coverGroup);
    m_shrinkQuality->setObjectName(QStringLiteral("ShrinkQuality"));
    m_shrinkQuality->setRange(1, 100);
    m_shrinkQuality->setValue(kDefaultShrinkQuality);
    m_shrinkQuality->setPrefix(QStringLiteral("Quality "));
    grid->addWidget(image, 0, 0);
    grid->addWidget(folder, 0, 1);
    grid->addWidget(m_folderCoverPattern, 0, 2, 1, 2);
    grid->addWidget(remove, 1, 0);
    grid->addWidget(shrink, 1, 1);
    grid->addWidget(m_shrinkPixels, 1, 2);
    grid->addWidget(m_shrinkQuality, 1, 3);
    layout->addWidget(m_coverGroup);

    connect(image, &QPushButton::clicked, this, &MultiTagger::coverImageClick);
    connect(folder, &QPushButton::clicked, this, &MultiTagger::folderCoverClick);
    connect(remove, &QPushButton::clicked, this, &MultiTagger::removeCoversClick);
    connect(shrink, &QPushButton::clicked, this, &MultiTagger::shrinkCoversClick);
}

void MultiTagger::setFolder(const QString& folder)
{
    const QString cleaned = withTrailingSlash(QDir::cleanPath(folder));
    const QModelIndex index = m_folderModel->index(cleaned.size() > 1 ? cleaned.chopped(1) : cleaned);
    if (index.isValid() && m_tree->currentIndex() != index) {
        m_tree->setCurrentIndex(index); // comes back here through currentChanged
        m_tree->scrollTo(index);
    }
    if (cleaned == m_folder)
        return;
    m_folder = cleaned;
    fillFileList();
}

void MultiTagger::fillFileList()
{
    m_fileList->clear();
    m_fileList->addItems(listAudioFiles(m_folder, listedFormats(m_preferences.options)));
}

QString MultiTagger::pathOf(const QString& name) const
{
    return withTrailingSlash(m_folder) + name;
}

int MultiTagger::countSelected() const
{
    int n = 0;
    for (int row = 0; row < m_fileList->count(); ++row)
        n += m_fileList->item(row)->isSelected();
    return n;
}

void MultiTagger::showStatus(const QString& text)
{
    m_statusBar->showMessage(text);
    if (m_running && m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kPaintIntervalMs)
        return;
    m_statusBar->repaint();
    if (m_running) {
        // Keeps the window painted and the Stop button answering during a
        // long run; every other control is disabled until it ends.
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
}

void MultiTagger::setBoxProperty(const QString& name, const QVariant& value)
{
    if (name != QLatin1String("Width") && name != QLatin1String("Enabled") && name != QLatin1String("Text"))
        return;
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!w->objectName().startsWith(QLatin1String("ID3")))
            continue;
        auto* edit = qobject_cast<QLineEdit*>(w);
        auto* combo = qobject_cast<QComboBox*>(w);
        if (!edit && !combo)
            continue;
        if (name == QLatin1String("Width")) {
            bool ok = false;
            const int width = value.toInt(&ok);
            if (ok && width >= 0)
                w->setFixedWidth(width);
        } else if (name == QLatin1String("Enabled")) {
            w->setEnabled(value.toBool());
        } else if (edit) {
            edit->setText(value.toString());
        } else if (combo->isEditable()) {
            combo->setEditText(value.toString());
        } else {
            const int pos = combo->findText(value.toString(), Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (pos >= 0)
                combo->setCurrentIndex(pos);
        }
    }
}

void MultiTagger::clearBoxes()
{
    setBoxProperty(QStringLiteral("Text"), QString());
    for (QCheckBox* box : m_included)
        box->setChecked(false);
}

void MultiTagger::allButtonClick()
{
    m_panelWidgets.inner->setFocus();
    const bool all = m_allButton->text() == QLatin1String("All");
    for (QCheckBox* box : m_included)
        box->setChecked(all);
    m_allButton->setText(all ? QStringLiteral("None") : QStringLiteral("All"));
}

void MultiTagger::readValuesClick()
{
    clearBoxes();
    if (countSelected() < 1)
        return;
    showStatus(QStringLiteral("Reading MP3 ID Tag References..."));
    // The entry that has the focus, selected or not.
    if (const QListWidgetItem* item = m_fileList->currentItem()) {
        const auto texts = m_writer.readFile(pathOf(item->text()), m_preferences.options);
        for (int i = 0; i < kFieldCount; ++i)
            m_panel->setText(i, texts[i]);
    }
    showStatus(QStringLiteral("MP3 ID Tag References Read"));
    m_allButton->setText(QStringLiteral("All"));
}

MultiTagValues MultiTagger::currentValues() const
{
    MultiTagValues values;
    for (int i = 0; i < kFieldCount; ++i) {
        values.included[i] = m_included[i]->isChecked();
        values.texts[i] = m_panel->text(i);
    }
    return values;
}

void MultiTagger::setUndoFolder(const QString& folder)
{
    m_undoFolder = withTrailingSlash(folder);
    updateUndoButton();
}

QString MultiTagger::journalPath() const
{
    return TagJournal::multiTaggerJournal(m_undoFolder);
}

void MultiTagger::updateUndoButton()
{
    m_undoButton->setEnabled(!m_running && QFileInfo::exists(journalPath()));
}

void MultiTagger::setRunning(bool running)
{
    m_running = running;
    m_stopRequested = false;
    m_sinceEvents.invalidate();
    for (QWidget* w : std::initializer_list<QWidget*> { m_tree, m_fileList, m_panelWidgets.area, m_allButton,
             m_readValues, m_setTags, m_exitButton, m_coverGroup })
        w->setEnabled(!running);
    m_stopButton->setEnabled(running);
    updateUndoButton();
}

QStringList MultiTagger::selectedPaths()
{
    QStringList paths;
    for (int row = 0; row < m_fileList->count(); ++row)
        if (m_fileList->item(row)->isSelected())
            paths << pathOf(m_fileList->item(row)->text());
    if (paths.isEmpty())
        m_services.prompter->message(
            kTitle, QStringLiteral("Please Select Some Files From The File List First!"), MsgIcon::Exclamation);
    return paths;
}

MultiTagRunHooks MultiTagger::startRun(const QStringList& paths)
{
    m_progress->setRange(0, int(paths.size()));
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%v Of %m Files"));
    m_progress->setTextVisible(true);
    setRunning(true);
    MultiTagRunHooks hooks;
    hooks.status = [this](const QString& text) { showStatus(text); };
    hooks.progress = [this](int done, int) { m_progress->setValue(done); };
    hooks.stopRequested = [this] { return m_stopRequested; };
    return hooks;
}

void MultiTagger::setTagsButtonClick()
{
    if (m_running)
        return;
    const QStringList paths = selectedPaths();
    if (paths.isEmpty())
        return;
    MultiTagRun run(m_writer, *m_services.prompter, journalPath());
    const MultiTagRunReport report = run.run(paths, currentValues(), startRun(paths));
    endRun(report, multiTagRunStatus(report));
}

void MultiTagger::runCovers(const CoverBatchRequest& request)
{
    if (m_running)
        return;
    const QStringList paths = selectedPaths();
    if (paths.isEmpty())
        return;
    CoverBatch batch(*m_services.files, *m_services.prompter, journalPath());
    batch.setKeepFileTimes(m_preferences.options.keepFileTimes);
    const CoverBatchReport report = batch.run(paths, request, startRun(paths));
    endRun(report.run, coverBatchStatus(report));
}

void MultiTagger::endRun(const MultiTagRunReport& report, const QString& status)
{
    setRunning(false);
    if (report.done > 0)
        m_filesWritten = true;
    showProgressResult(report);
    showStatus(status);
    const QString problems = multiTagRunProblemsText(report);
    if (!problems.isEmpty())
        m_services.prompter->message(kErrorTitle, problems, MsgIcon::Exclamation);
}

void MultiTagger::coverImageClick()
{
    // No file chooser before there are files to set the image into.
    if (m_running || selectedPaths().isEmpty())
        return;
    CoverBatchRequest request;
    request.operation = CoverOperation::SetImage;
    request.imagePath = m_services.prompter->chooseFile(
        QStringLiteral("Choose The Cover Image"), m_folder, QStringLiteral("Images (*.jpg *.jpeg *.png *.gif *.bmp)"));
    if (request.imagePath.isEmpty())
        return;
    request.imageCheck = imageRefusal;
    runCovers(request);
}

void MultiTagger::folderCoverClick()
{
    CoverBatchRequest request;
    request.operation = CoverOperation::FolderCover;
    request.patterns = coverPatterns(m_folderCoverPattern->text());
    request.imageCheck = imageRefusal;
    runCovers(request);
}

void MultiTagger::removeCoversClick()
{
    CoverBatchRequest request;
    request.operation = CoverOperation::RemoveAll;
    runCovers(request);
}

void MultiTagger::shrinkCoversClick()
{
    CoverBatchRequest request;
    request.operation = CoverOperation::Shrink;
    const int pixels = m_shrinkPixels->value();
    const int quality = m_shrinkQuality->value();
    request.shrink = [pixels, quality](const CoverPicture& picture) { return shrunkCover(picture, pixels, quality); };
    runCovers(request);
}

void MultiTagger::showProgressResult(const MultiTagRunReport& report)
{
    if (report.done == 0 && (report.cancelled || !report.refused.ok())) {
        m_progress->setTextVisible(false);
        return;
    }
    // What became of the files, not only how many were handled.
    QString text = QString::number(report.written) + QStringLiteral(" Of ") + QString::number(report.total)
        + QStringLiteral(" Files Written");
    if (report.failed > 0)
        text += QStringLiteral(", ") + QString::number(report.failed) + QStringLiteral(" Failed");
    m_progress->setFormat(text);
}

void MultiTagger::stopButtonClick()
{
    if (m_running)
        m_stopRequested = true;
}

void MultiTagger::undoRunButtonClick()
{
    if (m_running)
        return;
    const QString journal = journalPath();
    const auto showJournalError = [&](const FileError& error) {
        m_services.prompter->message(kErrorTitle,
            QStringLiteral("The Undo Journal Cannot Be Read:\r\n\r\n") + journal + QStringLiteral("\r\n\r\nError: ")
                + error.description + QStringLiteral(" (") + QString::number(error.number) + QLatin1Char(')'),
            MsgIcon::Critical);
    };
    const TagJournalSummary summary = summarizeTagJournal(journal);
    if (summary.inUse) {
        showJournalError(undoTagJournal(journal).journalError); // touches nothing: says why
        return;
    }
    const int changed = int(tagJournalChangedFiles(journal).size());
    if (changed == 0) {
        QFile::remove(journal);
        updateUndoButton();
        showStatus(QStringLiteral("Nothing To Undo"));
        return;
    }
    QString question = QStringLiteral("Restore The Tags Of The ") + QString::number(changed)
        + QStringLiteral(" Files Changed By The Last Run?");
    const QString interrupted = tagJournalInterruptedText(summary, QStringLiteral("The Last Run"));
    if (!interrupted.isEmpty())
        question = interrupted + QStringLiteral("\r\n\r\nRestore The Tags Of The Files It Changed?");
    if (!m_services.prompter->askYesNo(kErrorTitle, question))
        return;
    setRunning(true);
    m_stopButton->setEnabled(false); // an undo runs to its end
    const TagUndoReport report = undoTagJournal(journal, [this](const QString& path) {
        showStatus(QStringLiteral("Restoring ID3 Tags In ") + path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
    });
    setRunning(false);
    m_filesWritten = m_filesWritten || !report.restored.isEmpty();
    QString done = QStringLiteral("Last Run Undone: ") + QString::number(report.restored.size())
        + QStringLiteral(" Files Restored");
    if (!report.notDone.isEmpty())
        done += QStringLiteral(", ") + QString::number(report.notDone.size())
            + QStringLiteral(" Not Written By The Interrupted Run");
    showStatus(done);
    if (!report.journalError.ok())
        showJournalError(report.journalError);
    const QString problems = tagUndoProblemsText(report);
    if (!problems.isEmpty())
        m_services.prompter->message(kErrorTitle, problems, MsgIcon::Exclamation);
}

void MultiTagger::exitButtonClick()
{
    if (m_running)
        return;
    accept();
}

void MultiTagger::reject()
{
    // Escape or the close button during a run stops it after the current
    // file; the window stays open to show how far it got.
    if (m_running) {
        stopButtonClick();
        return;
    }
    QDialog::reject();
}
