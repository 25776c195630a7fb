#pragma once

#include <QString>

// The one writer of the black-box log "BlackBox.log": each line is appended
// and the file closed again, so nothing written is lost when the program dies.
void WriteLogInfo(const QString& text, bool bTimeStamp);
