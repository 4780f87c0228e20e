// The folder tree FTV: setting a path selects it, reports it once and
// brings it into view; folders only.
#include "app/ui/foldertree.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents();
}

} // namespace

TEST(FolderTree, SetPathSelectsReportsAndShowsTheFolderAndRefusesWhatIsNotOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString deep = dir.path() + QStringLiteral("/a/b/c");
    ASSERT_TRUE(QDir().mkpath(deep));
    FolderTree tree;
    tree.resize(300, 200);
    QStringList reported;
    QObject::connect(&tree, &FolderTree::folderChanged, [&reported](const QString& f) { reported << f; });

    // The window sets its folder before it is shown.
    ASSERT_TRUE(tree.setPath(deep));
    tree.show();
    EXPECT_EQ(tree.path(), deep + QLatin1Char('/'));
    EXPECT_EQ(reported, QStringList { deep + QLatin1Char('/') });
    settle(800);
    const QModelIndex current = tree.currentIndex();
    ASSERT_TRUE(current.isValid());
    for (QModelIndex p = current.parent(); p.isValid(); p = p.parent())
        EXPECT_TRUE(tree.isExpanded(p)) << p.data().toString().toStdString();
    EXPECT_EQ(current.data(QFileSystemModel::FilePathRole).toString(), deep);
    // Rows sorted in after the folder was chosen must not push it out of view.
    EXPECT_TRUE(tree.viewport()->rect().contains(tree.visualRect(current)));

    // The same folder again is reported again (the file list is refreshed).
    ASSERT_TRUE(tree.setPath(deep + QLatin1Char('/')));
    EXPECT_EQ(reported.size(), 2);

    QFile file(deep + QStringLiteral("/song.mp3"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(tree.setPath(file.fileName()));
    EXPECT_FALSE(tree.setPath(deep + QStringLiteral("/missing")));
    EXPECT_FALSE(tree.setPath(QString()));
    EXPECT_EQ(tree.path(), deep + QLatin1Char('/'));
    EXPECT_EQ(reported.size(), 2);
}
