#include "namepane.h"

#include "partslistview.h"

#include "nameedit/nameeditsession.h"
#include "platform/ui/wholerows.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

NamePane::NamePane(NameEditSession& session, Prompter& prompter, QWidget* parent)
    : QGroupBox(parent)
    , m_session(session)
    , m_prompter(prompter)
{
    build();
    bind();
}

void NamePane::build()
{
    setTitle(QStringLiteral("No File Selected"));
    setObjectName(QStringLiteral("RenameFrame"));

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

    m_editBar = new QToolBar(QStringLiteral("Edit"));
    m_editBar->setObjectName(QStringLiteral("EditToolBar"));
    m_editBar->setIconSize(QSize(16, 16));

    m_partsList = new PartsListView(m_session.parts());
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

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(names);
    layout->addWidget(m_editBar);
    layout->addLayout(lower, 1);
    layout->addLayout(record);

    connect(m_renameButton, &QPushButton::clicked, this, &NamePane::renameRequested);
}

void NamePane::bind()
{
    NameEditor& editor = m_session.editor();
    connect(&editor, &NameEditor::textChanged, this, &NamePane::showName);
    connect(&editor, &NameEditor::cursorChanged, this, &NamePane::showName);
    connect(m_newName, &QLineEdit::textEdited, this, &NamePane::takeNameFromBox);
    const auto takeCursor = [this] {
        if (m_showing)
            return;
        if (m_newName->hasSelectedText())
            m_session.editor().setSelection(m_newName->selectionStart(), int(m_newName->selectedText().size()));
        else
            m_session.editor().setCursor(m_newName->cursorPosition());
    };
    connect(m_newName, &QLineEdit::cursorPositionChanged, this, takeCursor);
    connect(m_newName, &QLineEdit::selectionChanged, this, takeCursor);
    m_newName->installEventFilter(this);

    PartsList& parts = m_session.parts();
    connect(&parts, &PartsList::entriesChanged, this, &NamePane::showParts);
    connect(&parts, &PartsList::currentIndexChanged, this, &NamePane::showParts);
    connect(m_partsList, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) {
        m_session.parts().setCurrentIndex(m_partsList->row(item));
        m_session.selectPart();
    });
    connect(m_partsList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_session.parts().setCurrentIndex(m_partsList->row(item));
        m_session.togglePart();
    });

    FormatList& formats = m_session.formats();
    connect(&formats, &FormatList::masksChanged, this, &NamePane::showFormats);
    connect(&formats, &FormatList::currentIndexChanged, this, &NamePane::showFormats);
    connect(m_formatList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_showing && row >= 0)
            m_session.formatListClicked(row);
    });

    connect(m_recordEditing, &QCheckBox::toggled, this, [this](bool on) {
        if (on != m_session.recorder().recordingEdits())
            m_session.setRecording(on);
    });
    connect(&m_session.recorder(), &StepRecorder::recordingChanged, this, &NamePane::showRecording);
    showRecording();
}

void NamePane::showName()
{
    const NameEditor& editor = m_session.editor();
    m_showing = true;
    if (m_newName->text() != editor.text())
        m_newName->setText(editor.text());
    if (editor.selectionLength() > 0)
        m_newName->setSelection(editor.cursor(), editor.selectionLength());
    else
        m_newName->setCursorPosition(editor.cursor());
    m_showing = false;
}

void NamePane::takeNameFromBox()
{
    // Edits the engine does not see key by key (paste, undo): take the text.
    const int cursor = m_newName->cursorPosition();
    m_session.editor().setText(m_newName->text());
    m_session.editor().setCursor(cursor);
}

void NamePane::showParts()
{
    const PartsList& parts = m_session.parts();
    m_showing = true;
    if (m_partsList->count() != parts.count()) {
        m_partsList->clear();
        m_partsList->addItems(parts.entries());
    } else {
        for (int i = 0; i < parts.count(); ++i)
            m_partsList->item(i)->setText(parts.at(i));
    }
    m_partsList->setCurrentRow(parts.currentIndex());
    m_showing = false;
}

void NamePane::showFormats()
{
    const FormatList& formats = m_session.formats();
    m_showing = true;
    QStringList shown;
    for (int i = 0; i < m_formatList->count(); ++i)
        shown << m_formatList->item(i)->text();
    if (shown != formats.masks()) {
        m_formatList->clear();
        m_formatList->addItems(formats.masks());
    }
    m_formatList->setCurrentRow(formats.currentIndex());
    m_showing = false;
}

void NamePane::showRecording()
{
    const RecordingIndicator state = m_session.recorder().indicator();
    const QSignalBlocker block(m_recordEditing);
    m_recordEditing->setChecked(state.checked);
    m_recordEditing->setText(state.caption);
    m_recordEditing->setToolTip(state.toolTip);
    QPalette palette = m_recordEditing->palette();
    palette.setColor(QPalette::WindowText, QColor(state.red, state.green, state.blue));
    m_recordEditing->setPalette(palette);
    m_editRecorded->setVisible(state.editRecordedVisible);
}

void NamePane::run(Command command)
{
    NameEditSession& s = m_session;
    switch (command) {
    case Command::UpperCase:
        s.caseFileName(NameCase::Upper);
        break;
    case Command::LowerCase:
        s.caseFileName(NameCase::Lower);
        break;
    case Command::TitleCase:
        s.caseFileName(NameCase::Title);
        break;
    case Command::Parens:
        s.addRemoveParenthesis();
        break;
    case Command::Periods:
        s.removePeriods();
        break;
    case Command::InsertSDS:
        s.insertSDS();
        break;
    case Command::RemoveSDS:
        s.removeSDS();
        break;
    case Command::RepeatEdit:
        s.repeatEdit();
        break;
    case Command::NameFromTags:
        s.syncWithInternals();
        break;
    case Command::TagsFromName:
        s.updateInternal();
        break;
    case Command::RemoveFormat:
        s.removeFormat(m_prompter);
        break;
    }
}

bool NamePane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_newName)
        return handleNewNameEvent(event);
    return QGroupBox::eventFilter(watched, event);
}

bool NamePane::handleNewNameEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        // The box has placed the cursor (or a selection) by now.
        if (!m_newName->hasSelectedText())
            m_session.cursorClicked(m_newName->cursorPosition());
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // The box's own history is lost at every change the engine writes back:
    // the engine keeps the name's history instead.
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool z = key->key() == Qt::Key_Z;
    if (key->matches(QKeySequence::Undo) || (z && mods == Qt::ControlModifier)) {
        m_session.undoName();
        return true;
    }
    if (key->matches(QKeySequence::Redo) || (z && mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        m_session.redoName();
        return true;
    }
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // copy, paste: the box does them, takeNameFromBox follows
    const bool shift = mods & Qt::ShiftModifier;
    // Left, Right, Home and End with Shift select in the box itself.
    const struct {
        int key;
        NameKey name;
        bool shiftSelects;
    } keys[] = {
        { Qt::Key_Backspace, NameKey::BackSpace, false },
        { Qt::Key_Delete, NameKey::Delete, false },
        { Qt::Key_Insert, NameKey::Insert, false },
        { Qt::Key_Left, NameKey::Left, true },
        { Qt::Key_Right, NameKey::Right, true },
        { Qt::Key_Home, NameKey::Home, true },
        { Qt::Key_End, NameKey::End, true },
    };
    for (const auto& k : keys) {
        if (key->key() != k.key)
            continue;
        if (shift && k.shiftSelects)
            return false;
        m_session.specialKey(k.name);
        return true;
    }
    const QString text = key->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return false;
    m_session.keyPress(text);
    return true;
}

void NamePane::setFileControlsEnabled(bool enabled)
{
    for (QToolBar* bar : { m_editBar, m_syncBar })
        for (QAction* action : bar->actions())
            action->setEnabled(enabled);
    const QList<QWidget*> controls { m_recordEditing, m_partsList, m_newName, m_renameButton, m_oldNameLabel,
        m_newNameLabel, m_formatList, m_formatFrame };
    for (QWidget* w : controls)
        w->setEnabled(enabled);
    if (!enabled) {
        m_session.parts().clear();
        m_session.editor().setText(QString());
        m_session.resetNameHistory();
        setTitle(QStringLiteral("No File Selected"));
    }
}
