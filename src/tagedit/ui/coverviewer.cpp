#include "coverviewer.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

CoverViewer::CoverViewer(const QImage& image, const QString& title, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CoverViewer"));
    setWindowTitle(title);
    auto* picture = new QLabel;
    picture->setObjectName(QStringLiteral("CoverViewerImage"));
    picture->setPixmap(QPixmap::fromImage(image));
    auto* scroll = new QScrollArea;
    scroll->setWidget(picture);
    scroll->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    // Its own size, up to four fifths of the screen.
    const QSize room = screen() ? screen()->availableSize() * 4 / 5 : QSize(800, 600);
    const QSize frame(2 * scroll->frameWidth() + 40, 2 * scroll->frameWidth() + 80);
    resize((image.size() + frame).boundedTo(room));
}
