// The name editor's controls (NewName, PartsList, FormatList, RecordEditing)
// bound to the editing engine, and the window-level keys.
#include "velmora.h"

#include "tagedit/ui/filetable.h"

#include <QToolButton>

#include "partslistview.h"

#include "nameedit/nameeditsession.h"
#include "platform/platformservices.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>

void Velmora::bindNameEditor()
{
    NameEditor& editor = m_session->editor();
    connect(&editor, &NameEditor::textChanged, this, &Velmora::showNameFromModel);
    connect(&editor, &NameEditor::cursorChanged, this, &Velmora::showNameFromModel);
    connect(m_newName, &QLineEdit::textEdited, this, &Velmora::takeNameFromBox);
    const auto takeCursor = [this] {
        if (m_showingName)
            return;
        if (m_newName->hasSelectedText())
            m_session->editor().setSelection(m_newName->selectionStart(), int(m_newName->selectedText().size()));
        else
            m_session->editor().setCursor(m_newName->cursorPosition());
    };
    connect(m_newName, &QLineEdit::cursorPositionChanged, this, takeCursor);
    connect(m_newName, &QLineEdit::selectionChanged, this, takeCursor);
    m_newName->installEventFilter(this);

    PartsList& parts = m_session->parts();
    connect(&parts, &PartsList::entriesChanged, this, &Velmora::showParts);
    connect(&parts, &PartsList::currentIndexChanged, this, &Velmora::showParts);
    connect(m_partsList, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) {
        m_session->parts().setCurrentIndex(m_partsList->row(item));
        m_session->selectPart();
    });
    connect(m_partsList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_session->parts().setCurrentIndex(m_partsList->row(item));
        m_session->togglePart();
    });

    FormatList& formats = m_session->formats();
    connect(&formats, &FormatList::masksChanged, this, &Velmora::showFormats);
    connect(&formats, &FormatList::currentIndexChanged, this, &Velmora::showFormats);
    connect(m_formatList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_showingName && row >= 0)
            m_session->formatListClicked(row);
    });

    connect(m_recordEditing, &QCheckBox::toggled, this, [this](bool on) {
        if (on != m_session->recorder().recordingEdits())
            m_session->setRecording(on);
    });
    connect(&m_session->recorder(), &StepRecorder::recordingChanged, this, &Velmora::showRecording);
    showRecording();
}

void Velmora::showNameFromModel()
{
    const NameEditor& editor = m_session->editor();
    m_showingName = true;
    if (m_newName->text() != editor.text())
        m_newName->setText(editor.text());
    if (editor.selectionLength() > 0)
        m_newName->setSelection(editor.cursor(), editor.selectionLength());
    else
        m_newName->setCursorPosition(editor.cursor());
    m_showingName = false;
}

void Velmora::takeNameFromBox()
{
    // Edits the engine does not see key by key (paste, undo): take the text.
    const int cursor = m_newName->cursorPosition();
    m_session->editor().setText(m_newName->text());
    m_session->editor().setCursor(cursor);
}

void Velmora::showParts()
{
    const PartsList& parts = m_session->parts();
    m_showingName = true;
    if (m_partsList->count() != parts.count()) {
        m_partsList->clear();
        m_partsList->addItems(parts.entries());
    } else {
        for (int i = 0; i < parts.count(); ++i)
            m_partsList->item(i)->setText(parts.at(i));
    }
    m_partsList->setCurrentRow(parts.currentIndex());
    m_showingName = false;
}

void Velmora::showFormats()
{
    const FormatList& formats = m_session->formats();
    m_showingName = true;
    QStringList shown;
    for (int i = 0; i < m_formatList->count(); ++i)
        shown << m_formatList->item(i)->text();
    if (shown != formats.masks()) {
        m_formatList->clear();
        m_formatList->addItems(formats.masks());
    }
    m_formatList->setCurrentRow(formats.currentIndex());
    m_showingName = false;
}

void Velmora::showRecording()
{
    const RecordingIndicator state = m_session->recorder().indicator();
    const QSignalBlocker block(m_recordEditing);
    m_recordEditing->setChecked(state.checked);
    m_recordEditing->setText(state.caption);
    m_recordEditing->setToolTip(state.toolTip);
    QPalette palette = m_recordEditing->palette();
    palette.setColor(QPalette::WindowText, QColor(state.red, state.green, state.blue));
    m_recordEditing->setPalette(palette);
    m_editRecorded->setVisible(state.editRecordedVisible);
}

void Velmora::editCommand(EditCommand command)
{
    NameEditSession& s = *m_session;
    switch (command) {
    case EditCommand::UpperCase:
        s.caseFileName(NameCase::Upper);
        break;
    case EditCommand::LowerCase:
        s.caseFileName(NameCase::Lower);
        break;
    case EditCommand::TitleCase:
        s.caseFileName(NameCase::Title);
        break;
    case EditCommand::Parens:
        s.addRemoveParenthesis();
        break;
    case EditCommand::Periods:
        s.removePeriods();
        break;
    case EditCommand::InsertSDS:
        s.insertSDS();
        break;
    case EditCommand::RemoveSDS:
        s.removeSDS();
        break;
    case EditCommand::RepeatEdit:
        s.repeatEdit();
        break;
    case EditCommand::NameFromTags:
        s.syncWithInternals();
        break;
    case EditCommand::TagsFromName:
        s.updateInternal();
        break;
    case EditCommand::RemoveFormat:
        s.removeFormat(*m_services.prompter);
        break;
    }
}

QList<Velmora::WindowKey> Velmora::windowKeys()
{
    return {
        { QKeySequence(Qt::Key_F2), { "UC", nullptr } },
        { QKeySequence(Qt::Key_F3), { "LC", nullptr } },
        { QKeySequence(Qt::Key_F4), { "TC", nullptr } },
        { QKeySequence(Qt::Key_F5), { "mnuInsertSDS", nullptr } },
        { QKeySequence(Qt::Key_F6), { "mnuRemoveSDS", nullptr } },
        { QKeySequence(Qt::Key_F7), { "SBSync", nullptr } },
        { QKeySequence(Qt::Key_F8), { "mnuRefreshTags", "mnuRefreshTags2" } },
        { QKeySequence(Qt::Key_F9), { "Parens", nullptr } },
        { QKeySequence(Qt::Key_F10), { "Periods", nullptr } },
        { QKeySequence(Qt::Key_F11), { "RepeatEdit", nullptr } },
        { QKeySequence(Qt::Key_F12), { "mnuPlayFile", "mnuPlayFile2" } },
        { QKeySequence(Qt::CTRL | Qt::Key_F2), { "Sync", nullptr } },
    };
}

bool Velmora::handleWindowKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers mods = modifiers & ~Qt::KeypadModifier;
    if (key == Qt::Key_F2 && mods == Qt::ControlModifier) {
        editCommand(EditCommand::NameFromTags);
        return true;
    }
    if (mods != Qt::NoModifier)
        return false;
    switch (key) {
    case Qt::Key_F2:
        editCommand(EditCommand::UpperCase);
        return true;
    case Qt::Key_F3:
        editCommand(EditCommand::LowerCase);
        return true;
    case Qt::Key_F4:
        editCommand(EditCommand::TitleCase);
        return true;
    case Qt::Key_F5:
        editCommand(EditCommand::InsertSDS);
        return true;
    case Qt::Key_F6:
        editCommand(EditCommand::RemoveSDS);
        return true;
    case Qt::Key_F7:
        editCommand(EditCommand::TagsFromName);
        return true;
    case Qt::Key_F8:
        refreshTags();
        return true;
    case Qt::Key_F9:
        editCommand(EditCommand::Parens);
        return true;
    case Qt::Key_F10:
        editCommand(EditCommand::Periods);
        return true;
    case Qt::Key_F11:
        editCommand(EditCommand::RepeatEdit);
        return true;
    case Qt::Key_F12:
        playFile();
        return true;
    case Qt::Key_Up:
        selectFile(ListStep::Up);
        return true;
    case Qt::Key_Down:
        selectFile(ListStep::Down);
        return true;
    case Qt::Key_PageUp:
        selectFile(ListStep::First);
        return true;
    case Qt::Key_PageDown:
        selectFile(ListStep::Last);
        return true;
    default:
        return false;
    }
}

namespace {

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

} // namespace

bool Velmora::eventFilter(QObject* watched, QEvent* event)
{
    // Input that reaches this window in the middle of a command (a prompt's
    // own event loop delivers it) is dropped, as a modal prompt would.
    // A run's Stop button is the one control that answers.
    if (m_busy > 0 && isUserInput(event->type()) && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this && watched != m_fileTable->stopButton())
        return true;
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (handleWindowKey(key->key(), key->modifiers()))
            return true;
    }
    if (watched == m_newName)
        return handleNewNameEvent(event);
    return QMainWindow::eventFilter(watched, event);
}

bool Velmora::handleNewNameEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        // The box has placed the cursor (or a selection) by now.
        if (!m_newName->hasSelectedText())
            m_session->cursorClicked(m_newName->cursorPosition());
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
        m_session->undoName();
        return true;
    }
    if (key->matches(QKeySequence::Redo) || (z && mods == (Qt::ControlModifier | Qt::ShiftModifier))) {
        m_session->redoName();
        return true;
    }
    if (mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // copy, paste: the box does them, takeNameFromBox follows
    const bool shift = mods & Qt::ShiftModifier;
    switch (key->key()) {
    case Qt::Key_Backspace:
        m_session->specialKey(NameKey::BackSpace);
        return true;
    case Qt::Key_Delete:
        m_session->specialKey(NameKey::Delete);
        return true;
    case Qt::Key_Insert:
        m_session->specialKey(NameKey::Insert);
        return true;
    case Qt::Key_Left:
        if (shift)
            return false;
        m_session->specialKey(NameKey::Left);
        return true;
    case Qt::Key_Right:
        if (shift)
            return false;
        m_session->specialKey(NameKey::Right);
        return true;
    case Qt::Key_Home:
        if (shift)
            return false;
        m_session->specialKey(NameKey::Home);
        return true;
    case Qt::Key_End:
        if (shift)
            return false;
        m_session->specialKey(NameKey::End);
        return true;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty() || text.at(0).unicode() < 32 || text.at(0).unicode() == 127)
        return false;
    m_session->keyPress(text);
    return true;
}
