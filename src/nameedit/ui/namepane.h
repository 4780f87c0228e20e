#pragma once

#include <QGroupBox>

class NameEditSession;
class PartsListView;
class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolBar;

// The name editor ("RenameFrame"): the old and new name, the parts list, the
// format masks, the recording switch and the Rename button, bound to a name
// editing session. What the user types, clicks and presses in them goes to
// the session; what the session changes shows. Keys of the whole window
// (function keys, moving through the files) are the window's: it sees them
// first.
class NamePane final : public QGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NamePane)

public:
    // The name commands of the edit toolbar, the sync bar and the keys.
    enum class Command {
        UpperCase,
        LowerCase,
        TitleCase,
        Parens,
        Periods,
        InsertSDS,
        RemoveSDS,
        RepeatEdit,
        NameFromTags,
        TagsFromName,
        RemoveFormat,
    };

    // session and prompter must outlive the pane.
    NamePane(NameEditSession& session, Prompter& prompter, QWidget* parent = nullptr);

    void run(Command command);
    // Shows the session's masks and recording state again (after they were
    // loaded or changed elsewhere).
    void showFormats();
    void showRecording();
    // With a file: every control on. Without: off, and the name, its parts
    // and its history emptied.
    void setFileControlsEnabled(bool enabled);

    QLineEdit* oldName() const { return m_oldName; }
    QLineEdit* newName() const { return m_newName; }
    PartsListView* partsList() const { return m_partsList; }
    QListWidget* formatList() const { return m_formatList; }
    QCheckBox* recordEditing() const { return m_recordEditing; }
    QPushButton* renameButton() const { return m_renameButton; }
    // Empty toolbars for the window's name commands.
    QToolBar* editBar() const { return m_editBar; }
    QToolBar* syncBar() const { return m_syncBar; }

signals:
    void renameRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void bind();
    void showName();
    void takeNameFromBox();
    void showParts();
    bool handleNewNameEvent(QEvent* event);

    NameEditSession& m_session;
    Prompter& m_prompter;
    // While the pane writes the session's state into its controls: their
    // change signals are not the user's.
    bool m_showing = false;

    QLineEdit* m_oldName = nullptr;
    QLineEdit* m_newName = nullptr;
    QLabel* m_oldNameLabel = nullptr;
    QLabel* m_newNameLabel = nullptr;
    PartsListView* m_partsList = nullptr;
    QGroupBox* m_formatFrame = nullptr;
    QListWidget* m_formatList = nullptr;
    QCheckBox* m_recordEditing = nullptr;
    QLabel* m_editRecorded = nullptr;
    QPushButton* m_renameButton = nullptr;
    QToolBar* m_editBar = nullptr;
    QToolBar* m_syncBar = nullptr;
};
