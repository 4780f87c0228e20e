#pragma once

#include "settings/filterstore.h"

#include <QDialog>

class Preferences;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
struct PlatformServices;

// The filter editor. It works on a copy of the stored filters: only Exit
// writes the list and both flags back (and reloads prefs.filters); any
// other way of closing forgets the changes. Questions and messages go
// through services.prompter.
class FilterForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FilterForm)

public:
    FilterForm(PlatformServices& services, Preferences& prefs, QWidget* parent = nullptr);

    // Fills the list and the two boxes from the store.
    void loadFilterList();
    // Writes the list and the boxes to the store and reloads the filters.
    void saveFilterList();

private:
    void addClicked();
    void deleteClicked();
    void exitClicked();

    PlatformServices& m_services;
    Preferences& m_prefs;
    FilterList m_filters; // one record per FilterList entry, same order

    QLineEdit* m_searchText = nullptr;
    QLineEdit* m_replaceText = nullptr;
    QListWidget* m_filterList = nullptr;
    QCheckBox* m_enableFilters = nullptr;
    QCheckBox* m_filterCase = nullptr;
};
