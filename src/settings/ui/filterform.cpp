#include "filterform.h"

#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "settings/preferences.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("Velmora");

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QString& tip)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}
} // namespace

FilterForm::FilterForm(PlatformServices& services, Preferences& prefs, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_prefs(prefs)
{
    setObjectName(QStringLiteral("FilterForm"));
    setWindowTitle(QStringLiteral("Velmora - Filters Definition "));
    setModal(true);

    auto* defineFrame = new QGroupBox(QStringLiteral("Define New Filter"), this);
    m_searchText = new QLineEdit(defineFrame);
    m_searchText->setObjectName(QStringLiteral("SearchText"));
    m_searchText->setMaxLength(1);
    m_searchText->setToolTip(QStringLiteral("Specify One Character To Search For"));
    m_replaceText = new QLineEdit(defineFrame);
    m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
    m_replaceText->setMaxLength(1);
    m_replaceText->setToolTip(
        QStringLiteral("Specify One Replacement Character, Or Leave Blank To Delete Search Character"));
    auto* addButton
        = makeButton(defineFrame, "AddButton", QStringLiteral("&Add"), QStringLiteral("Add Filter To List"));
    auto* defineGrid = new QGridLayout(defineFrame);
    defineGrid->addWidget(new QLabel(QStringLiteral("When A Filename Contains =>"), defineFrame), 0, 0);
    defineGrid->addWidget(m_searchText, 0, 1);
    defineGrid->addWidget(new QLabel(QStringLiteral("Change It To =>"), defineFrame), 1, 0);
    defineGrid->addWidget(m_replaceText, 1, 1);
    defineGrid->addWidget(addButton, 0, 2, 2, 1);

    auto* listFrame = new QGroupBox(QStringLiteral("Currently Defined Filters"), this);
    m_filterList = new QListWidget(listFrame);
    m_filterList->setObjectName(QStringLiteral("FilterList"));
    m_filterList->setToolTip(QStringLiteral("Currently Defined Filters"));
    auto* deleteButton = makeButton(
        listFrame, "DeleteButton", QStringLiteral("&Delete"), QStringLiteral("Delete Selected Filter From List"));
    auto* listLayout = new QVBoxLayout(listFrame);
    listLayout->addWidget(m_filterList);
    listLayout->addWidget(deleteButton, 0, Qt::AlignRight);

    m_enableFilters = new QCheckBox(QStringLiteral("Enable Filter Processing"), this);
    m_enableFilters->setObjectName(QStringLiteral("EnableFilters"));
    m_enableFilters->setToolTip(QStringLiteral("Use Defined Filters When Renaming All Files"));
    m_filterCase = new QCheckBox(QStringLiteral("Case Sensitive"), this);
    m_filterCase->setObjectName(QStringLiteral("FilterCase"));
    m_filterCase->setToolTip(QStringLiteral("All Replacements Are Case Sensitive"));
    auto* exitButton
        = makeButton(this, "ExitButton", QStringLiteral("E&xit"), QStringLiteral("Exit Filter Definitions"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_enableFilters);
    bottom->addWidget(m_filterCase);
    bottom->addStretch();
    bottom->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(defineFrame);
    layout->addWidget(listFrame, 1);
    layout->addLayout(bottom);

    connect(addButton, &QPushButton::clicked, this, &FilterForm::addClicked);
    connect(deleteButton, &QPushButton::clicked, this, &FilterForm::deleteClicked);
    connect(exitButton, &QPushButton::clicked, this, &FilterForm::exitClicked);

    loadFilterList();
}

void FilterForm::loadFilterList()
{
    const FilterEditorState state = ::loadFilterList(m_prefs.store);
    m_filters = state.filters;
    m_filterList->clear();
    for (const FilterRecord& r : m_filters)
        m_filterList->addItem(filterDisplayText(r));
    m_enableFilters->setChecked(state.enableFilters);
    m_filterCase->setChecked(state.filterCase);
}

void FilterForm::saveFilterList()
{
    ::saveFilterList(m_prefs, { m_filters, m_enableFilters->isChecked(), m_filterCase->isChecked() });
}

void FilterForm::addClicked()
{
    const QString s = m_searchText->text();
    const QString r = m_replaceText->text();
    const FilterCheck check = checkNewFilter(s, r);
    if (check != FilterCheck::Ok) {
        m_services.prompter->message(kTitle, filterCheckMessage(check), MsgIcon::Exclamation);
    } else {
        const FilterRecord filter = makeFilter(s, r);
        if (addFilterOnce(m_filters, filter))
            m_filterList->addItem(filterDisplayText(filter));
    }
    m_searchText->clear();
    m_replaceText->clear();
    m_searchText->setFocus();
}

void FilterForm::deleteClicked()
{
    const int row = m_filterList->currentRow();
    if (m_filterList->count() == 0 || row < 0 || !m_filterList->item(row)->isSelected())
        return;
    const QString entry = m_filterList->item(row)->text();
    if (trimSpaces(entry).isEmpty())
        return;
    if (m_services.prompter->askYesNo(
            kTitle, trimSpaces(QStringLiteral("Delete Filter: ") + entry) + QLatin1Char('?'))) {
        delete m_filterList->takeItem(row);
        m_filters.removeAt(row);
    }
    if (m_filterList->count() > 0)
        m_filterList->setCurrentRow(0);
}

void FilterForm::exitClicked()
{
    saveFilterList();
    accept();
}
