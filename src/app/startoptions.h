#pragma once

#include <QString>
#include <QStringList>

// What `velmora [OPTION] [FOLDER | FILE...]` asks for, decided from the
// arguments alone, before any window or display exists.
enum class StartAction {
    Open, // start the window and open the arguments (see openRequestFor)
    ShowHelp, // print the usage to stdout, exit 0
    ShowVersion, // print "velmora <version>" to stdout, exit 0
    Refuse, // print the refused option and the usage to stderr, exit 2
};

struct StartOptions {
    StartAction action = StartAction::Open;
    QString refusedOption; // the first unknown option, for Refuse
    QStringList paths; // the arguments to open, for Open
};

// Reads the arguments after the program's name. "-h"/"--help" and
// "-v"/"--version" are the options; any other argument starting with "-"
// before a lone "--" is unknown and refuses the start, wherever it stands.
// Otherwise the first option decides; without one every argument is a path,
// kept in order ("--" included, which openRequestFor skips).
StartOptions startOptionsFor(const QStringList& arguments);

// The usage page printed by --help and after a refused option.
QString usageText();

// The line printed by --version.
QString versionText(const QString& version);

// The exit status for a start that ends without a window.
int exitStatusFor(StartAction action);
