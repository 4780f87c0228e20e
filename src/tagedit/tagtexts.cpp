#include "tagtexts.h"

#include "settings/options.h"
#include "settings/settingsstore.h"
#include "tags/id3v2tag.h"
#include "text/texthelpers.h"

TagTexts TagTextsOf(const ID3V2Tag& tag, const Options& options)
{
    TagTexts texts;
    for (int i = 0; i < kFieldCount; ++i) {
        const auto id = FieldId(i);
        switch (id) {
        case FieldId::Track:
            texts[i] = FormatTrack(tag.Track(), options);
            break;
        case FieldId::TotalTracks:
            texts[i] = FormatTrack(tag.TotalTracks(), options);
            break;
        case FieldId::Year:
            texts[i] = FormatYear(tag.Year());
            break;
        case FieldId::CopyRight:
            texts[i] = tag.copyright ? QStringLiteral("True") : QStringLiteral("False");
            break;
        default:
            texts[i] = TrimSpaces(tag.FieldText(id));
            break;
        }
    }
    return texts;
}
