// The operation window's option commit, the engine's set-up requests and the
// window caption.

#include "operation/frmProgram.h"

// Being built: each entry below is replaced.
void frmProgram::SetOperationOptions() {}
void frmProgram::SetupOperation() {}
void frmProgram::SetupSpecialCmd(qint32&, bool& isSpecial, bool& outOfRange) { isSpecial = false; outOfRange = false; }
void frmProgram::UpdateFormCaption(bool) {}
