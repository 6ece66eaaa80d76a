// hacq's results (tables, values, JSON, summaries) go to standard output,
// and nothing else does: the interface's own lines are relayed to standard
// error (interface_output.h), so they cannot corrupt a table or a JSON
// document that a script reads.
#pragma once

#include <ostream>

// Where results are written: standard output until this is called.
void BindResults(int fd);

std::ostream& Out();
