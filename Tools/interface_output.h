// What the process writes on its standard output and standard error that
// is not hacq's own (the interface's failure lines such as "getFrame fail",
// the camera SDK's messages) reaches the user as "hacq: interface: TEXT"
// lines on standard error (console.h).  hacq's results keep the original
// standard output (result_output.h).
#pragma once

// Call once, first thing in main: before the interface is loaded and
// before any other thread starts.  When the process's output cannot be
// redirected, everything stays where it was.
void CaptureInterfaceOutput();

// Returns once every byte written so far has been relayed (or after a
// second at most), so that hacq's next line comes after them.
void SyncInterfaceOutput();

// Relays what is left and ends the relay; the process's standard output
// and standard error then go to the original standard error.  Call once,
// at the end of main.
void ReleaseInterfaceOutput();
