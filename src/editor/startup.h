#pragma once

#include <memory>

class frmEditor;

// The program's start-up after the QApplication exists: main() runs it, and so does the start-up benchmark,
// which must time exactly what a user waits for.
namespace Startup {

// Names the program and its version for the settings store and the window system.
void describeApplication();

// Builds the main window, has it find and load QTA.INI and shows it. Returns nullptr when the user would not
// name a folder: the program then ends without writing anything.
std::unique_ptr<frmEditor> showEditor();

} // namespace Startup
