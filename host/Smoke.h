#pragma once
// The smoke run: sign on as the demo operator, open the screen, leave the
// focused panel with Tab, confirm each modal form that opens (its default
// button), then save a picture of the main window and quit. Exit code 0 when
// the picture was written, 1 otherwise.
#include <functional>
#include <string>

namespace host {

class MainWindow;
struct SignOnResult;

struct SmokeSteps {
    std::function<SignOnResult()> SignOn;  // signs on as the demo operator
    std::string Screenshot;                 // PNG to write
    int TimeoutMs = 60000;
};

// Schedules the run on the Qt event loop; the application quits when it ends.
void StartSmoke(MainWindow& window, SmokeSteps steps);

}  // namespace host
