#pragma once

// Where the settings classes write a line for the program's log, such as a
// stored value they set aside. The settings sit below the windows and cannot
// reach the black-box log themselves: the main window installs a writer when
// it loads. Until then, and without one, the line goes to stderr.

#include <QString>
#include <functional>

using SettingsLogWriter = std::function<void(const QString& line)>;

// Installs (or, with an empty one, removes) the writer.
void SetSettingsLogWriter(SettingsLogWriter writer);
void WriteSettingsLog(const QString& line);
