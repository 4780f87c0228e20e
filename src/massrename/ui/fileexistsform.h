#pragma once

#include "platform/existingtargetprompt.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <array>

class QLabel;
class QPushButton;

// The prompt shown when a rename's new name is already taken in its folder:
// the facts of both files side by side, answered with Overwrite or Skip.
// It cannot be closed any other way (close box and Escape are refused).
class FileExistsForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileExistsForm)

public:
    // Five texts per file, in row order: name, size, creation time, last
    // access time, modification time. currentPath is the folder, ending in "/".
    FileExistsForm(const QString& currentPath, const QStringList& existingFile, const QStringList& renamedFile,
        QWidget* parent = nullptr);

    // Overwrite or Skip once a button was pressed, None before.
    ExistingTargetAnswer fileAnswer() const { return m_answer; }
    bool closeGuard() const { return m_guard; }

    QLabel* existingLabel(int row) const { return m_existing.at(size_t(row)); }
    QLabel* renamedLabel(int row) const { return m_renamed.at(size_t(row)); }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void overwrite();
    void skip();

    std::array<QLabel*, 5> m_existing {};
    std::array<QLabel*, 5> m_renamed {};
    ExistingTargetAnswer m_answer = ExistingTargetAnswer::None;
    bool m_guard = true;
};
