#pragma once

#include <QString>
#include <QStringList>

#include "simpanel/SimSetup.h"

namespace simpanel {

// The command line of the demo program, read into a setup.
struct ParsedOptions {
    enum class Outcome { Run, Help, Error };
    Outcome outcome = Outcome::Run;
    SimSetup setup;
    QString message; // what is wrong, for Error
};

// The arguments without the program's name.
ParsedOptions parseSimOptions(const QStringList& arguments);
// The text of --help.
QString simOptionsHelp();

// The exit status for a command line that cannot be used.
inline constexpr int BadOptionsStatus = 2;

} // namespace simpanel
