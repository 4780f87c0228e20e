#include "coverpane.h"

#include "coverviewer.h"
#include "platform/filesystem.h"
#include "platform/platformservices.h"
#include "platform/prompter.h"
#include "tagedit/coveredits.h"

#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kTitle = QStringLiteral("Velmora");
const QString kDifferentCovers = QStringLiteral("<different covers>");
const QString kNoCover = QStringLiteral("No Cover");

// The first local file among the data's URLs ("" for none).
QString localFileOf(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

} // namespace

CoverPane::CoverPane(const PlatformServices& services, QWidget* parent)
    : QWidget(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("CoverPane"));
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    buildControls();
    showNothing();
}

CoverPane::~CoverPane() = default;

void CoverPane::buildControls()
{
    m_image = new QLabel;
    m_image->setObjectName(QStringLiteral("CoverImage"));
    m_image->setFixedSize(kThumbnailSize, kThumbnailSize);
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setFrameShape(QFrame::StyledPanel);
    m_image->setWordWrap(true);
    m_image->installEventFilter(this);
    m_facts = new QLabel;
    m_facts->setObjectName(QStringLiteral("CoverFacts"));
    m_facts->setWordWrap(true);
    m_type = new QComboBox;
    m_type->setObjectName(QStringLiteral("CoverType"));
    for (int type = 0; type < kPictureTypeCount; ++type)
        m_type->addItem(pictureTypeName(type), type);
    m_type->setCurrentIndex(kFrontCoverType);
    m_description = new QLineEdit;
    m_description->setObjectName(QStringLiteral("CoverDescription"));
    m_description->setPlaceholderText(QStringLiteral("Description"));

    const auto button = [this](const char* name, const QString& text, void (CoverPane::*command)()) {
        auto* b = new QPushButton(text);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, command);
        return b;
    };
    m_add = button("CoverAdd", QStringLiteral("Add / Replace..."), &CoverPane::addFromFile);
    m_paste = button("CoverPaste", QStringLiteral("Paste"), &CoverPane::paste);
    m_remove = button("CoverRemove", QStringLiteral("Remove"), &CoverPane::removeShown);
    m_removeAll = button("CoverRemoveAll", QStringLiteral("Remove All"), &CoverPane::removeAll);
    m_extract = button("CoverExtract", QStringLiteral("Extract..."), &CoverPane::extract);
    // Ctrl+V anywhere in the pane but the description box, which pastes text.
    auto* pasteKey = new QShortcut(QKeySequence::Paste, this, this, &CoverPane::paste);
    pasteKey->setContext(Qt::WidgetWithChildrenShortcut);

    auto* buttons = new QGridLayout;
    buttons->addWidget(m_add, 0, 0);
    buttons->addWidget(m_paste, 0, 1);
    buttons->addWidget(m_remove, 1, 0);
    buttons->addWidget(m_removeAll, 1, 1);
    buttons->addWidget(m_extract, 2, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_image, 0, Qt::AlignHCenter);
    layout->addWidget(m_facts);
    layout->addWidget(m_type);
    layout->addWidget(m_description);
    layout->addLayout(buttons);
    layout->addStretch();
}

void CoverPane::showPictures(const QList<CoverPicture>& pictures, const QString& folder)
{
    m_mode = Mode::One;
    m_folder = folder;
    setList(pictures);
}

void CoverPane::setList(const QList<CoverPicture>& pictures)
{
    m_pictures = pictures;
    const int front = frontCoverIndex(pictures);
    showCover(front < 0 ? std::nullopt : std::optional(pictures[front]), coverFactsText(pictures));
}

void CoverPane::showMany(const CommonTags& common, const QString& folder)
{
    m_mode = Mode::Many;
    m_folder = folder;
    m_pictures.clear();
    if (common.coversDiffer()) {
        showCover(std::nullopt, QString());
        m_image->setText(kDifferentCovers);
    } else {
        showCover(common.cover(), common.cover() ? coverFactsText({ *common.cover() }) : kNoCover);
    }
}

void CoverPane::showNothing()
{
    m_mode = Mode::Nothing;
    m_pictures.clear();
    showCover(std::nullopt, QString());
}

void CoverPane::showCover(const std::optional<CoverPicture>& cover, const QString& facts)
{
    m_shown = cover;
    m_shownImage = cover ? QImage::fromData(cover->data) : QImage();
    m_image->clear();
    if (!cover)
        m_image->setText(kNoCover);
    else if (m_shownImage.isNull())
        m_image->setText(QStringLiteral("Cannot Show The Picture"));
    else
        m_image->setPixmap(QPixmap::fromImage(
            m_shownImage.scaled(kThumbnailSize, kThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    m_image->setCursor(m_shownImage.isNull() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    m_facts->setText(facts);
    enableCommands();
}

void CoverPane::enableCommands()
{
    const bool any = m_mode != Mode::Nothing;
    for (QWidget* w : std::initializer_list<QWidget*> { m_add, m_paste, m_type, m_description })
        w->setEnabled(any);
    // Many files have no one picture to remove: Remove All removes them all.
    m_remove->setEnabled(m_mode == Mode::One && m_shown);
    m_removeAll->setEnabled(m_mode == Mode::Many || !m_pictures.isEmpty());
    m_extract->setEnabled(any && m_shown);
}

void CoverPane::addFromFile()
{
    if (m_mode == Mode::Nothing)
        return;
    const QString path = m_services.prompter->chooseFile(QStringLiteral("Choose The Picture"), m_folder,
        QStringLiteral("Images (*.jpg *.jpeg *.png *.gif *.bmp);;All Files (*)"));
    if (!path.isEmpty())
        addImageFile(path);
}

bool CoverPane::addImageFile(const QString& path)
{
    FileError error;
    const qint64 length = m_services.files->length(path, &error);
    if (length < 0) {
        refuse(path, error.description, error.number);
        return false;
    }
    // Not read at all when the tag could not take it anyway.
    if (length > kMaxPictureBytes) {
        refuse(path, QStringLiteral("The picture is larger than %1 MB.").arg(kMaxPictureBytes / (1024 * 1024)),
            ErrorNo::Overflow);
        return false;
    }
    QByteArray bytes;
    if (!m_services.files->readBytes(path, 0, length, &bytes, &error)) {
        refuse(path, error.description, error.number);
        return false;
    }
    return addPicture(bytes, path);
}

bool CoverPane::addImage(const QImage& image, const QString& source)
{
    QByteArray png;
    QBuffer buffer(&png);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        refuse(source, QStringLiteral("The data is no image Velmora can read."), ErrorNo::WrongType);
        return false;
    }
    return addPicture(png, source);
}

bool CoverPane::addMimeData(const QMimeData* data, const QString& source)
{
    const QString file = localFileOf(data);
    if (!file.isEmpty())
        return addImageFile(file);
    if (data && data->hasImage())
        return addImage(qvariant_cast<QImage>(data->imageData()), source);
    refuse(source, QStringLiteral("It holds no image and no image file."), ErrorNo::WrongType);
    return false;
}

bool CoverPane::addPicture(const QByteArray& bytes, const QString& source)
{
    if (m_mode == Mode::Nothing)
        return false;
    if (QImage::fromData(bytes).isNull()) {
        refuse(source, QStringLiteral("The file is no image Velmora can read."), ErrorNo::WrongType);
        return false;
    }
    const CoverPicture picture = coverPicture(bytes, m_type->currentData().toInt(), m_description->text());
    const FileError refusal = pictureRefusal(picture);
    if (!refusal.ok()) {
        refuse(source, refusal.description, refusal.number);
        return false;
    }
    if (m_mode == Mode::Many) {
        emit coverForAllRequested(picture);
        return true;
    }
    setList(withCover(m_pictures, picture));
    emit picturesEdited(m_pictures);
    return true;
}

void CoverPane::refuse(const QString& source, const QString& description, int number)
{
    m_services.prompter->message(kTitle, pictureRefusedText(source, { number, description }), MsgIcon::Exclamation);
}

void CoverPane::paste()
{
    if (m_mode != Mode::Nothing)
        addMimeData(QGuiApplication::clipboard()->mimeData(), QStringLiteral("The Clipboard"));
}

void CoverPane::removeShown()
{
    const int front = frontCoverIndex(m_pictures);
    if (m_mode != Mode::One || front < 0)
        return;
    QList<CoverPicture> left = m_pictures;
    left.removeAt(front);
    setList(left);
    emit picturesEdited(m_pictures);
}

void CoverPane::removeAll()
{
    if (m_mode == Mode::Many) {
        emit removeAllRequested();
        return;
    }
    if (m_mode != Mode::One || m_pictures.isEmpty())
        return;
    setList({});
    emit picturesEdited(m_pictures);
}

void CoverPane::extract()
{
    if (!m_shown)
        return;
    const QString suffix = pictureFileSuffix(m_shown->mimeType);
    QString suggested = pictureTypeName(m_shown->type);
    if (!suffix.isEmpty())
        suggested += QLatin1Char('.') + suffix;
    if (!m_folder.isEmpty())
        suggested = m_folder + QLatin1Char('/') + suggested;
    const QString filter = suffix.isEmpty() ? QStringLiteral("All Files (*)")
                                            : QStringLiteral("Images (*.%1);;All Files (*)").arg(suffix);
    const QString path = m_services.prompter->chooseSaveFile(QStringLiteral("Extract The Picture"), suggested, filter);
    if (path.isEmpty())
        return;
    const FileError error = writePictureFile(path, m_shown->data);
    if (!error.ok())
        m_services.prompter->message(kTitle, fileErrorMessage(path, error), MsgIcon::Critical);
}

void CoverPane::viewCover()
{
    if (m_shownImage.isNull())
        return;
    auto* viewer = new CoverViewer(m_shownImage, pictureTypeName(m_shown->type), this);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
}

bool CoverPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_image && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        viewCover();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool CoverPane::takesDrop(const QMimeData* data) const
{
    return m_mode != Mode::Nothing && data && (!localFileOf(data).isEmpty() || data->hasImage());
}

void CoverPane::dragEnterEvent(QDragEnterEvent* event)
{
    if (takesDrop(event->mimeData()))
        event->acceptProposedAction();
}

void CoverPane::dragMoveEvent(QDragMoveEvent* event)
{
    if (takesDrop(event->mimeData()))
        event->acceptProposedAction();
}

void CoverPane::dropEvent(QDropEvent* event)
{
    if (addMimeData(event->mimeData(), QStringLiteral("The Dropped Image")))
        event->acceptProposedAction();
}
