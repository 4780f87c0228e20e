// The MultiTagger's Covers buttons are wired to cover runs on the selected
// files, read back with mutagen, and Undo Last Run puts each run back. The
// rules themselves are tested with CoverBatch.
#include "tagedit/ui/multitagger.h"

#include "platform/fakes/scriptedprompter.h"
#include "settings/preferences.h"
#include "support/id3builder.h"
#include "support/platformdoubles.h"
#include "support/tagfiles.h"
#include "tags/encodedfiles.h"
#include "tags/imageheader.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <functional>

namespace E = EncodedFiles;
namespace B = Id3Builder;

namespace {

// The APIC frames as [type, description, SHA-1, width of the image], read by
// mutagen (the width from the image's own header).
constexpr const char* kApicScript = R"(
import base64, json, sys
from mutagen.id3 import ID3
print(json.dumps([[int(f.type), f.desc, base64.b64encode(f.data).decode()]
                  for f in ID3(sys.argv[1]).values() if f.FrameID == "APIC"]))
)";

QJsonArray apics(const QString& path)
{
    QJsonArray out;
    const QJsonArray frames = QJsonDocument::fromJson(E::run("/usr/bin/python3", { "-c", kApicScript, path })).array();
    for (const QJsonValue& f : frames) {
        const QByteArray data = QByteArray::fromBase64(f[2].toString().toLatin1());
        out << QJsonArray { f[0], f[1],
            QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex()),
            readImageHeader(data).width };
    }
    return out;
}

QString sha1(const QByteArray& data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha1).toHex());
}

struct Window : PlatformDoubles {
    QTemporaryDir dir;
    Preferences preferences { settings };
    std::unique_ptr<MultiTagger> window;
    QByteArray front, back;

    Window()
    {
        preferences.loadOptions();
        front = image("one.png", "800x400");
        back = image("two.gif", "12x10");
        for (const char* name : { "a.mp3", "b.mp3", "c.mp3" })
            TagTestFiles::write(dir, name,
                B::tag(3,
                    { B::frame(3, "TIT2", B::textBody("Title")),
                        B::frame(3, "APIC", B::pictureBody("image/png", 3, "front", front)),
                        B::frame(3, "APIC", B::pictureBody("image/gif", 4, "back", back)) },
                    32)
                    + TagTestFiles::audio());
        window = std::make_unique<MultiTagger>(services, preferences, dir.path());
        window->setUndoFolder(dir.filePath("undo"));
        auto* list = window->findChild<QListWidget*>("FileList");
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setSelected(list->item(row)->text() != "c.mp3");
    }
    QByteArray image(const QString& name, const QString& size)
    {
        E::run("ffmpeg",
            { "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=" + size, "-frames:v", "1", dir.filePath(name) });
        return TagTestFiles::read(dir.filePath(name));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    template <class T> T* child(const char* name) const { return window->findChild<T*>(name); }
};

} // namespace

TEST(MultiTaggerCovers, EachCoverButtonRunsOnTheSelectedFilesAndUndoPutsThemBack)
{
    const struct {
        const char* button;
        std::function<void(Window&)> prepare;
        // The pictures of the selected files afterwards (front and back as made).
        std::function<QJsonArray(const Window&)> expected;
        const char* status;
    } cases[] = {
        { "CoverImageButton",
            [](Window& w) {
                w.prompter.files.enqueue(w.path("new.jpg"));
                w.image("new.jpg", "40x30");
            },
            [](const Window& w) {
                return QJsonArray { QJsonArray { 3, "", sha1(TagTestFiles::read(w.path("new.jpg"))), 40 },
                    QJsonArray { 4, "back", sha1(w.back), 12 } };
            },
            "Cover Updates Complete: 2 Of 2 Files Written" },
        { "FolderCoverButton",
            [](Window& w) {
                w.image("cover.jpg", "50x50");
                w.image("My Front.png", "60x60");
                EXPECT_EQ(w.child<QLineEdit>("FolderCoverPattern")->text(), "cover.jpg;folder.jpg");
                w.child<QLineEdit>("FolderCoverPattern")->setText("*front*.png");
            },
            [](const Window& w) {
                return QJsonArray { QJsonArray { 3, "", sha1(TagTestFiles::read(w.path("My Front.png"))), 60 },
                    QJsonArray { 4, "back", sha1(w.back), 12 } };
            },
            "Cover Updates Complete: 2 Of 2 Files Written" },
        { "RemoveCoversButton", [](Window& w) { w.prompter.answers.enqueue(Answer::Yes); },
            [](const Window&) { return QJsonArray {}; }, "Cover Updates Complete: 2 Of 2 Files Written" },
        { "ShrinkCoversButton",
            [](Window& w) {
                EXPECT_EQ(w.child<QSpinBox>("ShrinkPixels")->value(), 500);
                EXPECT_EQ(w.child<QSpinBox>("ShrinkQuality")->value(), 85);
                w.child<QSpinBox>("ShrinkPixels")->setValue(100);
            },
            [](const Window& w) {
                const QJsonArray pictures = apics(w.path("a.mp3"));
                EXPECT_NE(pictures[0][2], sha1(w.front));
                return QJsonArray { QJsonArray { 3, "front", pictures[0][2], 100 },
                    QJsonArray { 4, "back", sha1(w.back), 12 } };
            },
            "Cover Updates Complete: 2 Of 2 Files Written" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        Window w;
        const QByteArray a = TagTestFiles::read(w.path("a.mp3"));
        const QByteArray other = TagTestFiles::read(w.path("c.mp3"));
        c.prepare(w);
        w.child<QPushButton>(c.button)->click();
        EXPECT_EQ(w.child<QStatusBar>("MTSB")->currentMessage(), c.status);
        EXPECT_EQ(apics(w.path("a.mp3")), c.expected(w));
        EXPECT_EQ(apics(w.path("b.mp3")), c.expected(w));
        EXPECT_EQ(TagTestFiles::read(w.path("c.mp3")), other) << "not selected";
        EXPECT_TRUE(TagTestFiles::audioIntact(w.path("a.mp3"), TagTestFiles::audio()));
        w.prompter.answers.enqueue(Answer::Yes);
        w.child<QPushButton>("UndoRunButton")->click();
        EXPECT_EQ(TagTestFiles::read(w.path("a.mp3")), a);
    }
}
