// The main window on the desktop: opening what a start or a drop names, its
// smallest size and the room a larger window gives its lists, captions from
// file names, and the MultiTagger's folder tree.
#include "windowfixture.h"

#include "app/openrequest.h"
#include "tagedit/ui/multitagger.h"

#include <QGroupBox>
#include <QMimeData>
#include <QScrollBar>
#include <QThread>
#include <QTreeView>
#include <QUrl>

namespace {

// Drops urls on target as a file manager does: enter, then drop.
bool dropUrls(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QApplication::processEvents();
    return drop.isAccepted();
}

// Height of the list's rows area and of one row.
std::pair<int, int> rowsArea(QListWidget* list)
{
    return { list->viewport()->height(), list->sizeHintForRow(0) };
}

} // namespace

TEST_F(WindowTest, AStartOrADropOpensTheFolderWithTheFileSelected)
{
    addTagged(QStringLiteral("A & B - Song.mp3"), QStringLiteral("A & B"), QStringLiteral("Song"));
    const QString other = dir.path() + QStringLiteral("/other");
    ASSERT_TRUE(QDir().mkpath(other));
    ASSERT_TRUE(Mp3Builder::writeFile(path(QStringLiteral("notes.txt")), "x"));
    settings.values[QStringLiteral("Settings")][QStringLiteral("Last Path")] = other + QLatin1Char('/');
    open();
    window->show();
    window->open(openRequestFor({ path(QStringLiteral("A & B - Song.mp3")) }, QString()));
    EXPECT_EQ(oldName(), QStringLiteral("A & B - Song.mp3"));
    EXPECT_EQ(box(FieldId::Artist), QStringLiteral("A & B"));
    // The caption shows the "&" rather than taking it for a mnemonic.
    EXPECT_TRUE(
        child<QGroupBox>(QStringLiteral("RenameFrame"))->title().startsWith(QStringLiteral("A && B - Song.mp3 (")));
    // A folder dropped even on a text box; a file on the list; nothing else.
    EXPECT_TRUE(dropUrls(newName(), { QUrl::fromLocalFile(other) }));
    EXPECT_EQ(window->folder(), other + QLatin1Char('/'));
    EXPECT_TRUE(dropUrls(fileList(), { QUrl::fromLocalFile(path(QStringLiteral("A & B - Song.mp3"))) }));
    EXPECT_EQ(oldName(), QStringLiteral("A & B - Song.mp3"));
    EXPECT_FALSE(dropUrls(fileList(), { QUrl::fromLocalFile(path(QStringLiteral("notes.txt"))) }));
    window->open(openRequestFor({ QStringLiteral("nowhere.mp3") }, dir.path()));
    EXPECT_EQ(window->statusText(), QStringLiteral("Cannot Open: nowhere.mp3"));
}

TEST_F(WindowTest, TheWindowCannotShrinkAndExtraRoomGoesToItsListsInWholeRows)
{
    addTagged(QStringLiteral("a - b - c.mp3"), QStringLiteral("Band"), QStringLiteral("Song"));
    open();
    window->show();
    select(QStringLiteral("a - b - c.mp3"));
    QApplication::processEvents();
    const QSize minimum = window->minimumSize();
    window->resize(200, 150);
    QApplication::processEvents();
    EXPECT_GE(window->width(), minimum.width());
    EXPECT_GE(window->height(), minimum.height());
    auto* parts = child<QListWidget>(QStringLiteral("PartsList"));
    const QSize filesBefore = fileList()->size();
    const int partsBefore = parts->height();
    window->resize(minimum + QSize(300, 367));
    QApplication::processEvents();
    EXPECT_GT(fileList()->width(), filesBefore.width());
    EXPECT_GT(fileList()->height(), filesBefore.height());
    EXPECT_GE(parts->height() - partsBefore, 120); // a fair share of the room
    for (QListWidget* list : { parts, formatList() }) {
        const auto [area, row] = rowsArea(list);
        ASSERT_GT(row, 0);
        EXPECT_EQ(area % row, 0) << list->objectName().toStdString();
    }
}

TEST_F(WindowTest, TheFormatMasksShowFourWholeRowsUncutFromTheSmallestSizeUp)
{
    addMp3(QStringLiteral("a.mp3"));
    open();
    window->show();
    select(QStringLiteral("a.mp3"));
    for (const QSize size : { QSize(900, 640), QSize(1024, 700), QSize(1400, 900) }) {
        SCOPED_TRACE(size.width());
        window->resize(size);
        QApplication::processEvents();
        ASSERT_EQ(window->size(), size);
        QListWidget* masks = formatList();
        const auto [area, row] = rowsArea(masks);
        ASSERT_GT(row, 0);
        EXPECT_GE(area / row, 4);
        EXPECT_FALSE(masks->horizontalScrollBar()->isVisible());
        for (int i = 0; i < masks->count(); ++i) {
            const QRect text = masks->visualItemRect(masks->item(i));
            EXPECT_GE(text.width(), masks->fontMetrics().horizontalAdvance(masks->item(i)->text()))
                << masks->item(i)->text().toStdString();
            EXPECT_LE(text.right(), masks->viewport()->width()) << masks->item(i)->text().toStdString();
        }
    }
}

TEST_F(WindowTest, TheMultiTaggerTreeOpensOnTheCurrentFolderInView)
{
    const QString deep = folder + QStringLiteral("/a/b/c/d");
    ASSERT_TRUE(QDir().mkpath(deep));
    MultiTagger tagger(services, prefs, deep);
    tagger.show();
    auto* tree = tagger.findChild<QTreeView*>(QStringLiteral("FTV"));
    ASSERT_NE(tree, nullptr);
    // The folders arrive from the model's own thread.
    for (int i = 0; i < 100; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    const QModelIndex current = tree->currentIndex();
    ASSERT_TRUE(current.isValid());
    const QRect shown = tree->visualRect(current);
    EXPECT_TRUE(tree->viewport()->rect().contains(shown)) << shown.y() << " in " << tree->viewport()->height();
    EXPECT_EQ(tagger.folder(), deep + QLatin1Char('/'));
    tagger.reject();
}
