// The write log of every camera, written to the file that the environment
// variable TERVIXMD_WRITE_LOG names when the process ends.  A program run
// in a process of its own (the hacq tool under test) shows through it
// which writes reached a camera.
#pragma once

namespace sdkabi {

// Reads the variable and, when it names a file, arranges the write at
// exit.  Called once, when the plumbing's state is made.
void ArrangeWriteLogFile();

}  // namespace sdkabi
