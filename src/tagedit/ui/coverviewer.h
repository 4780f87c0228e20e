#pragma once

#include <QDialog>
#include <QImage>

// The whole picture in a window of its own (object name "CoverViewer"),
// scrolled when it is larger than most of the screen.
class CoverViewer final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CoverViewer)

public:
    CoverViewer(const QImage& image, const QString& title, QWidget* parent = nullptr);
};
