#pragma once

#include "nameedit/formatlist.h"
#include "nameedit/nameeditor.h"
#include "nameedit/nameparts.h"
#include "nameedit/partslist.h"
#include "nameedit/steprecorder.h"
#include "settings/options.h"

#include <QList>
#include <QObject>
#include <QString>

struct CleanupRules;
class NameEditHost;
class Preferences;
class Prompter;

// Keys of the new-name box that are recorded as "SpecialKey" steps.
enum class NameKey { BackSpace, Delete, Left, Right, Home, End, Insert };

// The name editing engine for the selected file: the new name, its parts,
// the format masks, the step recorder and every editing command, without a
// window. Options are read from prefs at each call (they may be reloaded).
// Status texts, field texts and the rename button go through host.
// While SyncOption is NameToTags, every change of the new name runs updateInternal.
// Every change of the new name is kept for undoName and redoName; a command
// that changes it in several steps (InsertSDS, RemoveSDS, a replay) is one.
class NameEditSession final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NameEditSession)

public:
    NameEditSession(Preferences& prefs, NameEditHost& host, QObject* parent = nullptr);

    NameEditor& editor() { return m_editor; }
    PartsList& parts() { return m_parts; }
    StepRecorder& recorder() { return m_recorder; }
    FormatList& formats() { return m_formats; }
    const NameEditor& editor() const { return m_editor; }
    const PartsList& parts() const { return m_parts; }
    const StepRecorder& recorder() const { return m_recorder; }
    const FormatList& formats() const { return m_formats; }

    CleanupRules cleanupRules() const;

    // --- parts model
    // A file was selected: the parts of its cleaned, re-cased name become the
    // list and the new name is rebuilt from them with the separator + the
    // file's extension (nameExtension), which every later command keeps.
    void loadNameParts(const QString& fileName);
    // Offers one candidate part (cleaned; blanks, "0" and case-insensitive
    // duplicates are not added).
    void addPart(const QString& text);
    // Offers the current folder's name (split at dashes).
    void addFolderParts();
    // The list from the new name, the tag fields (Unique Key excepted) and the folder.
    void rebuildPartsList();
    // Double click on the current entry: removes it from the name or adds it.
    void togglePart();
    // Single click: selectedPart := the current entry, trimmed.
    void selectPart();
    // Index of the part under the cursor, -1 for none.
    int partAtCursor() const;

    // --- casing and cleanup commands
    void caseFileName(NameCase nameCase); // Unchanged does nothing
    void removePeriods();
    void insertSDS();
    void removeSDS();
    void addRemoveParenthesis();

    // --- masks (both use the current mask of formats())
    // New name from the tag fields; nothing when no mask is current.
    void syncWithInternals();
    // Tag fields from the new name; a field that refuses its text is skipped.
    void updateInternal();
    // After a file selection: updateInternal for NameToTags,
    // syncWithInternals for TagsToName, nothing for None.
    void autoSync();
    // A click on FormatList (or a selection by the program).
    void formatListClicked(int index);
    void loadFormats();
    void saveFormats();
    // The SBDelete button: asks, removes, then selects entry 0 as a click.
    void removeFormat(Prompter& prompter);

    // --- recording and replay
    void recordStep(const QString& step) { m_recorder.recordStep(step); }
    // Ticking / unticking RecordEditing.
    void setRecording(bool on) { m_recorder.setRecording(on); }
    // F11: stops recording, then replays.
    void repeatEdit();
    // Replays editSteps on the current name.
    void replaySteps();
    // Runs one step as replay does (without the parts list rebuild).
    void runStep(const QString& step);

    // --- the user working in the new-name box (recorded while recording)
    // A typed character (other than BackSpace): "KeyPress:" + character.
    void keyPress(const QString& character);
    // A special key: "SpecialKey:{BackSpace}", "{DELETE}", "{LEFT}", ...
    void specialKey(NameKey key);
    // A mouse press that put the cursor at position: "CursorPosition:" + n.
    void cursorClicked(int position);

    // --- undo and redo of the new name
    // Back to the text (and cursor) before the last change, or forward
    // again; the parts list is rebuilt after each. False when there is
    // nothing to go back or forward to. Not recorded as steps.
    bool undoName();
    bool redoName();
    bool canUndoName() const { return !m_undo.isEmpty(); }
    bool canRedoName() const { return !m_redo.isEmpty(); }
    // Forgets the name's history: the name as it is now is the start. Loading
    // a file's name parts does this too.
    void resetNameHistory();

private:
    struct NameState {
        QString text;
        int cursor = 0;
    };
    // Changes of the name while one lives are one step of its history.
    class NameEditGroup {
    public:
        explicit NameEditGroup(NameEditSession& s);
        ~NameEditGroup();
        NameEditGroup(const NameEditGroup&) = delete;
        NameEditGroup& operator=(const NameEditGroup&) = delete;

    private:
        NameEditSession& m_session;
    };

    void nameTextChanged();
    void trackNameChange();
    void applyName(const NameState& state);

    Preferences& m_prefs;
    NameEditHost& m_host;
    NameEditor m_editor;
    PartsList m_parts;
    StepRecorder m_recorder;
    FormatList m_formats;
    QString m_extension = nameExtension(QString()); // of the loaded file
    bool m_updatingInternal = false;
    QList<NameState> m_undo;
    QList<NameState> m_redo;
    NameState m_shown; // the name as it was after the last change
    int m_groupDepth = 0;
    bool m_groupKept = false; // the open group's start is on m_undo
    bool m_applyingHistory = false;
};
