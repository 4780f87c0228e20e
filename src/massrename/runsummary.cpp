#include "runsummary.h"

#include "massrenamechoices.h"
#include "settings/options.h"
#include "settings/settingsstore.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString yesNo(bool on)
{
    return on ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString line(const QString& caption, bool on)
{
    return caption + yesNo(on) + kCrLf;
}

QString optionLine(const QString& caption, bool on)
{
    return caption + yesNo(on) + QStringLiteral(" (From Options)") + kCrLf;
}

} // namespace

QString caseName(NameCase nameCase)
{
    switch (nameCase) {
    case NameCase::Title:
        return QStringLiteral("Title Casing");
    case NameCase::Upper:
        return QStringLiteral("Upper Casing");
    case NameCase::Lower:
        return QStringLiteral("Lower Casing");
    case NameCase::Unchanged:
        break;
    }
    return QStringLiteral("None");
}

QString runSettingsText(const MassRenameChoices& c, const Options& o)
{
    QString body = QStringLiteral("Starting Directory: ") + trimSpaces(c.startDir) + kCrLf + kCrLf;
    body += line(QStringLiteral("Include SubDirectories: "), c.includeSubs);
    body += line(QStringLiteral("Confirm Each Rename: "), c.confirmEach);
    body += line(QStringLiteral("Use Defined Filters: "), c.useFilters);
    body += line(QStringLiteral("Use Defined Options: "), c.useOptions);
    body += line(QStringLiteral("Create A Log of Operations: "), c.logOperation) + kCrLf;
    const QString format = trimSpaces(c.builtFormat).isEmpty() ? QStringLiteral("None") : c.builtFormat;
    body += QStringLiteral("ID3 Tag Autoformatting: ") + format + kCrLf;
    body += line(QStringLiteral("All Selected ID3 Tags Must Exist Before Renaming: "), c.allParts) + kCrLf;
    if (c.useOptions) {
        body += optionLine(QStringLiteral("Remove Parenthesis From Filenames: "), o.removeParens);
        body += optionLine(QStringLiteral("Remove UnderScores From Filenames: "), o.removeUnderscores);
        body += optionLine(QStringLiteral("Pad Separator ('-') With Spaces: "), o.splitSpaces);
        body += optionLine(QStringLiteral("Use 2-Digit Tracks: "), o.useFormattedTrack);
    }
    body += QStringLiteral("Automatic Filename Casing Type: ")
        + (o.newFileCaseUnknown ? QString() : caseName(o.newFileCase)) + QStringLiteral(" (From Options)") + kCrLf;
    body += optionLine(QStringLiteral("MP3 Files Only: "), o.mp3FilesOnly);
    return body;
}

QString runConfirmationText(const MassRenameChoices& choices, const Options& options)
{
    const QString files = options.mp3FilesOnly ? QStringLiteral("MP3") : QStringLiteral("Audio");
    return QStringLiteral("Reformat All ") + files + QStringLiteral(" Files Found Using The Following Options?") + kCrLf
        + kCrLf + runSettingsText(choices, options);
}
