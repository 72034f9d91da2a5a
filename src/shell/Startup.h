#pragma once

class QApplication;

// The program's start-up: the login, modally; after a successful one the main menu as the main
// window and the event loop until it closes. Returns the program's exit code.
int runProgram(QApplication& app);
