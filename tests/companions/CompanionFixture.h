#pragma once

// Companion tests work on the built plug-ins in the build's bin folder,
// registered into the test's own temporary registry.

#include "TestEnv.h"

#include "platform/Companion.h"

#include <QFileInfo>
#include <QLibrary>

class CompanionFixture : public TarvoTest
{
protected:
    static QString PluginPath(const QString& file)
    {
        return QFileInfo(BinDir() + QLatin1Char('/') + file).canonicalFilePath();
    }

    // Calls one of the plug-in's registration entry points, as start-up does.
    static long CallEntry(const QString& file, const char* entry)
    {
        QLibrary library(PluginPath(file));
        if (!library.load()) {
            ADD_FAILURE() << library.errorString().toStdString();
            return -1;
        }
        const auto function = reinterpret_cast<long (*)()>(library.resolve(entry));
        if (!function) {
            ADD_FAILURE() << file.toStdString() << " has no " << entry;
            return -1;
        }
        return function();
    }
    static long Register(const QString& file) { return CallEntry(file, "DllRegisterServer"); }
    static long Unregister(const QString& file) { return CallEntry(file, "DllUnRegisterServer"); }
};
