// hacq's standard error: whole lines (its own messages and the interface's)
// and, on a terminal, one transient line below them (the progress and
// status of a grab), cleared before each message and drawn again after it,
// so no message lands inside it.  Thread-safe.
#pragma once

#include <string_view>

// Where the console writes: standard error until this is called.
void BindConsole(int fd);
bool ConsoleIsTerminal();

// Whole lines: text that ends with '\n' (several lines at once are fine).
void ConsoleWrite(std::string_view text);
// The transient line, replaced in place; nothing happens unless the
// console is a terminal.
void ConsoleTransient(std::string_view text);
// Clears the transient line, so what follows starts on a clean line.
void ConsoleEndTransient();
