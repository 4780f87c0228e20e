#include "playlistform.h"

#include "platform/platformservices.h"
#include "platform/ui/caption.h"
#include "playlist/playlistfile.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

PlaylistForm::PlaylistForm(PlatformServices& services, const QString& folder, ListedFormats formats, QWidget* parent)
    : QDialog(parent)
    , m_services(services)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("PLayListForm"));
    setWindowTitle(QStringLiteral("PlayList Creator"));
    setModal(true);

    auto* frame = new QGroupBox(captionText(folder), this);
    frame->setObjectName(QStringLiteral("PLFrame"));
    m_files = new QListWidget(frame);
    m_files->setObjectName(QStringLiteral("PLFiles"));
    m_files->setToolTip(QStringLiteral("Select The Files To Include In The PlayList"));
    m_files->setSelectionMode(QAbstractItemView::MultiSelection);
    m_files->addItems(listAudioFiles(folder, formats));
    auto* hint = new QLabel(QStringLiteral("SHIFT+CTRL+A To Select All Files"), frame);
    hint->setToolTip(QStringLiteral("Hit CTRL+A To Select All Files"));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_files);
    frameLayout->addWidget(hint);

    auto* createButton = new QPushButton(QStringLiteral("&Create PlayList"), this);
    createButton->setObjectName(QStringLiteral("CreateButton"));
    createButton->setToolTip(QStringLiteral("Create A PlayList From The Selected Files"));
    createButton->setAutoDefault(false);
    auto* exitButton = new QPushButton(QStringLiteral("E&xit"), this);
    exitButton->setObjectName(QStringLiteral("ExitButton"));
    exitButton->setToolTip(QStringLiteral("Exit This Form"));
    exitButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(createButton);
    buttons->addWidget(exitButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);

    connect(createButton, &QPushButton::clicked, this, &PlaylistForm::createClicked);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);

    // The window sees the keys before its controls.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    selectAllFiles();
}

void PlaylistForm::selectAllFiles()
{
    for (int i = 0; i < m_files->count(); ++i)
        m_files->item(i)->setSelected(true);
}

bool PlaylistForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (key->key() == Qt::Key_A && (mods & Qt::ControlModifier)) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept(); // keep any shortcut from taking the key
                return true;
            }
            if (mods & Qt::ShiftModifier)
                selectAllFiles();
            return true; // Ctrl+A alone does nothing, not even the list's own select-all
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PlaylistForm::createClicked()
{
    if (m_files->count() == 0)
        return;
    QStringList selected;
    for (int i = 0; i < m_files->count(); ++i)
        if (m_files->item(i)->isSelected())
            selected << m_files->item(i)->text();
    createPlaylist(*m_services.prompter, m_folder, selected);
}
