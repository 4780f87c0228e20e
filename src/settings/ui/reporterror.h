#pragma once

#include <QString>

class Prompter;

// The text of the options dialog's general error report, lines ending in
// CR LF: product, version, container, the error's description, number and
// source line, and a closing request to send it to the developers.
QString errorReportText(const QString& container, const QString& description, int number, int line);

// Puts errorReportText on the clipboard and shows it in a critical box
// titled "Velmora".
void reportError(Prompter& prompter, const QString& container, const QString& description, int number, int line);
