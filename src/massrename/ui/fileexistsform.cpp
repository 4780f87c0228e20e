#include "fileexistsform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kRowCaptions[5]
    = { "File Name:", "File Size:", "Creation Date:", "Last Accessed:", "Last Modified:" };
const char* const kRowTips[5] = { "File Name", "File Size", "Creation Date", "Last Access Date", "Modification Date" };

// One frame of five captioned rows; the value labels go into labels.
QGroupBox* factsFrame(const QString& caption, const QString& tipPrefix, const QString& labelName,
    const QStringList& texts, std::array<QLabel*, 5>& labels)
{
    auto* frame = new QGroupBox(caption);
    auto* grid = new QGridLayout(frame);
    for (int row = 0; row < 5; ++row) {
        auto* rowCaption = new QLabel(QString::fromLatin1(kRowCaptions[row]));
        rowCaption->setObjectName(QStringLiteral("FileLabels"));
        auto* value = new QLabel(row < texts.size() ? texts.at(row) : QString());
        value->setObjectName(labelName);
        value->setProperty("index", row);
        value->setToolTip(tipPrefix + QString::fromLatin1(kRowTips[row]));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(rowCaption, row, 0);
        grid->addWidget(value, row, 1);
        labels[size_t(row)] = value;
    }
    grid->setColumnStretch(1, 1);
    return frame;
}

} // namespace

FileExistsForm::FileExistsForm(
    const QString& currentPath, const QStringList& existingFile, const QStringList& renamedFile, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FileExistsForm"));
    setWindowTitle(QStringLiteral("File Already Exists!"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("This File Already Exists!"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto* pathFrame = new QGroupBox(QStringLiteral("Current Path"));
    auto* path = new QLabel(currentPath);
    path->setObjectName(QStringLiteral("CurrentPath"));
    path->setToolTip(QStringLiteral("Current Working Path"));
    (new QVBoxLayout(pathFrame))->addWidget(path);

    auto* existing = factsFrame(QStringLiteral("Existing File Data"), QStringLiteral("Existing File "),
        QStringLiteral("EFLabels"), existingFile, m_existing);
    auto* renamed = factsFrame(QStringLiteral("Conflicting File Data (The File Being Renamed)"),
        QStringLiteral("Conflicting File "), QStringLiteral("RFLabels"), renamedFile, m_renamed);

    auto* overwriteButton = new QPushButton(QStringLiteral("&Overwrite Existing File"));
    overwriteButton->setObjectName(QStringLiteral("OverwriteFile"));
    overwriteButton->setToolTip(QStringLiteral("Overwrite The Existing File With The New File"));
    auto* skipButton = new QPushButton(QStringLiteral("&Skip This File"));
    skipButton->setObjectName(QStringLiteral("SkipFile"));
    skipButton->setToolTip(QStringLiteral("Don't Change Anything, Just Go To The Next File"));
    skipButton->setDefault(true);
    connect(overwriteButton, &QPushButton::clicked, this, &FileExistsForm::overwrite);
    connect(skipButton, &QPushButton::clicked, this, &FileExistsForm::skip);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(overwriteButton);
    buttons->addWidget(skipButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(pathFrame);
    layout->addWidget(existing);
    layout->addWidget(renamed);
    layout->addLayout(buttons);
    setMinimumWidth(480);
}

void FileExistsForm::overwrite()
{
    m_answer = ExistingTargetAnswer::Overwrite;
    m_guard = false;
    hide();
    QApplication::processEvents();
    accept();
}

void FileExistsForm::skip()
{
    m_answer = ExistingTargetAnswer::Skip;
    m_guard = false;
    QDialog::reject();
}

void FileExistsForm::reject()
{
    // Escape must not end the prompt without an answer.
    if (!m_guard)
        QDialog::reject();
}

void FileExistsForm::closeEvent(QCloseEvent* event)
{
    if (m_guard)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
