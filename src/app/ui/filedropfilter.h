#pragma once

#include "app/openrequest.h"

#include <QObject>

#include <functional>

class QMimeData;
class QWidget;

// Takes drags of folders and audio files aimed anywhere at a window, also at
// its text boxes, which would otherwise take the path as text, and opens
// them once the drag is over. Other drags (text, a name part) go on as
// before. Install it on the application; it belongs to the window.
class FileDropFilter final : public QObject {
public:
    FileDropFilter(QWidget* window, std::function<void(const OpenRequest&)> open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static OpenRequest requestOf(const QMimeData* mime);

    QWidget* m_window;
    std::function<void(const OpenRequest&)> m_open;
};
