// The file table in the main window: many rows edited through the tag
// panel, cells edited and pasted, both saved in one run that one undo takes
// back; the columns kept between runs. Written files are read by mutagen.
#include "windowfixture.h"

#include "tagedit/tablecolumns.h"
#include "tagedit/tableedits.h"
#include "tagedit/ui/coverpane.h"
#include "tags/audiotag.h"
#include "tags/encodedfiles.h"

#include <QBuffer>
#include <QClipboard>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

using namespace EncodedFiles;

class TableTest : public WindowTest {
protected:
    // Files of three formats, each with its own title and the same album.
    void makeFiles()
    {
        addMp3(QStringLiteral("a.mp3"));
        make(dir, Kind::Vorbis, QStringLiteral("music/b"));
        make(dir, Kind::Flac, QStringLiteral("music/c"));
        names = { "a.mp3", "b.ogg", "c.flac" };
        for (const QString& name : names) {
            AudioTag tag;
            ASSERT_TRUE(tag.setFileName(path(name)).ok());
            tag.setFieldText(FieldId::Title, QStringLiteral("Title ") + name.left(1));
            tag.setFieldText(FieldId::Album, QStringLiteral("Same Album"));
            ASSERT_TRUE(tag.update());
        }
    }
    void waitForTags()
    {
        QElapsedTimer timer;
        timer.start();
        while (table().isLoading() && timer.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_FALSE(table().isLoading());
    }
    // Until the tags of the selected rows are read, off the window's thread.
    void waitForMany()
    {
        QElapsedTimer timer;
        timer.start();
        while (window->readingMany() && timer.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_FALSE(window->readingMany());
    }
    // The MP3 file's bytes; what mutagen reads of the others, and their audio.
    QMap<QString, QByteArray> state() const
    {
        QMap<QString, QByteArray> out;
        out.insert(names[0], bytes(names[0]));
        for (const QString& name : names.mid(1))
            out.insert(name, QJsonDocument(dump(path(name))).toJson() + audioMd5(path(name)));
        return out;
    }
    QString text(const QString& name, FieldId field) const
    {
        AudioTag tag;
        tag.setKeepTrailerOnLoad(true); // reading writes nothing
        EXPECT_TRUE(tag.setFileName(path(name)).ok());
        return tag.fieldText(field);
    }
    QJsonArray comment(const QString& name, const char* key) const
    {
        return dump(path(name)).value(QStringLiteral("comment:") + QLatin1String(key)).toArray();
    }
    std::optional<CoverPicture> front(const QString& name) const
    {
        AudioTag tag;
        tag.setKeepTrailerOnLoad(true);
        EXPECT_TRUE(tag.setFileName(path(name)).ok());
        return tag.frontCover();
    }
    static QByteArray image(int size, const char* format)
    {
        QImage picture(size, size, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, format);
        return bytes;
    }
    int columnOf(TableColumn column) const { return int(table().model().columns().indexOf(column)); }

    QStringList names;
};

} // namespace

TEST_F(TableTest, ManyRowsShowCommonValuesAndSaveOnlyTheChangedBoxIntoEach)
{
    makeFiles();
    open();
    // The names show at once; the tags fill in.
    EXPECT_EQ(listed(), names);
    waitForTags();
    EXPECT_EQ(table().model().shownText(1, TableColumn::Title), QStringLiteral("Title b"));
    const auto before = state();

    fileList()->selectAll();
    waitForMany();
    EXPECT_EQ(window->manyFiles().size(), 3);
    EXPECT_EQ(box(FieldId::Album), QStringLiteral("Same Album"));
    EXPECT_EQ(box(FieldId::Title), kDifferentValues);
    const QString artists = box(FieldId::Artist);
    setBox(FieldId::Artist, QStringLiteral("One Artist"));
    window->saveTags();
    EXPECT_EQ(text("a.mp3", FieldId::Artist), QStringLiteral("One Artist"));
    EXPECT_EQ(text("a.mp3", FieldId::Title), QStringLiteral("Title a"));
    for (const QString& name : names.mid(1)) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(comment(name, "ARTIST"), QJsonArray { "One Artist" });
        // "<different values>" was left as shown: each title stays its own.
        EXPECT_EQ(comment(name, "TITLE"), QJsonArray { "Title " + name.left(1) });
    }
    EXPECT_EQ(table().model().shownText(2, TableColumn::Artist), QStringLiteral("One Artist"));
    waitForMany();
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("One Artist"));

    // One undo puts every file back as it was.
    prompter.answers.enqueue(Answer::Yes);
    window->undoTagSave();
    EXPECT_EQ(state(), before);
    waitForMany();
    EXPECT_EQ(box(FieldId::Artist), artists);
}

TEST_F(TableTest, ManyRowsStillBeingReadAreNotShownOnceTheFolderChanged)
{
    makeFiles();
    QTemporaryDir other;
    open();
    waitForTags();
    fileList()->selectAll();
    window->folderChanged(other.path()); // before the rows' tags are read
    waitForMany();
    QApplication::processEvents();
    EXPECT_TRUE(window->manyFiles().isEmpty());
    EXPECT_EQ(box(FieldId::Album), QString());
    EXPECT_FALSE(window->action(QStringLiteral("mnuSaveID3"))->isEnabled());
}

TEST_F(TableTest, PastedAndEditedCellsStayMarkedAcrossTheSelectionAndSaveInOneUndoableRun)
{
    makeFiles();
    open();
    waitForTags();
    // Showing an MP3 file writes its trailer, as the window always has: not the table's doing.
    select(QStringLiteral("a.mp3"));
    const auto before = state();
    fileList()->setCurrentIndex(table().model().index(0, columnOf(TableColumn::Title)));
    QApplication::clipboard()->setText(QStringLiteral("First\nSecond\n"));
    window->action(QStringLiteral("mnuPasteCells"))->trigger();
    table().model().setData(table().model().index(2, columnOf(TableColumn::Year)), QStringLiteral("1999"));
    select(QStringLiteral("c.flac")); // moving on keeps every edit
    const QModelIndex pasted = table().model().index(1, columnOf(TableColumn::Title));
    EXPECT_EQ(pasted.data().toString(), QStringLiteral("Second"));
    EXPECT_TRUE(pasted.data(FileTableModel::EditedRole).toBool());
    EXPECT_EQ(state(), before); // nothing is written before Save

    // Copying gives the cells as shown, ready for a spreadsheet.
    fileList()->selectAll();
    window->action(QStringLiteral("mnuCopyCells"))->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("c.flac\tTitle c")));

    window->action(QStringLiteral("mnuSaveCells"))->trigger();
    EXPECT_EQ(text("a.mp3", FieldId::Title), QStringLiteral("First"));
    EXPECT_EQ(comment("b.ogg", "TITLE"), QJsonArray { "Second" });
    EXPECT_EQ(comment("c.flac", "TITLE"), QJsonArray { "Title c" });
    EXPECT_EQ(comment("c.flac", "DATE"), QJsonArray { "1999" });
    EXPECT_FALSE(pasted.data(FileTableModel::EditedRole).toBool());
    EXPECT_TRUE(table().model().edits().isEmpty());

    prompter.answers.enqueue(Answer::Yes);
    window->undoTagSave();
    EXPECT_EQ(state(), before);
}

TEST_F(TableTest, TheColumnsShownAreKeptBetweenRuns)
{
    addMp3(QStringLiteral("x.mp3"));
    open();
    table().setColumns({ TableColumn::FileName, TableColumn::Artist, TableColumn::Length });
    window->close();
    open();
    EXPECT_EQ(
        table().columns(), (QList<TableColumn> { TableColumn::FileName, TableColumn::Artist, TableColumn::Length }));
    EXPECT_EQ(settings.values[QStringLiteral("Settings")][QStringLiteral("Table Columns")],
        QStringLiteral("File Name,Artist,Length"));
}

TEST_F(TableTest, CoversOfOneFileSaveWithItsTagsAndOfManyFilesRunOnTheSelection)
{
    makeFiles();
    const QByteArray png = image(40, "PNG");
    ASSERT_TRUE(Mp3Builder::writeFile(dir.filePath("new.png"), png));
    open();
    waitForTags();
    auto* pane = child<CoverPane>(QStringLiteral("CoverPane"));

    // One file: the pane's picture is written by Save, with the tags.
    select(QStringLiteral("c.flac"));
    prompter.files.enqueue(dir.filePath("new.png"));
    pane->addFromFile();
    window->saveTags();
    const QJsonArray pictures = dump(path("c.flac")).value("pictures").toArray();
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_EQ(pictures[0].toArray().last().toString(),
        QString::fromLatin1(QCryptographicHash::hash(png, QCryptographicHash::Sha1).toHex()));

    // Many files: one cover into each, and one undo takes it out again.
    fileList()->selectAll();
    waitForMany();
    const auto before = state();
    emit pane->coverForAllRequested(coverPicture(png));
    for (const QString& name : names)
        EXPECT_EQ(front(name).value_or(CoverPicture {}).data, png) << name.toStdString();
    prompter.answers.enqueue(Answer::Yes);
    window->undoTagSave();
    EXPECT_EQ(state(), before);

    // Each folder's cover file, then every cover shrunk to the size asked for.
    ASSERT_TRUE(Mp3Builder::writeFile(path("cover.jpg"), image(64, "JPEG")));
    window->action(QStringLiteral("mnuFolderCovers"))->trigger();
    EXPECT_EQ(front("b.ogg").value_or(CoverPicture {}).data, bytes("cover.jpg"));
    prompter.inputs.enqueue(QStringLiteral("16"));
    window->action(QStringLiteral("mnuShrinkCovers"))->trigger();
    for (const QString& name : names) {
        const CoverPicture shrunk = withImageFacts(front(name).value_or(CoverPicture {}));
        EXPECT_EQ(std::pair(shrunk.width, shrunk.height), std::pair(16, 16)) << name.toStdString();
        EXPECT_EQ(shrunk.mimeType, QStringLiteral("image/jpeg"));
    }
}
