// The file table's rules: natural order, the filter, common values, pending
// edits, spreadsheet text and paste shapes, and the model and its loader.
#include "tagedit/filetablemodel.h"
#include "tagedit/manyfiles.h"
#include "tagedit/naturalorder.h"
#include "tagedit/tableloader.h"
#include "tagedit/tabletext.h"

#include "support/mp3builder.h"
#include "tags/id3v2tag.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TableRow row(const QString& name, const QString& title, const QString& track, qint64 size = 0)
{
    TableRow r;
    r.path = QStringLiteral("/music/") + name;
    r.cells[size_t(TableColumn::FileName)] = name;
    r.cells[size_t(TableColumn::Title)] = title;
    r.cells[size_t(TableColumn::Track)] = track;
    r.size = size;
    return r;
}

QStringList shownColumn(const FileTableModel& model, TableColumn column)
{
    QStringList out;
    for (int i = 0; i < model.rowCount(); ++i)
        out << model.shownText(i, column);
    return out;
}

} // namespace

TEST(NaturalOrder, NumbersByValueTextWithoutCase)
{
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        { "Track 2", "Track 10", -1 },
        { "track 10", "Track 9", 1 },
        { "abc", "ABC", 1 }, // equal but for case: a stable, case-aware tie
        { "ABC", "abd", -1 },
        { "7", "007", -1 }, // the same number: fewer zeros first
        { "2", "", 1 },
        { "a1b2", "a1b10", -1 },
        { "99999999999999999999", "100000000000000000000", -1 }, // no overflow
        { "x", "x", 0 },
    };
    for (const auto& c : cases) {
        const int got = naturalCompare(QString::fromUtf8(c.a), QString::fromUtf8(c.b));
        EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a << " vs " << c.b;
        const int back = naturalCompare(QString::fromUtf8(c.b), QString::fromUtf8(c.a));
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
}

TEST(TableFilter, PlainTextOrOneColumn)
{
    const TableRow r = row("song.mp3", "Live: 1999", "3");
    const struct {
        const char* filter;
        bool keeps;
    } cases[] = { { "", true }, { "LIVE", true }, { "title:1999", true }, { "track:1999", false },
        { "Live: 1999", true }, { "nosuch:x", false }, { "file name:SONG", true }, { "track:3", true } };
    for (const auto& c : cases)
        EXPECT_EQ(TableFilter(c.filter).matches(r), c.keeps) << c.filter;
}

TEST(PendingEdits, CommonValuesAndEditsThatOutliveTheSelection)
{
    EXPECT_EQ(commonValue({ "a", "a" }), "a");
    EXPECT_EQ(commonValue({ "a", "b" }), kDifferentValues);
    EXPECT_EQ(commonValue({ "", "b" }), kDifferentValues);
    EXPECT_EQ(commonValue({}), QString());

    PendingEdits edits;
    edits.set("/a.mp3", FieldId::Title, "New", "Old");
    edits.set("/b.mp3", FieldId::Title, "Same", "Same"); // no change: no edit
    EXPECT_EQ(edits.paths(), QStringList { "/a.mp3" });
    EXPECT_EQ(edits.value("/a.mp3", FieldId::Title), "New");
    edits.renamed("/a.mp3", "/c.mp3");
    EXPECT_FALSE(edits.isEdited("/a.mp3", FieldId::Title));
    EXPECT_EQ(edits.value("/c.mp3", FieldId::Title), "New");
    edits.set("/c.mp3", FieldId::Title, "Old", "Old"); // typed back: the edit ends
    EXPECT_TRUE(edits.isEmpty());
}

TEST(ManyFiles, CommonTextsAndOnlyTheBoxesChangedAreWritten)
{
    TagTexts a, b;
    a[int(FieldId::Album)] = b[int(FieldId::Album)] = "Same";
    a[int(FieldId::Title)] = "One";
    b[int(FieldId::Title)] = "Two";
    const TagTexts shown = commonTexts({ a, b });
    EXPECT_EQ(shown[int(FieldId::Album)], "Same");
    EXPECT_EQ(shown[int(FieldId::Title)], kDifferentValues);
    EXPECT_EQ(shown[int(FieldId::Artist)], "");

    TagTexts typed = shown;
    typed[int(FieldId::Artist)] = "New";
    typed[int(FieldId::Album)] = ""; // emptied on purpose: written
    typed[int(FieldId::CopyRight)] = "True"; // the audio's bit: never written
    const MultiTagValues values = changedFields(shown, typed);
    QList<FieldId> included;
    for (int i = 0; i < kFieldCount; ++i)
        if (values.included[size_t(i)])
            included << FieldId(i);
    EXPECT_EQ(included, (QList<FieldId> { FieldId::Artist, FieldId::Album }));
    EXPECT_EQ(values.text(FieldId::Artist), "New");

    const MultiTagValues cells = editedValues({ { FieldId::Year, "1999" } });
    EXPECT_TRUE(cells.isIncluded(FieldId::Year));
    EXPECT_FALSE(cells.isIncluded(FieldId::Title));
    EXPECT_EQ(cells.text(FieldId::Year), "1999");
}

TEST(TableColumns, TheSettingsTextRoundTripsAndAlwaysShowsTheFileName)
{
    const struct {
        const char* text;
        QList<TableColumn> columns;
    } cases[] = {
        { "File Name,Artist,Length", { TableColumn::FileName, TableColumn::Artist, TableColumn::Length } },
        { "artist,bitrate,Artist,Nonsense", { TableColumn::FileName, TableColumn::Artist, TableColumn::BitRate } },
        { "", allTableColumns() },
        { "Nonsense", allTableColumns() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(tableColumnsFromText(c.text), c.columns);
        EXPECT_EQ(tableColumnsFromText(tableColumnsText(c.columns)), c.columns);
    }
}

TEST(TableText, SpreadsheetTextRoundTripsAndPastesInShape)
{
    const QList<QStringList> block = { { "a", "tab\there", "" }, { "quote \"x\"", "line\nbreak", "z" } };
    EXPECT_EQ(blockFromText(blockToText(block)), block);
    EXPECT_EQ(blockFromText("1\t2\r\n3\t4\r\n"), (QList<QStringList> { { "1", "2" }, { "3", "4" } }));
    EXPECT_EQ(blockFromText("only"), QList<QStringList> { { "only" } });

    const QList<std::pair<int, int>> selected = { { 0, 1 }, { 1, 1 }, { 2, 1 } };
    // A block fills its own shape from the current cell, cut at the edges.
    EXPECT_EQ(pastedCells({ { "a", "b" }, { "c", "d" } }, 1, 2, 2, 3, selected), (QList<PastedCell> { { 1, 2, "a" } }));
    EXPECT_EQ(
        pastedCells({ { "a" }, { "b" } }, 0, 1, 5, 3, selected), (QList<PastedCell> { { 0, 1, "a" }, { 1, 1, "b" } }));
    // One value fills every selected cell.
    EXPECT_EQ(pastedCells({ { "v" } }, 0, 1, 5, 3, selected),
        (QList<PastedCell> { { 0, 1, "v" }, { 1, 1, "v" }, { 2, 1, "v" } }));
}

TEST(FileTableModel, SortsFiltersAndKeepsPendingEdits)
{
    FileTableModel model;
    model.appendRows(
        { row("c.mp3", "Gamma", "10", 900), row("a.mp3", "alpha", "2", 1200), row("b.mp3", "Beta", "", 50) });
    model.sortBy(TableColumn::Track, Qt::AscendingOrder);
    EXPECT_EQ(shownColumn(model, TableColumn::Track), (QStringList { "", "2", "10" }));
    model.sortBy(TableColumn::Size, Qt::DescendingOrder);
    EXPECT_EQ(shownColumn(model, TableColumn::FileName), (QStringList { "a.mp3", "c.mp3", "b.mp3" }));

    const int title = int(model.columns().indexOf(TableColumn::Title));
    EXPECT_TRUE(model.setData(model.index(0, title), "Edited"));
    EXPECT_FALSE(model.setData(model.index(0, int(model.columns().indexOf(TableColumn::Size))), "1"));
    model.setFilter("gamma");
    EXPECT_EQ(shownColumn(model, TableColumn::FileName), QStringList { "c.mp3" });
    model.setFilter("");
    model.sortBy(TableColumn::Title, Qt::AscendingOrder);
    // The edit stays with its file, marked, through filter and sort.
    EXPECT_EQ(shownColumn(model, TableColumn::Title), (QStringList { "Beta", "Edited", "Gamma" }));
    EXPECT_TRUE(model.data(model.index(1, title), FileTableModel::EditedRole).toBool());
    EXPECT_FALSE(model.data(model.index(0, title), FileTableModel::EditedRole).toBool());

    // Read again, a row keeps its facts and its edit; a file gone takes its edit along.
    TableRow facts = row("c.mp3", "", "");
    facts.lengthMs = 5000;
    facts.cells[size_t(TableColumn::Length)] = "0:05";
    model.updateFacts({ facts });
    model.updateRows({ row("c.mp3", "Gamma Again", "10") });
    const int c = model.shownRowOf("/music/c.mp3");
    EXPECT_EQ(model.shownText(c, TableColumn::Title), "Gamma Again");
    EXPECT_EQ(model.rowAt(c).lengthMs, 5000);
    EXPECT_TRUE(model.setData(model.index(c, title), "Kept"));
    std::vector<TableRow> listed = { row("b.mp3", "Beta", ""), row("c.mp3", "Gamma", "10") };
    model.setRows(listed);
    EXPECT_EQ(model.edits().paths(), QStringList { "/music/c.mp3" }); // a.mp3 went, with its edit
    EXPECT_EQ(model.shownRowOf("/music/a.mp3"), -1);
}

TEST(TableLoader, ReadsEveryRowThenTheFactsAndWritesNothing)
{
    QTemporaryDir dir;
    for (int i = 1; i <= 12; ++i) {
        const QString path = dir.filePath(QStringLiteral("t%1.mp3").arg(i));
        ASSERT_TRUE(Mp3Builder::writePlainMp3(path, 40));
        ID3V2Tag tag;
        tag.setFileName(path);
        tag.setTitle(QStringLiteral("Title %1").arg(i));
        ASSERT_TRUE(tag.update());
    }
    const QByteArray before = Mp3Builder::readFile(dir.filePath("t3.mp3"));
    FileTableModel model;
    TableLoader loader;
    QObject::connect(&loader, &TableLoader::rowsRead, &model,
        [&](const QList<TableRow>& rows, int, int) { model.appendRows(rows); });
    QObject::connect(&loader, &TableLoader::factsRead, &model, &FileTableModel::updateFacts);
    QEventLoop loop;
    bool stopped = true;
    QObject::connect(&loader, &TableLoader::finished, &loop, [&](bool s) {
        stopped = s;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loader.start(dir.path(), ListedFormats::All, Options {}, 5);
    loop.exec();
    EXPECT_FALSE(stopped);
    ASSERT_EQ(model.totalRows(), 12);
    model.sortBy(TableColumn::FileName, Qt::AscendingOrder);
    EXPECT_EQ(model.shownText(1, TableColumn::FileName), "t2.mp3"); // natural order
    EXPECT_EQ(model.shownText(1, TableColumn::Title), "Title 2");
    EXPECT_EQ(model.shownText(1, TableColumn::Format), "MP3");
    EXPECT_TRUE(model.rowAt(1).factsRead);
    EXPECT_GT(model.rowAt(1).lengthMs, 0);
    EXPECT_EQ(Mp3Builder::readFile(dir.filePath("t3.mp3")), before);
}
