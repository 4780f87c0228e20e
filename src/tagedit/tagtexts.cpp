#include "tagtexts.h"

#include "settings/options.h"
#include "settings/settingsstore.h"
#include "tags/audiotag.h"
#include "text/texthelpers.h"

TagTexts tagTextsOf(const AudioTag& tag, const Options& options)
{
    TagTexts texts;
    for (int i = 0; i < kFieldCount; ++i) {
        const auto id = FieldId(i);
        switch (id) {
        case FieldId::Track:
            texts[i] = formatTrack(tag.track(), options);
            break;
        case FieldId::TotalTracks:
            texts[i] = formatTrack(tag.totalTracks(), options);
            break;
        case FieldId::Year:
            texts[i] = formatYear(tag.year());
            break;
        case FieldId::CopyRight:
            texts[i] = tag.copyright() ? QStringLiteral("True") : QStringLiteral("False");
            break;
        default:
            texts[i] = trimSpaces(tag.fieldText(id));
            break;
        }
    }
    return texts;
}
