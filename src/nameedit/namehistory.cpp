// The new name's own undo history: every text it had, as the user changed
// it by typing, part clicks, casing and cleanup commands, masks and replay.
#include "nameeditsession.h"

namespace {
// Enough for any editing session; the oldest changes go first.
constexpr int kMaxHistory = 1000;
} // namespace

NameEditSession::NameEditGroup::NameEditGroup(NameEditSession& s)
    : m_session(s)
{
    if (m_session.m_groupDepth++ == 0)
        m_session.m_groupKept = false;
}

NameEditSession::NameEditGroup::~NameEditGroup()
{
    --m_session.m_groupDepth;
}

void NameEditSession::trackNameChange()
{
    const NameState now { m_editor.text(), m_editor.cursor() };
    if (m_applyingHistory || now.text == m_shown.text) {
        m_shown = now;
        return;
    }
    if (m_groupDepth == 0 || !m_groupKept) {
        m_undo.append(m_shown);
        if (m_undo.size() > kMaxHistory)
            m_undo.removeFirst();
        m_redo.clear();
        m_groupKept = m_groupDepth > 0;
    }
    m_shown = now;
}

void NameEditSession::applyName(const NameState& state)
{
    m_applyingHistory = true;
    m_editor.setText(state.text);
    m_editor.setCursor(state.cursor);
    m_applyingHistory = false;
    m_shown = { m_editor.text(), m_editor.cursor() };
    rebuildPartsList();
}

bool NameEditSession::undoName()
{
    if (m_undo.isEmpty())
        return false;
    m_redo.append({ m_editor.text(), m_editor.cursor() });
    applyName(m_undo.takeLast());
    return true;
}

bool NameEditSession::redoName()
{
    if (m_redo.isEmpty())
        return false;
    m_undo.append({ m_editor.text(), m_editor.cursor() });
    applyName(m_redo.takeLast());
    return true;
}

void NameEditSession::resetNameHistory()
{
    m_undo.clear();
    m_redo.clear();
    m_shown = { m_editor.text(), m_editor.cursor() };
}
