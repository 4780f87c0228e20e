#pragma once

#include <QString>

enum class NameCase;

struct MassRenameChoices;
struct Options;

// The settings block shown in the run's confirmation and written at the top
// of its log: one line per choice, CR LF line ends, empty lines between the
// groups; it ends with CR LF. The four option lines appear only when the
// options are used; the casing line always does.
QString RunSettingsText(const MassRenameChoices& choices, const Options& options);

// The confirmation question: a header, an empty line, then the block above.
QString RunConfirmationText(const MassRenameChoices& choices, const Options& options);

// "Title Casing", "Upper Casing", "Lower Casing", "None" for "TC", "UC",
// "LC", "NC"; "" for anything else.
QString CaseName(NameCase nameCase);
