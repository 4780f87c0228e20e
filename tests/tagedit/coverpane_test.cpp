// The cover pane's commands reach the list the window saves: an added file
// keeps its bytes, a pasted or dropped image arrives, the shown picture and
// then all go, the stored bytes are extracted, a file that is no image is
// refused, and many files with different covers say so and ask for bulk runs.
#include "tagedit/coveredits.h"
#include "tagedit/filesize.h"
#include "tagedit/ui/coverpane.h"

#include "support/platformdoubles.h"
#include "support/qttesthelpers.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

CommonTags common(const QList<std::optional<CoverPicture>>& fronts)
{
    CommonTags common;
    for (const std::optional<CoverPicture>& front : fronts)
        common.add(TagTexts(), front);
    return common;
}

QByteArray pngOf(const QColor& colour, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    return f.fileName();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Pane {
    PlatformDoubles doubles;
    CoverPane pane { doubles.services };
    QList<QList<CoverPicture>> edits;
    QList<CoverPicture> forAll;
    int removeAllRequests = 0;

    Pane()
    {
        QObject::connect(&pane, &CoverPane::picturesEdited, [this](const QList<CoverPicture>& p) { edits << p; });
        QObject::connect(&pane, &CoverPane::coverForAllRequested, [this](const CoverPicture& p) { forAll << p; });
        QObject::connect(&pane, &CoverPane::removeAllRequested, [this] { ++removeAllRequests; });
    }
    template <typename T> T* child(const char* name) { return pane.findChild<T*>(QString::fromLatin1(name)); }
    void click(const char* name) { child<QPushButton>(name)->click(); }
    QString facts() { return child<QLabel>("CoverFacts")->text(); }
};

} // namespace

TEST(CoverPane, CommandsChangeTheListTheWindowSavesAndManyFilesAskForBulkRuns)
{
    QTemporaryDir dir;
    Pane p;
    const CoverPicture back = coverPicture(pngOf(Qt::green, 30, 30), 4);
    p.pane.showPictures({ back }, dir.path());
    EXPECT_EQ(p.facts(), coverFactsText({ back }));

    // Added from a file: its exact bytes, a front cover after the back one.
    const QByteArray red = pngOf(Qt::red, 16, 8);
    p.doubles.prompter.files << writeFile(dir, "red.png", red);
    p.click("CoverAdd");
    ASSERT_EQ(p.edits.size(), 1);
    ASSERT_EQ(p.edits[0].size(), 2);
    EXPECT_EQ(p.edits[0][0], back);
    EXPECT_EQ(p.edits[0][1].data, red);
    EXPECT_EQ(p.edits[0][1].type, kFrontCoverType);
    EXPECT_EQ(p.facts(),
        QStringLiteral("Front Cover, image/png, 16 x 8, %1 + 1 other picture").arg(formatFileSize(red.size())));
    EXPECT_FALSE(p.child<QLabel>("CoverImage")->pixmap().isNull());

    // A click on the thumbnail shows the whole picture.
    QLabel* thumbnail = p.child<QLabel>("CoverImage");
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), thumbnail->mapToGlobal(QPointF(5, 5)),
        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(thumbnail, &release);
    auto* viewer = p.pane.findChild<QDialog*>(QStringLiteral("CoverViewer"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("CoverViewerImage"))->pixmap().size(), QSize(16, 8));

    // Extracted: the stored bytes, under a name the picker suggests.
    const QString extracted = dir.filePath("out.png");
    p.doubles.prompter.saveFiles << extracted;
    p.click("CoverExtract");
    EXPECT_EQ(readFile(extracted), red);
    EXPECT_EQ(p.doubles.prompter.calls.last().kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_EQ(p.doubles.prompter.calls.last().defaultText, dir.filePath("Front Cover.png"));

    // A file that is no image, or one larger than a tag takes, is refused
    // with its cause; nothing changes.
    const struct {
        const char* name;
        QByteArray bytes;
        FileError cause;
    } refusals[] = {
        { "notes.png", "just text", { ErrorNo::WrongType, QStringLiteral("The file is no image Velmora can read.") } },
        { "huge.png", red + QByteArray(kMaxPictureBytes, '\0'),
            { ErrorNo::Overflow, QStringLiteral("The picture is larger than 16 MB.") } },
    };
    for (const auto& c : refusals) {
        SCOPED_TRACE(c.name);
        const QString path = writeFile(dir, QString::fromLatin1(c.name), c.bytes);
        p.doubles.prompter.files << path;
        p.click("CoverAdd");
        EXPECT_EQ(p.edits.size(), 1);
        EXPECT_EQ(p.doubles.prompter.messageTexts().last(), pictureRefusedText(path, c.cause));
    }
    EXPECT_EQ(p.doubles.prompter.messageTexts().size(), 2);

    // Pasted image data becomes a PNG of the chosen type and description.
    p.child<QComboBox>("CoverType")->setCurrentIndex(4);
    p.child<QLineEdit>("CoverDescription")->setText(QStringLiteral("Rear"));
    QImage blue(4, 3, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QGuiApplication::clipboard()->setImage(blue);
    p.click("CoverPaste");
    ASSERT_EQ(p.edits.size(), 2);
    ASSERT_EQ(p.edits[1].size(), 2);
    EXPECT_EQ(p.edits[1][0].type, 4);
    EXPECT_EQ(p.edits[1][0].description, QStringLiteral("Rear"));
    EXPECT_EQ(p.edits[1][0].mimeType, QStringLiteral("image/png"));
    EXPECT_EQ(QImage::fromData(p.edits[1][0].data).size(), QSize(4, 3));
    EXPECT_EQ(p.edits[1][1].data, red);

    // A dropped image file keeps its bytes too.
    QMimeData drop;
    const QByteArray green = pngOf(Qt::darkGreen, 5, 5);
    drop.setUrls({ QUrl::fromLocalFile(writeFile(dir, "dropped.png", green)) });
    p.child<QComboBox>("CoverType")->setCurrentIndex(kFrontCoverType);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&p.pane, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &drop, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&p.pane, &dropped);
    ASSERT_EQ(p.edits.size(), 3);
    EXPECT_EQ(p.edits[2][1].data, green);

    // Remove takes the front cover, Remove All the rest.
    p.click("CoverRemove");
    ASSERT_EQ(p.edits.size(), 4);
    ASSERT_EQ(p.edits[3].size(), 1);
    EXPECT_EQ(p.edits[3][0].type, 4);
    p.click("CoverRemoveAll");
    ASSERT_EQ(p.edits.size(), 5);
    EXPECT_TRUE(p.edits[4].isEmpty());
    EXPECT_EQ(p.facts(), QStringLiteral("No Cover"));
    EXPECT_FALSE(p.child<QPushButton>("CoverRemove")->isEnabled());

    // Many files: different covers say so; the commands ask for bulk runs.
    p.pane.showMany(common({ back, std::nullopt }));
    EXPECT_EQ(p.child<QLabel>("CoverImage")->text(), QStringLiteral("<different covers>"));
    EXPECT_FALSE(p.child<QPushButton>("CoverRemove")->isEnabled());
    p.doubles.prompter.files << dir.filePath("red.png");
    p.click("CoverAdd");
    p.click("CoverRemoveAll");
    ASSERT_EQ(p.forAll.size(), 1);
    EXPECT_EQ(p.forAll[0].data, red);
    EXPECT_EQ(p.removeAllRequests, 1);
    EXPECT_EQ(p.edits.size(), 5);
    p.pane.showMany(common({ back, back }));
    EXPECT_EQ(p.facts(), coverFactsText({ back }));
}
