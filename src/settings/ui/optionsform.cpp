#include "optionsform.h"

#include "filterform.h"
#include "reporterror.h"

#include "nameedit/formatlist.h"
#include "platform/platformservices.h"
#include "settings/optionsapply.h"
#include "settings/preferences.h"
#include "tags/fieldcatalogue.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <exception>
#include <system_error>

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QString& tip)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    return b;
}

QRadioButton* makeRadio(QWidget* parent, const QString& name, const QString& text, const QString& tip = {})
{
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(name);
    r->setToolTip(tip);
    return r;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& text, const QString& tip = {})
{
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QLatin1String(name));
    c->setToolTip(tip);
    return c;
}

QListWidget* makeFieldList(QWidget* parent, const char* name, const QString& tip)
{
    auto* l = new QListWidget(parent);
    l->setObjectName(QLatin1String(name));
    l->setToolTip(tip);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    return l;
}

// Checks the button with this id, or none when there is no such button.
void checkOnly(QButtonGroup* group, QAbstractButton* button)
{
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(b == button);
    group->setExclusive(true);
}

QGroupBox* groupOf(QWidget* parent, const QString& title, const QList<QWidget*>& widgets)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    for (QWidget* w : widgets) {
        w->setParent(box);
        layout->addWidget(w);
    }
    return box;
}

} // namespace

template <typename F> void OptionsForm::guarded(int line, F&& handler)
{
    try {
        handler();
    } catch (const std::system_error& e) {
        reportError(*m_services.prompter, QStringLiteral("OptionsForm"), QString::fromLocal8Bit(e.what()),
            e.code().value(), line);
    } catch (const std::exception& e) {
        reportError(*m_services.prompter, QStringLiteral("OptionsForm"), QString::fromLocal8Bit(e.what()), 0, line);
    }
}

OptionsForm::OptionsForm(PlatformServices& services, Preferences& prefs, FormatList& formats,
    std::function<void()> formatsChanged, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_prefs(prefs)
    , m_formats(formats)
    , m_formatsChanged(std::move(formatsChanged))
{
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QStringLiteral("Velmora - Options"));
    setModal(true);

    m_optFrame = new QTabBar(this);
    m_optFrame->setObjectName(QStringLiteral("OptFrame"));
    m_optFrame->addTab(QStringLiteral("General / Automation"));
    m_optFrame->setTabToolTip(0, QStringLiteral("Automation and General Options"));
    m_optFrame->addTab(QStringLiteral("Formats and Filters"));
    m_optFrame->setTabToolTip(1, QStringLiteral("Custom Formats and Filters"));

    // First page: the options.
    m_autoFrame = new QFrame(this);
    m_autoFrame->setObjectName(QStringLiteral("AutoFrame"));

    m_id3Save = new QButtonGroup(this);
    m_id3Save->setObjectName(QStringLiteral("ID3Save"));
    auto* save1 = makeRadio(m_autoFrame, QStringLiteral("ID3Save1"),
        QStringLiteral("Automatically Save Internal ID3 Tags To The Selected File"));
    auto* save0 = makeRadio(
        m_autoFrame, QStringLiteral("ID3Save0"), QStringLiteral("DO NOT Save Internal ID3 Tags To The Selected File"));
    m_id3Save->addButton(save1, 1);
    m_id3Save->addButton(save0, 0);

    m_syncOption = new QButtonGroup(this);
    m_syncOption->setObjectName(QStringLiteral("SyncOption"));
    auto* sync2 = makeRadio(
        m_autoFrame, QStringLiteral("SyncOption2"), QStringLiteral("Do Not Automatically Synchronize Any Values"));
    auto* sync1 = makeRadio(m_autoFrame, QStringLiteral("SyncOption1"),
        QStringLiteral("Attempt To Create Filename From Internal ID3 Tags"));
    auto* sync0 = makeRadio(m_autoFrame, QStringLiteral("SyncOption0"),
        QStringLiteral("Attempt To Create Internal ID3 Tags From Filename"));
    m_syncOption->addButton(sync2, 2);
    m_syncOption->addButton(sync1, 1);
    m_syncOption->addButton(sync0, 0);

    m_case = new QButtonGroup(this);
    m_titleCase = makeRadio(m_autoFrame, QStringLiteral("TitleCase"), QStringLiteral("Title"),
        QStringLiteral("Automatically Convert New Filenames To Tile Case Upon Selection"));
    m_upperCase = makeRadio(m_autoFrame, QStringLiteral("UpperCase"), QStringLiteral("Upper"),
        QStringLiteral("Automatically Convert New Filenames To Upper Case Upon Selection"));
    m_lowerCase = makeRadio(m_autoFrame, QStringLiteral("LowerCase"), QStringLiteral("Lower"),
        QStringLiteral("Automatically Convert New Filenames To Lower Case Upon Selection"));
    m_unchangedCase = makeRadio(m_autoFrame, QStringLiteral("UnchangedCase"), QStringLiteral("Unchanged"),
        QStringLiteral("Do Not Convert New Filenames"));
    for (QAbstractButton* b : { m_titleCase, m_upperCase, m_lowerCase, m_unchangedCase })
        m_case->addButton(b);

    m_useFormattedTrack = makeCheck(m_autoFrame, "UseFormattedTrack", QStringLiteral("Use Two Digit Track Numbers"));
    m_removeUnderScores
        = makeCheck(m_autoFrame, "RemoveUnderScores", QStringLiteral("Remove UnderScores From Filenames"),
            QStringLiteral("Automatically Remove UnderScores From Filenames"));
    m_removeParens = makeCheck(m_autoFrame, "RemoveParens", QStringLiteral("Remove Parenthesis From Filenames"),
        QStringLiteral("Automatically Remove Parenthesis From Filenames"));
    m_sepPad = makeCheck(m_autoFrame, "SepPad", QStringLiteral("Pad Separator With Spaces"),
        QStringLiteral("Include Spaces On Both Sides Of The Separator Character"));
    m_keepFileTimes = makeCheck(m_autoFrame, "KeepFileTimes", QStringLiteral("Keep File Times"),
        QStringLiteral("Keep Each File's Modification Time When Its ID3 Tags Are Written"));
    m_mp3FilesOnly = makeCheck(m_autoFrame, "MP3FilesOnly", QStringLiteral("MP3 Files Only"),
        QStringLiteral("List And Mass Rename Only MP3 Files, Not FLAC, Ogg Vorbis, Opus Or MP4 Files"));

    auto* caseRow = new QHBoxLayout;
    for (QAbstractButton* b : { m_titleCase, m_upperCase, m_lowerCase, m_unchangedCase })
        caseRow->addWidget(b);
    auto* caseFrame = new QGroupBox(QStringLiteral("New Filename Case"), m_autoFrame);
    caseFrame->setLayout(caseRow);

    auto* autoLayout = new QGridLayout(m_autoFrame);
    autoLayout->addWidget(
        groupOf(m_autoFrame, QStringLiteral("When Renaming a File..."), { save1, save0 }), 0, 0, 1, 2);
    autoLayout->addWidget(
        groupOf(m_autoFrame, QStringLiteral("Auto Synchronization (Using The Currently Selected Format)"),
            { sync2, sync1, sync0 }),
        1, 0, 1, 2);
    autoLayout->addWidget(caseFrame, 2, 0, 1, 2);
    autoLayout->addWidget(groupOf(m_autoFrame, QStringLiteral("When Selecting Files From The File List..."),
                              { m_useFormattedTrack, m_removeUnderScores, m_removeParens }),
        3, 0);
    autoLayout->addWidget(
        groupOf(m_autoFrame, QStringLiteral("File Part Separator ('-' Character)"), { m_sepPad }), 3, 1, Qt::AlignTop);
    autoLayout->addWidget(
        groupOf(m_autoFrame, QStringLiteral("When Writing ID3 Tags..."), { m_keepFileTimes }), 4, 0, 1, 2);
    autoLayout->addWidget(
        groupOf(m_autoFrame, QStringLiteral("When Listing Files..."), { m_mp3FilesOnly }), 5, 0, 1, 2);

    // Second page: format composition and the filter editor.
    m_formatFrame = new QFrame(this);
    m_formatFrame->setObjectName(QStringLiteral("FormatFrame"));
    auto* customFrame = new QGroupBox(QStringLiteral("Custom Format Definitions"), m_formatFrame);
    m_validFields = makeFieldList(customFrame, "ValidFields", QStringLiteral("Available Fields For Formats"));
    m_selectedFields
        = makeFieldList(customFrame, "SelectedFields", QStringLiteral("Selected Fields In your Custom Format"));
    auto* addOneButton = makeButton(customFrame, "AddOne", QStringLiteral(">"), QStringLiteral("Add Selected Field"));
    auto* addAllButton = makeButton(customFrame, "AddAll", QStringLiteral(">>"), QStringLiteral("Add All Fields"));
    auto* removeOneButton
        = makeButton(customFrame, "RemoveOne", QStringLiteral("<"), QStringLiteral("Remove Selected Field"));
    auto* removeAllButton
        = makeButton(customFrame, "RemoveAll", QStringLiteral("<<"), QStringLiteral("Remove All Fields"));
    m_currentFormat = new QLineEdit(customFrame);
    m_currentFormat->setObjectName(QStringLiteral("CurrentFormat"));
    m_currentFormat->setToolTip(QStringLiteral("Preview Of The Currently Selected Format"));

    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    for (QPushButton* b : { addOneButton, addAllButton, removeOneButton, removeAllButton })
        arrows->addWidget(b);
    arrows->addStretch();
    auto* lists = new QHBoxLayout;
    lists->addWidget(groupOf(customFrame, QStringLiteral("Valid Fields"), { m_validFields }));
    lists->addLayout(arrows);
    lists->addWidget(groupOf(customFrame, QStringLiteral("Selected Fields"), { m_selectedFields }));
    auto* customLayout = new QVBoxLayout(customFrame);
    customLayout->addLayout(lists);
    customLayout->addWidget(groupOf(customFrame, QStringLiteral("Current Format Preview"), { m_currentFormat }));

    auto* defineFiltersButton = makeButton(m_formatFrame, "DefineFilters", QStringLiteral("&Define File Filters"),
        QStringLiteral("Define Character Search and Replace Filters"));
    auto* formatLayout = new QVBoxLayout(m_formatFrame);
    formatLayout->addWidget(customFrame, 1);
    formatLayout->addWidget(defineFiltersButton, 0, Qt::AlignLeft);

    // Dialog buttons.
    auto* saveExitButton = makeButton(
        this, "SaveExitButton", QStringLiteral("&Save && Exit"), QStringLiteral("Save all changes and exit Options"));
    m_applyButton
        = makeButton(this, "ApplyButton", QStringLiteral("&Apply"), QStringLiteral("Apply the current changes"));
    auto* cancelButton
        = makeButton(this, "CancelButton", QStringLiteral("&Cancel"), QStringLiteral("Cancel all changes and exit"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveExitButton);
    buttons->addWidget(m_applyButton);
    buttons->addWidget(cancelButton);

    // One stack for both pages: the dialog is sized for the larger page from
    // the start and keeps that size from tab to tab.
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(m_autoFrame);
    m_pages->addWidget(m_formatFrame);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_optFrame);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    connect(m_optFrame, &QTabBar::currentChanged, this, &OptionsForm::tabChanged);
    connect(addOneButton, &QPushButton::clicked, this, &OptionsForm::addOne);
    connect(addAllButton, &QPushButton::clicked, this, &OptionsForm::addAll);
    connect(removeOneButton, &QPushButton::clicked, this, &OptionsForm::removeOne);
    connect(removeAllButton, &QPushButton::clicked, this, &OptionsForm::removeAll);
    connect(m_validFields, &QListWidget::itemDoubleClicked, this, &OptionsForm::addOne);
    connect(m_selectedFields, &QListWidget::itemDoubleClicked, this, &OptionsForm::removeOne);
    connect(defineFiltersButton, &QPushButton::clicked, this, &OptionsForm::defineFilters);
    connect(m_applyButton, &QPushButton::clicked, this, &OptionsForm::applyClicked);
    connect(saveExitButton, &QPushButton::clicked, this, &OptionsForm::saveExitClicked);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (QButtonGroup* group : { m_id3Save, m_syncOption, m_case })
        connect(group, &QButtonGroup::buttonToggled, this, &OptionsForm::enableApply);
    for (QCheckBox* box :
        { m_useFormattedTrack, m_removeUnderScores, m_removeParens, m_sepPad, m_keepFileTimes, m_mp3FilesOnly })
        connect(box, &QCheckBox::toggled, this, &OptionsForm::enableApply);
    connect(m_currentFormat, &QLineEdit::textChanged, this, &OptionsForm::enableApply);

    guarded(__LINE__, [this] {
        m_validFields->addItems(fieldNames());
        composeFormat();
        m_prefs.loadOptions();
        tabChanged(0);
        setControlsFromOptions();
    });
    m_applyButton->setEnabled(false);
}

void OptionsForm::setControlsFromOptions()
{
    const OptionChoices c = choicesFromOptions(m_prefs.options);
    m_useFormattedTrack->setChecked(c.useFormattedTrack);
    m_removeUnderScores->setChecked(c.remUnderScores);
    m_removeParens->setChecked(c.removeParens);
    m_sepPad->setChecked(c.splitSpaces);
    m_keepFileTimes->setChecked(c.keepFileTimes);
    m_mp3FilesOnly->setChecked(c.mp3FilesOnly);
    checkOnly(m_case, c.newFileCase ? caseButton(*c.newFileCase) : nullptr);
    checkOnly(m_syncOption, c.syncOption ? m_syncOption->button(int(*c.syncOption)) : nullptr);
    checkOnly(m_id3Save, m_id3Save->button(c.id3AutoSave));
}

QAbstractButton* OptionsForm::caseButton(NameCase nameCase) const
{
    switch (nameCase) {
    case NameCase::Title:
        return m_titleCase;
    case NameCase::Upper:
        return m_upperCase;
    case NameCase::Lower:
        return m_lowerCase;
    case NameCase::Unchanged:
        break;
    }
    return m_unchangedCase;
}

void OptionsForm::enableApply()
{
    m_applyButton->setEnabled(true);
}

void OptionsForm::tabChanged(int index)
{
    guarded(__LINE__, [&] { m_pages->setCurrentWidget(index == 0 ? m_autoFrame : m_formatFrame); });
}

void OptionsForm::composeFormat()
{
    guarded(__LINE__, [this] {
        QStringList fields;
        for (int i = 0; i < m_selectedFields->count(); ++i)
            fields << m_selectedFields->item(i)->text();
        m_currentFormat->setText(
            fields.isEmpty() ? QString() : fields.join(m_prefs.options.separatorString) + QStringLiteral(".mp3"));
    });
}

void OptionsForm::addOne()
{
    guarded(__LINE__, [this] {
        const QList<QListWidgetItem*> selected = m_validFields->selectedItems();
        if (selected.isEmpty())
            return;
        m_selectedFields->addItem(selected.first()->text());
        delete m_validFields->takeItem(m_validFields->row(selected.first()));
        composeFormat();
    });
}

void OptionsForm::removeOne()
{
    guarded(__LINE__, [this] {
        const QList<QListWidgetItem*> selected = m_selectedFields->selectedItems();
        if (selected.isEmpty())
            return;
        m_validFields->addItem(selected.first()->text());
        delete m_selectedFields->takeItem(m_selectedFields->row(selected.first()));
        composeFormat();
    });
}

void OptionsForm::addAll()
{
    guarded(__LINE__, [this] {
        m_validFields->clear();
        m_selectedFields->clear();
        m_selectedFields->addItems(fieldNames());
        composeFormat();
    });
}

void OptionsForm::removeAll()
{
    guarded(__LINE__, [this] {
        m_validFields->clear();
        m_selectedFields->clear();
        m_validFields->addItems(fieldNames());
        composeFormat();
    });
}

void OptionsForm::applyOptions()
{
    guarded(__LINE__, [this] {
        OptionChoices c;
        for (NameCase nameCase : { NameCase::Title, NameCase::Upper, NameCase::Lower, NameCase::Unchanged })
            if (caseButton(nameCase)->isChecked())
                c.newFileCase = nameCase;
        c.id3AutoSave = m_id3Save->checkedId();
        if (m_syncOption->checkedId() >= 0)
            c.syncOption = SyncMode(m_syncOption->checkedId());
        c.removeParens = m_removeParens->isChecked();
        c.remUnderScores = m_removeUnderScores->isChecked();
        c.splitSpaces = m_sepPad->isChecked();
        c.useFormattedTrack = m_useFormattedTrack->isChecked();
        c.keepFileTimes = m_keepFileTimes->isChecked();
        c.mp3FilesOnly = m_mp3FilesOnly->isChecked();
        c.mask = m_currentFormat->text();
        const MaskPlacement placement = applyOptionChoices(c, m_prefs, m_formats.masks());
        if (placement.current < 0)
            return;
        if (placement.append)
            m_formats.append(c.mask);
        m_formats.setCurrentIndex(placement.current);
        if (m_formatsChanged)
            m_formatsChanged();
    });
}

void OptionsForm::applyClicked()
{
    guarded(__LINE__, [this] {
        applyOptions();
        m_selectedFields->clear();
        m_currentFormat->clear();
    });
    m_applyButton->setEnabled(false);
}

void OptionsForm::saveExitClicked()
{
    guarded(__LINE__, [this] { applyOptions(); });
    accept();
}

void OptionsForm::defineFilters()
{
    FilterForm filters(m_services, m_prefs, this);
    filters.exec();
}

void OptionsForm::done(int result)
{
    m_formats.setCurrentIndex(0);
    if (m_formatsChanged)
        m_formatsChanged();
    QDialog::done(result);
}
