#pragma once

#include <QString>
#include <QStringList>

#include "simpanel/SimOptions.h"

namespace simpanel {

// The command line of the emulated USB bed: the demo program's start options, then "--" and the
// program to run with its arguments. Without options the program may come first, without "--".
struct BedCommandLine {
    ParsedOptions options;
    qsizetype programStart = 0; // where the program's name stands in the arguments, for Run
};

// The arguments without the bed's own name.
BedCommandLine parseBedCommandLine(const QStringList& arguments);
// The text of the bed's --help.
QString bedHelp();

} // namespace simpanel
