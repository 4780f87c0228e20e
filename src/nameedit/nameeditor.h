#pragma once

#include <QObject>
#include <QString>

// The new name being edited (the NewName box's model): text with extension,
// a cursor (characters before the insertion point) and a selection of
// selectionLength characters after the cursor. Positions count UTF-16 units.
class NameEditor final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NameEditor)

public:
    explicit NameEditor(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    const QString& text() const { return m_text; }
    int cursor() const { return m_cursor; }
    int selectionLength() const { return m_selectionLength; }
    QString selectedText() const { return m_text.mid(m_cursor, m_selectionLength); }

    // Whole-text assignment: cursor 0, no selection, and textChanged() in
    // every case (the automatic tag update hangs on it).
    void setText(const QString& text);
    // Cursor clamped to 0..length; clears the selection.
    void setCursor(int position);
    // Selects length characters from start (both clamped to the text).
    void setSelection(int start, int length);
    // Mirrors an edit the box made by itself (paste, cut): text, cursor and
    // selection at once. textChanged() when the text differs, else
    // cursorChanged() when the cursor or selection moved.
    void setState(const QString& text, int cursor, int selectionLength);

    // Typing: inserts at the cursor, replacing the selection, and moves the
    // cursor behind the inserted text. Characters below code 32 (control
    // characters) are not inserted, as a one-line box ignores them.
    void type(const QString& text);
    // Deletes the selection, else the character before the cursor.
    void backSpace();
    // Deletes the selection, else the character after the cursor.
    void deleteForward();
    // Cursor one character left / right, to the start / end; no selection after.
    void moveLeft();
    void moveRight();
    void home();
    void end();

signals:
    // The text changed; emitted synchronously inside the change.
    void textChanged();
    // Cursor or selection moved without a text change.
    void cursorChanged();

private:
    void replaceSelection(const QString& with);

    QString m_text;
    int m_cursor = 0;
    int m_selectionLength = 0;
};
