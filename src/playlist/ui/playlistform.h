#pragma once

#include "platform/audiofiles.h"

#include <QDialog>

class QListWidget;
struct PlatformServices;

// The playlist creator for one folder: lists the folder's audio files of
// those formats (every format, or MP3 files alone), all selected, and writes the selected ones as an extended M3U file
// into that folder (questions and messages through services.prompter). Ctrl+Shift+A selects every file; Ctrl+A alone
// does nothing.
class PlaylistForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaylistForm)

public:
    PlaylistForm(PlatformServices& services, const QString& folder, ListedFormats formats, QWidget* parent = nullptr);

    void selectAllFiles();
    QString folder() const { return m_folder; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createClicked();

    PlatformServices& m_services;
    QString m_folder;
    QListWidget* m_files = nullptr;
};
