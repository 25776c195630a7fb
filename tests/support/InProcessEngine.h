#pragma once

// The simulated engine (QXPgmr.ocx from the build folder) in the test's own
// process, to write or change what a station started later finds: a job
// file, an auto file, the engine's settings.

#include "TestEnv.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"

#include <QFileInfo>
#include <QLibrary>

// Registers the engine's plug-in in the test's registry and attaches a new
// control of it to engine; False when the plug-in does not register.
inline bool AttachInProcessEngine(QXPgmrControl& engine)
{
    QLibrary library(QFileInfo(BinDir() + QStringLiteral("/QXPgmr.ocx")).canonicalFilePath());
    const auto reg = reinterpret_cast<long (*)()>(library.resolve("DllRegisterServer"));
    if (!reg || reg() != companion::S_OK)
        return false;
    engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
    return true;
}
