#pragma once

#include <QObject>
#include <QTimer>

class QFileSystemModel;
class QTreeView;

// Keeps a folder tree's current folder in view while the model's background
// thread adds folders above it and pushes it down, until the user takes
// over with the mouse, the wheel or a key. Owned by the tree.
class FolderFollower final : public QObject {
public:
    FolderFollower(QTreeView* tree, QFileSystemModel* model);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void revealLater();
    void reveal();

    QTreeView* m_tree;
    QTimer m_timer;
    bool m_following = true;
};
