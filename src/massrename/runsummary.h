#pragma once

#include <QString>

enum class NameCase;

struct MassRenameChoices;
struct Options;

// The settings block shown in the run's confirmation and written at the top
// of its log: one line per choice, CR LF line ends, empty lines between the
// groups; it ends with CR LF. The four option lines appear only when the
// options are used; the casing line always does.
QString runSettingsText(const MassRenameChoices& choices, const Options& options);

// The confirmation question: a header, an empty line, then the block above.
QString runConfirmationText(const MassRenameChoices& choices, const Options& options);

// "Title Casing", "Upper Casing", "Lower Casing", "None" for "TC", "UC",
// "LC", "NC"; "" for anything else.
QString caseName(NameCase nameCase);
