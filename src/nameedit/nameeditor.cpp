#include "nameeditor.h"

void NameEditor::setText(const QString& text)
{
    m_text = text;
    m_cursor = 0;
    m_selectionLength = 0;
    emit textChanged();
}

void NameEditor::setCursor(int position)
{
    setSelection(position, 0);
}

void NameEditor::setSelection(int start, int length)
{
    const int size = int(m_text.size());
    const int newCursor = qBound(0, start, size);
    const int newLength = qBound(0, length, size - newCursor);
    if (newCursor == m_cursor && newLength == m_selectionLength)
        return;
    m_cursor = newCursor;
    m_selectionLength = newLength;
    emit cursorChanged();
}

void NameEditor::setState(const QString& text, int cursor, int selectionLength)
{
    if (text == m_text) {
        setSelection(cursor, selectionLength);
        return;
    }
    m_text = text;
    m_cursor = qBound(0, cursor, int(m_text.size()));
    m_selectionLength = qBound(0, selectionLength, int(m_text.size()) - m_cursor);
    emit textChanged();
}

void NameEditor::replaceSelection(const QString& with)
{
    if (with.isEmpty() && m_selectionLength == 0)
        return;
    m_text.replace(m_cursor, m_selectionLength, with);
    m_cursor += int(with.size());
    m_selectionLength = 0;
    emit textChanged();
}

void NameEditor::type(const QString& text)
{
    QString printable;
    printable.reserve(text.size());
    for (QChar c : text)
        if (c.unicode() >= 32)
            printable += c;
    replaceSelection(printable);
}

void NameEditor::backSpace()
{
    if (m_selectionLength == 0) {
        if (m_cursor == 0)
            return;
        --m_cursor;
        m_selectionLength = 1;
    }
    replaceSelection(QString());
}

void NameEditor::deleteForward()
{
    if (m_selectionLength == 0) {
        if (m_cursor >= m_text.size())
            return;
        m_selectionLength = 1;
    }
    replaceSelection(QString());
}

void NameEditor::moveLeft()
{
    setCursor(m_cursor - 1);
}

void NameEditor::moveRight()
{
    setCursor(m_cursor + 1);
}

void NameEditor::home()
{
    setCursor(0);
}

void NameEditor::end()
{
    setCursor(int(m_text.size()));
}
