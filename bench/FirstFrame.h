#pragma once

class QWidget;

// Once the window has painted its first frame, prints the monotonic clock in nanoseconds on
// standard output and ends the process at once, or, with `stay`, leaves it running.
void stampFirstFrame(QWidget& window, bool stay);
