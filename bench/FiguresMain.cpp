// The terminal's performance figures, one table row a line (tab-separated: figure, measured,
// baseline, ratio, goal, verdict). Arguments name the groups to run; none runs every group.

#include <cstring>
#include <functional>

#include <QApplication>

#include "Figures.h"

namespace {

struct Group {
    const char* name;
    std::vector<FigureRow> (*run)();
};

const Group Groups[] = {
    { "transfers", transferFigures },
    { "reports", reportCostFigures },
    { "latency", latencyFigures },
    { "stalls", stallFigures },
    { "log", logFigures },
};

bool chosen(const char* name, int argc, char** argv)
{
    if (argc < 2)
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    for (const Group& group : Groups)
        if (chosen(group.name, argc, argv))
            printRows(group.run());
    return 0;
}
