#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// What the RecordEditing box and the EditRecorded indicator show.
struct RecordingIndicator {
    bool checked = false; // RecordEditing ticked
    QString caption; // "Recording Edits" / "Not Recording"
    int red = 64, green = 64, blue = 64; // caption colour
    QString toolTip;
    bool editRecordedVisible = false; // EditRecorded shown
};

// The recorded edit steps ("Keyword:argument"), kept in memory only.
// editSteps always ends with one empty slot, so n steps give n + 1 entries.
class StepRecorder final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StepRecorder)

public:
    explicit StepRecorder(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    bool recordingEdits() const { return m_recording; }
    const QStringList& editSteps() const { return m_steps; }
    // Number of recorded steps (the trailing empty slot not counted).
    int stepCount() const { return int(m_steps.size()) - 1; }

    // Fills the empty last slot and appends a new one; nothing unless recording.
    void recordStep(const QString& step);

    // Discards the previous recording and starts a new one.
    void startRecording();
    // Stops; the steps stay for any number of replays. EditRecorded is shown
    // when at least one step was recorded. Nothing when not recording.
    void stopRecording();
    // Ticking / unticking the RecordEditing box.
    void setRecording(bool on) { on ? startRecording() : stopRecording(); }

    RecordingIndicator indicator() const;

signals:
    // Recording started or stopped.
    void recordingChanged(bool recording);

private:
    bool m_recording = false;
    bool m_editRecordedVisible = false;
    QStringList m_steps { QString() };
};
