#pragma once

#include <QStringList>

#include "cli/Console.h"

// r4xx-cli's command line, the program's name first: the global options, a command and its own
// options and arguments. Prints the help, the command's result and, with --json, one JSON
// document; returns the exit status.
int runCommandLine(const QStringList& arguments, Console& console);

// The help texts of the program and of one command.
QString programHelp();
QString commandHelp(const QString& command);
