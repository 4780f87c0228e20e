// The tag panel wired: one file's texts shown and given back, many files'
// common values with only the boxes the user changed written, the clear
// buttons, and a box's change recorded as a step of the name session.
#include "tagedit/ui/tagpane.h"

#include "nameedit/sessionfixture.h"
#include "support/platformdoubles.h"
#include "tagedit/manyfiles.h"
#include "tagedit/tableedits.h"
#include "tagedit/ui/coverpane.h"
#include "tagedit/ui/tagpanel.h"

#include <QLabel>
#include <QToolButton>

namespace {

class TagPaneTest : public SessionTest {
protected:
    QWidget* box(FieldId id) const { return pane.panel().box(id); }
    QToolButton* clearButton(FieldId id) const
    {
        return pane.findChild<QToolButton*>(QStringLiteral("ClrImg%1").arg(int(id)));
    }

    PlatformDoubles doubles;
    TagPane pane { doubles.services, session };
};

TagTexts texts(std::initializer_list<std::pair<FieldId, QString>> values)
{
    TagTexts t;
    t[size_t(FieldId::CopyRight)] = QStringLiteral("False");
    for (const auto& [id, text] : values)
        t[size_t(id)] = text;
    return t;
}

TEST_F(TagPaneTest, OneFileIsShownAndGivenBackAndAClearButtonEmptiesItsBox)
{
    std::array<bool, kFieldCount> held;
    held.fill(true);
    held[size_t(FieldId::Composer)] = false;
    const TagTexts file = texts({ { FieldId::Title, "Song" }, { FieldId::Album, "Record" } });
    pane.setFileControlsEnabled(true);
    pane.showFile(file, held, {}, QString());
    EXPECT_EQ(pane.texts(), file);
    EXPECT_TRUE(box(FieldId::Title)->isEnabled());
    EXPECT_FALSE(box(FieldId::Composer)->isEnabled()); // no place for it in the format
    EXPECT_EQ(pane.findChild<QLabel*>(QStringLiteral("CoverFacts"))->text(), QStringLiteral("No Cover"));

    clearButton(FieldId::Album)->click();
    EXPECT_EQ(pane.panel().text(FieldId::Album), QString());
    EXPECT_EQ(pane.panel().text(FieldId::Title), QStringLiteral("Song"));

    pane.showNothing();
    pane.setFileControlsEnabled(false);
    EXPECT_EQ(pane.panel().text(FieldId::Title), QString());
    EXPECT_FALSE(box(FieldId::Title)->isEnabled());
    EXPECT_FALSE(clearButton(FieldId::Title)->isEnabled());
}

TEST_F(TagPaneTest, ManyFilesShowCommonValuesAndOnlyChangedBoxesAreWritten)
{
    CommonTags common;
    common.add(texts({ { FieldId::Title, "One" }, { FieldId::Album, "Same" } }), std::nullopt);
    common.add(texts({ { FieldId::Title, "Two" }, { FieldId::Album, "Same" } }), std::nullopt);
    pane.setFileControlsEnabled(false);
    pane.showMany(common, QString());
    EXPECT_EQ(pane.panel().text(FieldId::Title), kDifferentValues);
    EXPECT_EQ(pane.panel().text(FieldId::Album), QStringLiteral("Same"));
    EXPECT_TRUE(box(FieldId::Artist)->isEnabled());
    EXPECT_FALSE(box(FieldId::CopyRight)->isEnabled()); // the audio's bit, never a tag
    EXPECT_TRUE(pane.isEnabled());

    EXPECT_FALSE(pane.manyChanges().isIncluded(FieldId::Title));
    pane.panel().setText(FieldId::Artist, QStringLiteral("Band"));
    clearButton(FieldId::Album)->click(); // emptied on purpose: written
    const MultiTagValues changes = pane.manyChanges();
    EXPECT_TRUE(changes.isIncluded(FieldId::Artist));
    EXPECT_EQ(changes.text(FieldId::Artist), QStringLiteral("Band"));
    EXPECT_TRUE(changes.isIncluded(FieldId::Album));
    EXPECT_FALSE(changes.isIncluded(FieldId::Title));

    pane.keepShownAsUnchanged();
    EXPECT_FALSE(pane.manyChanges().isIncluded(FieldId::Artist));
}

TEST_F(TagPaneTest, ABoxChangedWhileRecordingIsAStep)
{
    session.setRecording(true);
    pane.panel().setText(FieldId::Album, QStringLiteral("Live"));
    EXPECT_TRUE(session.recorder().editSteps().contains(QStringLiteral("Album:Live")));
}

} // namespace
