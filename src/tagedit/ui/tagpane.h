#pragma once

#include "tagedit/multitagwriter.h"
#include "tagedit/tagtexts.h"
#include "tags/coverpicture.h"

#include <QGroupBox>

#include <array>

class CommonTags;
class CoverPane;
class NameEditSession;
class QLabel;
class QScrollArea;
class QToolBar;
class QToolButton;
class TagPanel;
struct PlatformServices;

// The tag panel ("TagFrame"): the twenty tag boxes with their labels and
// clear buttons, the cover pane beside them and the tag toolbar above. It
// shows one file's tags, many files' common values or nothing, and gives
// back what the boxes hold; saving, re-reading and their prompts stay with
// the window. A box's change is a step of the session's recording, and a
// name part dragged from the session's parts list drops onto a box.
class TagPane final : public QGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TagPane)

public:
    // services and session must outlive the pane.
    TagPane(PlatformServices& services, NameEditSession& session, QWidget* parent = nullptr);

    TagPanel& panel() const { return *m_panel; }
    CoverPane& coverPane() const { return *m_coverPane; }
    // An empty toolbar for the window's tag commands.
    QToolBar* tagBar() const { return m_tagBar; }

    TagTexts texts() const;
    // One file's tags: held says which fields its format has a place for.
    void showFile(const TagTexts& texts, const std::array<bool, kFieldCount>& held, const QList<CoverPicture>& pictures,
        const QString& folder);
    // No file: every box empty, no cover.
    void showNothing();
    // Many files: their common values and cover, every box but Copyright
    // (the audio's bit) editable.
    void showMany(const CommonTags& common, const QString& folder);
    // The boxes the user changed since showMany, as the values a save writes.
    MultiTagValues manyChanges() const;
    // What the boxes show now counts as unchanged.
    void keepShownAsUnchanged() { m_manyShown = texts(); }
    void setFileControlsEnabled(bool enabled);
    // Sets "Width", "Enabled" or "Text" on every tag box (not the labels).
    void setAllBoxProps(const QString& property, const QVariant& value);

private:
    QWidget* buildBoxes();

    std::array<QWidget*, kFieldCount> m_boxes {};
    std::array<QLabel*, kFieldCount> m_labels {};
    std::array<QToolButton*, kFieldCount> m_clearButtons {};
    QScrollArea* m_boxArea = nullptr;
    QToolBar* m_tagBar = nullptr;
    TagPanel* m_panel = nullptr;
    CoverPane* m_coverPane = nullptr;
    // What showMany put into the boxes, after their own handling.
    TagTexts m_manyShown;
};
