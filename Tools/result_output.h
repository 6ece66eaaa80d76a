// hacq's results (tables, values, JSON, summaries) go to standard output.
// The interface prints its own failure lines ("getFrame fail") on the
// process's standard output too; those are moved to standard error so they
// cannot corrupt a table or a JSON document that a script reads.
#pragma once

#include <ostream>

// Call once, before the interface is loaded.
void SeparateInterfaceOutput();

// Where results are written; standard output until SeparateInterfaceOutput.
std::ostream& Out();
