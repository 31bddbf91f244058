// A line-by-line record of what the program shows (windows shown and hidden, captions and texts,
// text colours, message boxes), written to the file that $QM_UI_TRACE names. End-to-end tests read
// it beside the screen; without the variable nothing is written.
#pragma once

#include <QString>

namespace qm::qt {

// Appends "<local time hh:mm:ss> <milliseconds since start> <what>" when tracing is on.
void trace(const QString& what);
bool tracing();

}  // namespace qm::qt
