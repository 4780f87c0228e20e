#pragma once

#include <QString>

class Prompter;

// The text of the options dialog's general error report, lines ending in
// CR LF: product, version, container, the error's description, number and
// source line, and a closing request to send it to the developers.
QString ErrorReportText(const QString& container, const QString& description, int number, int line);

// Puts ErrorReportText on the clipboard and shows it in a critical box
// titled "Velmora".
void ReportError(Prompter& prompter, const QString& container, const QString& description, int number, int line);
