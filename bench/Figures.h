#pragma once

#include <vector>

#include "FigureTable.h"

// Each group of the performance table; they need a QApplication (offscreen) and the simulated
// controller, and leave the simulator reset.

// A firmware load, a configuration read and a configuration write against the bare loop of the
// same USB calls, with the same delay per exchange.
std::vector<FigureRow> transferFigures();
// What a report costs a task in the terminal: the thread hand-over and the window's handling.
std::vector<FigureRow> reportCostFigures();
// From a window signalling its task event to the task's first transfer at the controller.
std::vector<FigureRow> latencyFigures();
// The user-interface thread's longest stall and 99th percentile while each task runs.
std::vector<FigureRow> stallFigures();
// The trace log at a million lines: memory per line and append cost.
std::vector<FigureRow> logFigures();
