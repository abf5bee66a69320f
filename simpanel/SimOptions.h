#pragma once

#include <QString>
#include <QStringList>

#include "simpanel/SimSetup.h"

namespace simpanel {

// The start options of the demo program and of the emulated USB bed, read into a setup.
struct ParsedOptions {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    SimSetup setup;
    QString message; // what is wrong, for Error
};

// The arguments without the program's name.
ParsedOptions parseSimOptions(const QStringList& arguments);
// The text of --help: the program's own lines (how it is called, what it does; each ends in a
// newline), an empty line, then every option.
QString simOptionsHelp(const QString& usage);
// What a program prints on its error stream for a command line it cannot use.
QString badOptionsText(const QString& program, const QString& message);

// The exit status for a command line that cannot be used.
inline constexpr int BadOptionsStatus = 2;

// A program's arguments without its name, as the options are read.
QStringList commandArguments(int argc, char* argv[]);
// Tells what is wrong with a command line on standard error; returns BadOptionsStatus.
int refuseOptions(const QString& program, const QString& message);

} // namespace simpanel
