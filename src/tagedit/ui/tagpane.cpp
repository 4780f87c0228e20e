#include "tagpane.h"

#include "coverpane.h"
#include "tagpanel.h"
#include "tagpanelbuilder.h"

#include "nameedit/nameeditsession.h"
#include "platform/ui/buttonicons.h"
#include "tagedit/manyfiles.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QString clearTip(int index)
{
    switch (FieldId(index)) {
    case FieldId::OrigArtist:
        return QStringLiteral("Clear The Contents Of The Original Artist Field");
    case FieldId::CopyRight:
        return QStringLiteral("Reset The Copyright Field To False");
    default:
        return QStringLiteral("Clear The Contents Of The ") + QString::fromLatin1(fieldInfo(index).name)
            + QStringLiteral(" Field");
    }
}

} // namespace

TagPane::TagPane(PlatformServices& services, NameEditSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Internal ID3 Tags (Edit As Necessary)"), parent)
{
    setObjectName(QStringLiteral("TagFrame"));
    m_tagBar = new QToolBar(QStringLiteral("ID3"));
    m_tagBar->setObjectName(QStringLiteral("ID3ToolBar"));
    m_tagBar->setIconSize(QSize(16, 16));
    QWidget* boxes = buildBoxes();

    m_panel = new TagPanel(this);
    m_panel->initBoxes(boxes);
    m_panel->setStepSink([&session](const QString& step) { session.recordStep(step); });
    TagPanel::PartDrop drop;
    drop.dragging = [this, &session] { return isActiveWindow() && session.parts().partDragging(); };
    drop.part = [&session] { return session.parts().selectedPart(); };
    drop.finish = [&session] { session.parts().setPartDragging(false); };
    drop.rebuild = [&session] { session.rebuildPartsList(); };
    m_panel->setPartDrop(std::move(drop));

    m_coverPane = new CoverPane(services);
    // Scrolled like the boxes, so that the window's smallest size stays.
    auto* coverArea = new QScrollArea;
    coverArea->setObjectName(QStringLiteral("CoverArea"));
    coverArea->setWidget(m_coverPane);
    coverArea->setWidgetResizable(true);
    coverArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    coverArea->setFrameShape(QFrame::NoFrame);
    coverArea->setMinimumHeight(m_boxArea->minimumHeight());
    coverArea->setFixedWidth(m_coverPane->sizeHint().width() + coverArea->verticalScrollBar()->sizeHint().width());
    auto* boxesAndCover = new QHBoxLayout;
    boxesAndCover->addWidget(m_boxArea, 1);
    boxesAndCover->addWidget(coverArea);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tagBar);
    layout->addLayout(boxesAndCover, 1);
}

QWidget* TagPane::buildBoxes()
{
    const TagPanelWidgets panel = buildTagPanel(this);
    m_boxArea = panel.area;
    m_boxArea->verticalScrollBar()->setObjectName(QStringLiteral("EditScroll"));
    m_boxArea->setMinimumHeight(140);
    panel.grid->setVerticalSpacing(4);
    for (int i = 0; i < kFieldCount; ++i) {
        m_boxes[size_t(i)] = panel.boxes[size_t(i)];
        m_labels[size_t(i)] = panel.labels[size_t(i)];
        auto* clear = new QToolButton(panel.inner);
        clear->setObjectName(QStringLiteral("ClrImg%1").arg(i));
        clear->setProperty("box", QString::fromLatin1(fieldInfo(i).boxName));
        clear->setToolTip(clearTip(i));
        clear->setIcon(buttonIcon(QStringLiteral("ClrImg")));
        clear->setAutoRaise(true);
        clear->setFocusPolicy(Qt::NoFocus);
        connect(clear, &QToolButton::clicked, this, [this, i] { m_panel->clearBox(i); });
        panel.grid->addWidget(clear, i, 2);
        m_clearButtons[size_t(i)] = clear;
    }
    panel.grid->setRowStretch(kFieldCount, 1);
    // Once every field shows, more height is of no use here.
    m_boxArea->setMaximumHeight(panel.inner->sizeHint().height() + 2 * m_boxArea->frameWidth());
    return panel.inner;
}

TagTexts TagPane::texts() const
{
    TagTexts texts;
    for (int i = 0; i < kFieldCount; ++i)
        texts[size_t(i)] = m_panel->text(i);
    return texts;
}

void TagPane::showFile(const TagTexts& texts, const std::array<bool, kFieldCount>& held,
    const QList<CoverPicture>& pictures, const QString& folder)
{
    // Assigning the boxes passes through their change handling, so a
    // recording in progress records the values read.
    for (int i = 0; i < kFieldCount; ++i) {
        m_panel->setText(i, texts[size_t(i)]);
        m_panel->setHeld(i, held[size_t(i)]);
    }
    m_coverPane->showPictures(pictures, folder);
    m_tagBar->setEnabled(true);
}

void TagPane::showNothing()
{
    m_coverPane->showNothing();
    setAllBoxProps(QStringLiteral("Text"), QString());
}

void TagPane::showMany(const CommonTags& common, const QString& folder)
{
    m_coverPane->showMany(common, folder);
    m_coverPane->setEnabled(true);
    const TagTexts shown = common.texts();
    for (int i = 0; i < kFieldCount; ++i) {
        m_panel->setText(i, shown[size_t(i)]);
        // The copyright bit is the audio's, not a tag's.
        const bool editable = FieldId(i) != FieldId::CopyRight;
        m_boxes[size_t(i)]->setEnabled(editable);
        m_labels[size_t(i)]->setEnabled(editable);
        m_clearButtons[size_t(i)]->setEnabled(editable);
    }
    // What the boxes show is what a save compares with.
    keepShownAsUnchanged();
    setEnabled(true);
}

MultiTagValues TagPane::manyChanges() const
{
    return changedFields(m_manyShown, texts());
}

void TagPane::setFileControlsEnabled(bool enabled)
{
    setEnabled(enabled);
    m_boxArea->verticalScrollBar()->setEnabled(enabled);
    setAllBoxProps(QStringLiteral("Enabled"), enabled);
    for (int i = 0; i < kFieldCount; ++i) {
        m_labels[size_t(i)]->setEnabled(enabled);
        m_clearButtons[size_t(i)]->setEnabled(enabled);
    }
}

void TagPane::setAllBoxProps(const QString& property, const QVariant& value)
{
    for (int i = 0; i < kFieldCount; ++i) {
        QWidget* box = m_boxes[size_t(i)];
        if (property == QLatin1String("Width"))
            box->setFixedWidth(value.toInt());
        else if (property == QLatin1String("Enabled"))
            box->setEnabled(value.toBool());
        else if (property == QLatin1String("Text"))
            m_panel->setText(i, value.toString());
    }
}
