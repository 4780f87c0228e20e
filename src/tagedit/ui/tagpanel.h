#pragma once

#include "tags/fieldcatalogue.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>

class PartsList;
class QComboBox;
class QLineEdit;
class QScrollArea;
class QWidget;
class StepRecorder;

// The behaviour of a window's twenty tag boxes. The window creates the boxes
// itself, inside a QScrollArea, with the object names of the field catalogue
// ("ID3Artist" ... "ID3Tempo"): a QLineEdit each, except an editable
// QComboBox "ID3Genre" and a non-editable QComboBox "ID3Copyright". Then it
// creates one instance and calls initBoxes once. The instance holds no tag
// values: loading and saving the boxes stay with the window (Text/setText
// help with that).
//
// After binding:
// - every change of a box's text, by the user or by code, hands the step
//   keyword + ":" + the whole text ("Album:Best Of") to the step sink; the
//   sink decides whether recording is on;
// - text typed into the genre box is completed from panelGenreList (the
//   typed prefix stays, the completed rest is selected); Backspace and text
//   set by code are never completed;
// - a text box that gains the focus from the keyboard (Tab, shortcut, code)
//   scrolls the panel so that it sits 143 pixels below the top of the
//   visible area (or at its own place near the top); a box clicked with the
//   mouse never scrolls the panel;
// - with a part drop configured (main window only), dropping a dragged name
//   part onto any box but Copyright replaces the box's text with the part.
class TagPanel final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TagPanel)

public:
    // Receives one step text per change, e.g. "Artist:ab".
    using StepSink = std::function<void(const QString& step)>;

    // The main window's dragged name part. All four must be set.
    struct PartDrop {
        std::function<bool()> dragging; // a part is being dragged (partDragging)
        std::function<QString()> part; // the dragged part's trimmed text (selectedPart)
        std::function<void()> finish; // ends the drag (partDragging := false)
        std::function<void()> rebuild; // rebuildPartsList, run after the drop
    };

    // Pixels kept between the top of the visible area and a box reached by
    // the keyboard.
    static constexpr int kFocusOffset = 143;

    explicit TagPanel(QObject* parent = nullptr);
    ~TagPanel() override;

    // Finds the twenty boxes among host's descendants by object name, binds
    // to them and to the QScrollArea that holds them, fills the genre list
    // (emptied first) and sets the copyright list to "False", "True" with
    // "True" selected. False, binding nothing, when a box is missing or of
    // the wrong kind. Call once.
    bool initBoxes(QWidget* host);
    bool isBound() const { return m_bound; }

    void setStepSink(StepSink sink) { m_stepSink = std::move(sink); }
    // Records through recorder, which keeps a step only while recording is
    // on. The recorder must outlive the binding.
    void setStepRecorder(StepRecorder& recorder);
    // Without a part drop (the MultiTagger), drops of parts have no effect.
    void setPartDrop(PartDrop drop) { m_partDrop = std::move(drop); }
    // The part drop of the main window: parts reports and ends the drag,
    // rebuild runs rebuildPartsList. parts must outlive the binding.
    void setPartDrop(PartsList& parts, std::function<void()> rebuild);

    // Box number index (0..19, catalogue order); null before binding or out of range.
    QWidget* box(int index) const;
    QWidget* box(FieldId id) const { return box(int(id)); }
    // The box's text: the line's text, the genre box's edit text, the
    // copyright box's selected entry ("False"/"True").
    QString text(int index) const;
    QString text(FieldId id) const { return text(int(id)); }
    // Sets the box's text; the copyright box selects the entry equal to
    // text and ignores any other text.
    void setText(int index, const QString& text);
    void setText(FieldId id, const QString& text) { setText(int(id), text); }
    // The clear button: the copyright box goes to "False", any other box empty.
    void clearBox(int index);
    // A box of a field the file's format has no place for is greyed out.
    void setHeld(int index, bool held);

    // Drops the dragged part onto box index, as a drop event does: only with
    // a part drop configured, a part being dragged and a box other than
    // Copyright. True when the text was replaced.
    bool dropPartOnBox(int index);

    // Last key pressed in the genre box was Backspace.
    bool genreBackspace() const { return m_genreBackspace; }

    // The scroll value that shows a box whose top is boxTop pixels into the
    // panel at kFocusOffset below the visible top, limited to 0..maximum.
    static int scrollValueForBox(int boxTop, int maximum);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int indexOf(const QObject* box) const;
    void onTextChanged(int index);
    void onGenreTextChanged();
    void completeGenre();
    void scrollToFocus(QWidget* box);
    void record(int index);

    std::array<QPointer<QWidget>, kFieldCount> m_boxes {};
    QLineEdit* m_genreEdit = nullptr;
    QPointer<QScrollArea> m_scroll;
    bool m_bound = false;
    bool m_genreBackspace = false;
    bool m_completing = false;
    StepSink m_stepSink;
    PartDrop m_partDrop;
};
