#include "tagpanel.h"

#include "nameedit/partslist.h"
#include "nameedit/steprecorder.h"
#include "tagedit/panelgenrelist.h"

#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

namespace {

constexpr int kGenre = int(FieldId::Genre);
constexpr int kCopyright = int(FieldId::CopyRight);

bool isTextBox(int index)
{
    return index != kGenre && index != kCopyright;
}

QScrollArea* enclosingScrollArea(QWidget* w)
{
    for (QWidget* p = w ? w->parentWidget() : nullptr; p; p = p->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(p))
            return area;
    return nullptr;
}

} // namespace

TagPanel::TagPanel(QObject* parent)
    : QObject(parent)
{
}

TagPanel::~TagPanel() = default;

bool TagPanel::initBoxes(QWidget* host)
{
    if (!host || m_bound)
        return false;
    std::array<QWidget*, kFieldCount> found {};
    for (int i = 0; i < kFieldCount; ++i) {
        const QString name = QLatin1String(fieldInfo(i).boxName);
        QWidget* w = nullptr;
        if (i == kGenre) {
            auto* combo = host->findChild<QComboBox*>(name);
            if (combo && combo->isEditable() && combo->lineEdit())
                w = combo;
        } else if (i == kCopyright) {
            auto* combo = host->findChild<QComboBox*>(name);
            if (combo && !combo->isEditable())
                w = combo;
        } else {
            w = host->findChild<QLineEdit*>(name);
        }
        if (!w)
            return false;
        found[i] = w;
    }
    QScrollArea* scroll = enclosingScrollArea(found[0]);
    if (!scroll)
        return false;

    m_scroll = scroll;
    for (int i = 0; i < kFieldCount; ++i)
        m_boxes[i] = found[i];

    for (int i = 0; i < kFieldCount; ++i) {
        if (!isTextBox(i))
            continue;
        auto* edit = static_cast<QLineEdit*>(found[i]);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this, [this, i] { onTextChanged(i); });
    }

    // Genre: our own completion instead of the combo's, and typed text never
    // becomes a list entry.
    auto* genre = static_cast<QComboBox*>(found[kGenre]);
    genre->setCompleter(nullptr);
    genre->setInsertPolicy(QComboBox::NoInsert);
    genre->clear();
    genre->addItems(panelGenreList());
    genre->setCurrentIndex(-1);
    genre->setEditText(QString());
    m_genreEdit = genre->lineEdit();
    genre->installEventFilter(this);
    m_genreEdit->installEventFilter(this);
    connect(m_genreEdit, &QLineEdit::textChanged, this, &TagPanel::onGenreTextChanged);

    auto* copyright = static_cast<QComboBox*>(found[kCopyright]);
    copyright->clear();
    copyright->addItems({ QStringLiteral("False"), QStringLiteral("True") });
    copyright->setCurrentIndex(1);
    connect(copyright, &QComboBox::currentTextChanged, this, [this] { onTextChanged(kCopyright); });

    m_bound = true;
    return true;
}

void TagPanel::setStepRecorder(StepRecorder& recorder)
{
    m_stepSink = [&recorder](const QString& step) { recorder.recordStep(step); };
}

void TagPanel::setPartDrop(PartsList& parts, std::function<void()> rebuild)
{
    m_partDrop = { [&parts] { return parts.partDragging(); }, [&parts] { return parts.selectedPart(); },
        [&parts] { parts.setPartDragging(false); }, std::move(rebuild) };
}

QWidget* TagPanel::box(int index) const
{
    if (index < 0 || index >= kFieldCount)
        return nullptr;
    return m_boxes[index];
}

QString TagPanel::text(int index) const
{
    QWidget* w = box(index);
    if (!w)
        return {};
    if (index == kGenre || index == kCopyright)
        return static_cast<QComboBox*>(w)->currentText();
    return static_cast<QLineEdit*>(w)->text();
}

void TagPanel::setText(int index, const QString& text)
{
    QWidget* w = box(index);
    if (!w)
        return;
    if (index == kGenre) {
        static_cast<QComboBox*>(w)->setEditText(text);
    } else if (index == kCopyright) {
        auto* combo = static_cast<QComboBox*>(w);
        const int pos = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (pos >= 0)
            combo->setCurrentIndex(pos);
    } else {
        static_cast<QLineEdit*>(w)->setText(text);
    }
}

void TagPanel::clearBox(int index)
{
    if (index == kCopyright) {
        if (auto* combo = static_cast<QComboBox*>(box(index)))
            combo->setCurrentIndex(0);
        return;
    }
    setText(index, QString());
}

void TagPanel::setHeld(int index, bool held)
{
    if (QWidget* w = box(index))
        w->setEnabled(held);
}

bool TagPanel::dropPartOnBox(int index)
{
    if (!box(index) || index == kCopyright)
        return false;
    if (!m_partDrop.dragging || !m_partDrop.part || !m_partDrop.finish || !m_partDrop.rebuild)
        return false;
    if (!m_partDrop.dragging())
        return false;
    setText(index, m_partDrop.part());
    m_partDrop.finish();
    m_partDrop.rebuild();
    return true;
}

int TagPanel::scrollValueForBox(int boxTop, int maximum)
{
    const int value = boxTop - kFocusOffset;
    if (value < 0)
        return 0;
    return qMin(value, qMax(0, maximum));
}

int TagPanel::indexOf(const QObject* box) const
{
    for (int i = 0; i < kFieldCount; ++i)
        if (m_boxes[i] == box)
            return i;
    if (box && box == m_genreEdit)
        return kGenre;
    return -1;
}

bool TagPanel::eventFilter(QObject* watched, QEvent* event)
{
    const int index = indexOf(watched);
    if (index < 0)
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress:
        if (index == kGenre)
            m_genreBackspace = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backspace;
        break;
    case QEvent::FocusIn:
        if (isTextBox(index) && static_cast<QFocusEvent*>(event)->reason() != Qt::MouseFocusReason)
            scrollToFocus(static_cast<QWidget*>(watched));
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        // A dragged name part is taken whole; other drags keep the box's own handling.
        if (index != kCopyright && m_partDrop.dragging && m_partDrop.dragging()) {
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        }
        break;
    case QEvent::Drop:
        if (index != kCopyright && dropPartOnBox(index)) {
            static_cast<QDropEvent*>(event)->acceptProposedAction();
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TagPanel::onTextChanged(int index)
{
    record(index);
}

void TagPanel::onGenreTextChanged()
{
    if (m_completing)
        return; // the completion's own change; recorded once below
    // Only typed text is completed: a text set by code (a loaded tag, an
    // empty box) stays as it is.
    if (!m_genreBackspace && m_genreEdit->isModified())
        completeGenre();
    record(kGenre);
}

void TagPanel::completeGenre()
{
    auto* genre = static_cast<QComboBox*>(box(kGenre));
    const QString typed = m_genreEdit->text();
    const int pos = findGenreCompletion(panelGenreList(), typed);
    if (pos < 0 || pos >= genre->count())
        return;
    m_completing = true;
    genre->setCurrentIndex(pos);
    const QString entry = genre->itemText(pos);
    if (m_genreEdit->text() != entry)
        m_genreEdit->setText(entry);
    // The typed prefix stays; the completed rest is selected, so the next
    // typed character replaces it.
    m_genreEdit->setSelection(int(entry.size()), int(typed.size() - entry.size()));
    m_completing = false;
}

void TagPanel::scrollToFocus(QWidget* box)
{
    if (!m_scroll || !m_scroll->widget())
        return;
    QScrollBar* bar = m_scroll->verticalScrollBar();
    const int top = box->mapTo(m_scroll->widget(), QPoint(0, 0)).y();
    bar->setValue(scrollValueForBox(top, bar->maximum()));
}

void TagPanel::record(int index)
{
    if (m_stepSink && m_bound)
        m_stepSink(QLatin1String(fieldInfo(index).name) + QLatin1Char(':') + text(index));
}
