#pragma once

#include <functional>

class Dialogs;
class TFDevice;

// Runs the terminal: the application in Russian, the main window, and a message box for an
// error that escapes. `prepare` may add to the window before it shows.
int runTerminal(int& argc, char** argv,
                const std::function<void(TFDevice&, Dialogs&)>& prepare = {});
