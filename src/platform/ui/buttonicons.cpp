#include "buttonicons.h"

#include "platform/ui/themeicon.h"

QIcon buttonIcon(const QString& key)
{
    struct Entry {
        const char* key;
        const char* themeName;
        IconGlyph glyph;
    };
    static const Entry entries[] = {
        { "Rename", "document-save-as", IconGlyph::Apply },
        { "MassRename", "edit-select-all", IconGlyph::List },
        { "MultiTag", "document-properties", IconGlyph::Tag },
        { "Options", "preferences-system", IconGlyph::Sliders },
        { "Filters", "edit-find-replace", IconGlyph::Funnel },
        { "Play", "media-playback-start", IconGlyph::Play },
        { "Delete", "user-trash", IconGlyph::Trash },
        { "Refresh", "view-refresh", IconGlyph::Refresh },
        { "PlayList", "document-new", IconGlyph::PlayList },
        { "About", "help-about", IconGlyph::About },
        { "Help", "help-contents", IconGlyph::Help },
        { "Exit", "application-exit", IconGlyph::Exit },
        { "SaveTags", "document-save", IconGlyph::Save },
        { "ReRead", "view-refresh", IconGlyph::Refresh },
        { "RemoveTags", "list-remove", IconGlyph::Remove },
        { "ClrImg", "edit-clear", IconGlyph::Clear },
    };
    for (const Entry& e : entries)
        if (key == QLatin1String(e.key))
            return themeIcon(QString::fromLatin1(e.themeName), e.glyph);
    return {};
}
