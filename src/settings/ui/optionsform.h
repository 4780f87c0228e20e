#pragma once

#include <QDialog>

#include <functional>

class FormatList;
class Preferences;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTabBar;
struct PlatformServices;
enum class NameCase;

// The options dialog: the automation options on one page, the composition
// of a new format mask from the tag fields (and the filter editor) on the
// other. Only applyOptions (Apply, Save & Exit) writes to the store; it then
// reloads prefs.options. A composed mask goes into `formats` (the main
// window's list, not owned); formatsChanged, when set, is called after the
// dialog changed that list or its current entry. Closing the dialog in any
// way makes the list's first entry current.
class OptionsForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionsForm)

public:
    OptionsForm(PlatformServices& services, Preferences& prefs, FormatList& formats,
        std::function<void()> formatsChanged = {}, QWidget* parent = nullptr);

    // CurrentFormat := the selected fields joined with the separator of the
    // options last loaded, plus ".mp3"; "" when no field is selected.
    void composeFormat();
    // Stores every option, adds (or selects) the composed mask, reloads the
    // in-memory options.
    void applyOptions();

    void done(int result) override;

private:
    void tabChanged(int index);
    void addOne();
    void removeOne();
    void addAll();
    void removeAll();
    void applyClicked();
    void saveExitClicked();
    void defineFilters();
    void enableApply();
    void setControlsFromOptions();
    QAbstractButton* caseButton(NameCase nameCase) const;
    // Runs a handler; an exception escaping it goes to reportError.
    template <typename F> void guarded(int line, F&& handler);

    PlatformServices& m_services;
    Preferences& m_prefs;
    FormatList& m_formats;
    std::function<void()> m_formatsChanged;

    QTabBar* m_optFrame = nullptr;
    QFrame* m_autoFrame = nullptr;
    QFrame* m_formatFrame = nullptr;
    QStackedWidget* m_pages = nullptr;
    QButtonGroup* m_id3Save = nullptr; // ids 0 and 1
    QButtonGroup* m_syncOption = nullptr; // ids: the SyncMode numbers 0, 1, 2
    QButtonGroup* m_case = nullptr; // TitleCase, UpperCase, LowerCase, UnchangedCase
    QAbstractButton* m_titleCase = nullptr;
    QAbstractButton* m_upperCase = nullptr;
    QAbstractButton* m_lowerCase = nullptr;
    QAbstractButton* m_unchangedCase = nullptr;
    QCheckBox* m_useFormattedTrack = nullptr;
    QCheckBox* m_removeUnderScores = nullptr;
    QCheckBox* m_removeParens = nullptr;
    QCheckBox* m_sepPad = nullptr;
    QCheckBox* m_keepFileTimes = nullptr;
    QCheckBox* m_mp3FilesOnly = nullptr;
    QListWidget* m_validFields = nullptr;
    QListWidget* m_selectedFields = nullptr;
    QLineEdit* m_currentFormat = nullptr;
    QPushButton* m_applyButton = nullptr;
};
