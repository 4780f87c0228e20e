#include "aboutbox.h"

#include "platform/version.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Velmora"));

    auto* name = new QLabel(QStringLiteral("<h2>Velmora</h2>"));
    name->setObjectName(QStringLiteral("ProductName"));
    auto* version = new QLabel(velmoraTitle());
    version->setObjectName(QStringLiteral("Version"));
    auto* purpose = new QLabel(QStringLiteral("Renames MP3 files and edits their ID3 tags."));
    auto* credits = new QLabel(
        QStringLiteral("Written by the Velmora developers. Built with Qt %1.").arg(QString::fromLatin1(qVersion())));
    credits->setObjectName(QStringLiteral("Credits"));
    credits->setWordWrap(true);
    auto* disclaimer = new QLabel(QStringLiteral("This program comes with no warranty. Keep copies of files you "
                                                 "cannot replace."));
    disclaimer->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(purpose);
    layout->addWidget(credits);
    layout->addWidget(disclaimer);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}
