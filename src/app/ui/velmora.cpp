#include "velmora.h"

#include "buttonicons.h"
#include "foldertree.h"
#include "partslistview.h"
#include "platform/version.h"
#include "wholerows.h"

#include "nameedit/nameeditsession.h"
#include "platform/platformservices.h"
#include "settings/preferences.h"
#include "tagedit/tagjournal.h"
#include "tagedit/ui/coverpane.h"
#include "tagedit/ui/filetable.h"
#include "tagedit/ui/tagpanel.h"
#include "tagedit/ui/tagpanelbuilder.h"
#include "tags/fieldcatalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString clearTip(int index)
{
    switch (FieldId(index)) {
    case FieldId::OrigArtist:
        return QStringLiteral("Clear The Contents Of The Original Artist Field");
    case FieldId::CopyRight:
        return QStringLiteral("Reset The Copyright Field To False");
    default:
        return QStringLiteral("Clear The Contents Of The ") + QString::fromLatin1(fieldInfo(index).name)
            + QStringLiteral(" Field");
    }
}

} // namespace

Velmora::Velmora(PlatformServices& services, Preferences& preferences, const QString& helpFile, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_prefs(preferences)
    , m_file(*services.files, services.prompter, preferences.options)
    , m_helpFile(helpFile)
{
    setObjectName(QStringLiteral("Velmora"));
    setWindowTitle(velmoraTitle());
    setUndoFolder(TagJournal::defaultFolder());
    m_session = new NameEditSession(m_prefs, *this, this);
    buildControls();
    buildActions();
    buildMenus();
    buildToolbars();
    bindNameEditor();
    qApp->installEventFilter(this);
    installFileDrop();
    startUp();
}

Velmora::~Velmora()
{
    qApp->removeEventFilter(this);
}

void Velmora::buildControls()
{
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("StatusText"));
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(m_status, 1);

    auto* splitter = m_splitter = new QSplitter(Qt::Horizontal);
    splitter->setObjectName(QStringLiteral("MainSplitter"));
    splitter->addWidget(buildFindFrame());
    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(buildRenameFrame(), 1);
    rightLayout->addWidget(buildTagFrame(), 1);
    splitter->addWidget(right);
    // Share width by stretch alone, so that both sides grow with the window.
    for (int i = 0; i < 2; ++i) {
        QSizePolicy policy = splitter->widget(i)->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        policy.setHorizontalStretch(i == 0 ? 2 : 3);
        splitter->widget(i)->setSizePolicy(policy);
    }
    splitter->setChildrenCollapsible(false);
    setCentralWidget(splitter);
}

QWidget* Velmora::buildFindFrame()
{
    m_findFrame = new QGroupBox(QStringLiteral("Current Directory: "));
    m_findFrame->setObjectName(QStringLiteral("FindFrame"));
    m_ftv = new FolderTree;
    m_fileTable = new FileTable;

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_ftv);
    split->addWidget(m_fileTable);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    (new QVBoxLayout(m_findFrame))->addWidget(split);
    // Tab goes from the folders to their files; the filter box comes after.
    QWidget::setTabOrder(m_ftv, m_fileTable->view());

    connect(m_ftv, &FolderTree::folderChanged, this, &Velmora::folderChanged);
    // A mouse press moves the current row first and the highlight after,
    // Tab moves only the current row: the file follows both, and loads
    // once its row is highlighted.
    connect(m_fileTable, &FileTable::selectionChanged, this, &Velmora::followSelection);
    connect(m_ftv, &FolderTree::folderVanished, this, &Velmora::folderVanished);
    connect(m_fileTable, &FileTable::activated, this, [this](int) { openFileInfo(); });
    connect(m_fileTable, &FileTable::contextMenuAt, this, &Velmora::showFileListMenu);
    connect(m_fileTable, &FileTable::folderChangedOnDisk, this, [this] {
        if (m_busy > 0)
            return; // a command of this window changes the folder itself
        // The file shown stays shown, with what was typed for it; Refresh
        // reads it again.
        m_loadingRow = true;
        m_fileTable->relist();
        m_loadingRow = false;
    });
    return m_findFrame;
}

QWidget* Velmora::buildRenameFrame()
{
    m_renameFrame = new QGroupBox(QStringLiteral("No File Selected"));
    m_renameFrame->setObjectName(QStringLiteral("RenameFrame"));

    m_oldNameLabel = new QLabel(QStringLiteral("Old Name:"));
    m_oldNameLabel->setObjectName(QStringLiteral("OldNameLabel"));
    m_oldName = new QLineEdit;
    m_oldName->setObjectName(QStringLiteral("OldName"));
    m_oldName->setReadOnly(true);
    m_oldName->setFocusPolicy(Qt::ClickFocus);
    m_newNameLabel = new QLabel(QStringLiteral("New Name:"));
    m_newNameLabel->setObjectName(QStringLiteral("NewNameLabel"));
    m_newName = new QLineEdit;
    m_newName->setObjectName(QStringLiteral("NewName"));
    m_newNameLabel->setBuddy(m_newName);

    m_editToolBar = new QToolBar(QStringLiteral("Edit"));
    m_editToolBar->setObjectName(QStringLiteral("EditToolBar"));
    m_editToolBar->setIconSize(QSize(16, 16));

    m_partsList = new PartsListView(m_session->parts());
    m_partsList->setToolTip(QStringLiteral("Double Click A Part To Add It To Or Remove It From The New Name"));

    m_formatFrame = new QGroupBox(QStringLiteral("Format Masks"));
    m_formatFrame->setObjectName(QStringLiteral("FormatFrame"));
    m_formatList = new QListWidget;
    m_formatList->setObjectName(QStringLiteral("FormatList"));
    m_syncBar = new QToolBar(QStringLiteral("Sync"));
    m_syncBar->setObjectName(QStringLiteral("SYNCBar"));
    m_syncBar->setIconSize(QSize(16, 16));
    // Four masks at least, each as wide as it is written.
    auto* masks = new WholeRows(m_formatList, 4);
    masks->setFitWidestRow(360);
    auto* formatLayout = new QVBoxLayout(m_formatFrame);
    formatLayout->addWidget(masks, 1);
    formatLayout->addWidget(m_syncBar);

    m_recordEditing = new QCheckBox(QStringLiteral("Not Recording"));
    m_recordEditing->setObjectName(QStringLiteral("RecordEditing"));
    m_editRecorded = new QLabel(QStringLiteral("Edit Recorded"));
    m_editRecorded->setObjectName(QStringLiteral("EditRecorded"));
    m_editRecorded->setToolTip(QStringLiteral("Edit Steps Are Recorded, Press F11 To Repeat Them"));
    m_editRecorded->hide();

    m_renameButton = new QPushButton(QStringLiteral("&Rename"));
    m_renameButton->setObjectName(QStringLiteral("RenameButton"));
    m_renameButton->setToolTip(QStringLiteral("Rename File And Update ID3 Tags"));
    m_renameButton->setIcon(buttonIcon(QStringLiteral("Rename")));

    auto* names = new QGridLayout;
    names->addWidget(m_oldNameLabel, 0, 0);
    names->addWidget(m_oldName, 0, 1);
    names->addWidget(m_newNameLabel, 1, 0);
    names->addWidget(m_newName, 1, 1);

    auto* record = new QHBoxLayout;
    record->addWidget(m_recordEditing);
    record->addWidget(m_editRecorded);
    record->addStretch();

    record->addWidget(m_renameButton);

    // The masks take the whole height beside the parts, and the width their
    // texts need; the parts list takes the rest.
    auto* lower = new QHBoxLayout;
    lower->addWidget(new WholeRows(m_partsList), 1);
    lower->addWidget(m_formatFrame);

    auto* layout = new QVBoxLayout(m_renameFrame);
    layout->addLayout(names);
    layout->addWidget(m_editToolBar);
    layout->addLayout(lower, 1);
    layout->addLayout(record);

    connect(m_renameButton, &QPushButton::clicked, this, &Velmora::renameFile);
    return m_renameFrame;
}

QWidget* Velmora::buildTagFrame()
{
    m_tagFrame = new QGroupBox(QStringLiteral("Internal ID3 Tags (Edit As Necessary)"));
    m_tagFrame->setObjectName(QStringLiteral("TagFrame"));
    m_id3ToolBar = new QToolBar(QStringLiteral("ID3"));
    m_id3ToolBar->setObjectName(QStringLiteral("ID3ToolBar"));
    m_id3ToolBar->setIconSize(QSize(16, 16));

    const TagPanelWidgets panel = buildTagPanel(m_tagFrame);
    m_containerPic = panel.area;
    m_scrollPic = panel.inner;
    m_containerPic->verticalScrollBar()->setObjectName(QStringLiteral("EditScroll"));
    m_containerPic->setMinimumHeight(140);
    panel.grid->setVerticalSpacing(4);
    for (int i = 0; i < kFieldCount; ++i) {
        m_boxes[size_t(i)] = panel.boxes[size_t(i)];
        m_labels[size_t(i)] = panel.labels[size_t(i)];
        auto* clear = new QToolButton(m_scrollPic);
        clear->setObjectName(QStringLiteral("ClrImg%1").arg(i));
        clear->setProperty("box", QString::fromLatin1(fieldInfo(i).boxName));
        clear->setToolTip(clearTip(i));
        clear->setIcon(buttonIcon(QStringLiteral("ClrImg")));
        clear->setAutoRaise(true);
        clear->setFocusPolicy(Qt::NoFocus);
        connect(clear, &QToolButton::clicked, this, [this, i] { clearField(i); });
        panel.grid->addWidget(clear, i, 2);
        m_clearButtons[size_t(i)] = clear;
    }
    panel.grid->setRowStretch(kFieldCount, 1);
    // Once every field shows, more height is of no use here.
    m_containerPic->setMaximumHeight(m_scrollPic->sizeHint().height() + 2 * m_containerPic->frameWidth());

    m_tagPanel = new TagPanel(this);
    m_tagPanel->initBoxes(m_scrollPic);
    m_tagPanel->setStepSink([this](const QString& step) { m_session->recordStep(step); });
    TagPanel::PartDrop drop;
    drop.dragging = [this] { return isActiveWindow() && m_session->parts().partDragging(); };
    drop.part = [this] { return m_session->parts().selectedPart(); };
    drop.finish = [this] { m_session->parts().setPartDragging(false); };
    drop.rebuild = [this] { m_session->rebuildPartsList(); };
    m_tagPanel->setPartDrop(std::move(drop));

    // The pictures go into the file with the boxes, at Save.
    m_coverPane = new CoverPane(m_services);
    connect(m_coverPane, &CoverPane::picturesEdited, this,
        [this](const QList<CoverPicture>& pictures) { m_file.setPendingPictures(pictures); });
    connect(m_coverPane, &CoverPane::coverForAllRequested, this,
        [this](const CoverPicture& picture) { changeManyCovers(picture); });
    connect(m_coverPane, &CoverPane::removeAllRequested, this, [this] { changeManyCovers(std::nullopt); });

    // Scrolled like the boxes, so that the window's smallest size stays.
    auto* coverArea = new QScrollArea;
    coverArea->setObjectName(QStringLiteral("CoverArea"));
    coverArea->setWidget(m_coverPane);
    coverArea->setWidgetResizable(true);
    coverArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    coverArea->setFrameShape(QFrame::NoFrame);
    coverArea->setMinimumHeight(m_containerPic->minimumHeight());
    coverArea->setFixedWidth(m_coverPane->sizeHint().width() + coverArea->verticalScrollBar()->sizeHint().width());
    auto* boxesAndCover = new QHBoxLayout;
    boxesAndCover->addWidget(m_containerPic, 1);
    boxesAndCover->addWidget(coverArea);
    auto* layout = new QVBoxLayout(m_tagFrame);
    layout->addWidget(m_id3ToolBar);
    layout->addLayout(boxesAndCover, 1);
    return m_tagFrame;
}

QString Velmora::fieldText(FieldId field) const
{
    return m_tagPanel->text(field);
}

bool Velmora::setFieldText(FieldId field, const QString& text)
{
    m_tagPanel->setText(field, text);
    return m_tagPanel->text(field) == text;
}

void Velmora::setRenameEnabled(bool enabled)
{
    m_renameButton->setEnabled(enabled);
}

void Velmora::focusNewName()
{
    m_newName->setFocus(Qt::OtherFocusReason);
}

void Velmora::setStatusText(const QString& text)
{
    m_status->setText(text);
    m_status->repaint();
}

QString Velmora::statusText() const
{
    return m_status->text();
}

void Velmora::setUndoFolder(const QString& folder)
{
    m_undoFolder = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    m_file.setJournal(TagJournal::tagSaveJournal(m_undoFolder));
}

QString Velmora::folder() const
{
    return m_ftv->path();
}
