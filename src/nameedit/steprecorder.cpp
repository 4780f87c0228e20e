#include "steprecorder.h"

void StepRecorder::recordStep(const QString& step)
{
    if (!m_recording)
        return;
    m_steps.last() = step;
    m_steps.append(QString());
}

void StepRecorder::startRecording()
{
    if (m_recording)
        return;
    m_recording = true;
    m_editRecordedVisible = false;
    m_steps = QStringList { QString() };
    emit recordingChanged(true);
}

void StepRecorder::stopRecording()
{
    if (!m_recording)
        return;
    m_recording = false;
    if (stepCount() > 0)
        m_editRecordedVisible = true;
    emit recordingChanged(false);
}

RecordingIndicator StepRecorder::indicator() const
{
    RecordingIndicator ind;
    ind.checked = m_recording;
    ind.editRecordedVisible = m_editRecordedVisible;
    if (m_recording) {
        ind.caption = QStringLiteral("Recording Edits");
        ind.red = 255;
        ind.green = 0;
        ind.blue = 0;
        ind.toolTip = QStringLiteral("Recording Edit Steps, Click To Finish Recording");
    } else {
        ind.caption = QStringLiteral("Not Recording");
        ind.red = ind.green = ind.blue = 64;
        ind.toolTip = QStringLiteral("Not Recording Edit Steps, Click To Start Recording");
    }
    return ind;
}
