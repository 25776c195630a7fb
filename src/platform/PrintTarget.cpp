#include "PrintTarget.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <dlfcn.h>

namespace {
// The plug-in sits beside this library.
QString PluginPath()
{
    Dl_info info{};
    const QString folder = dladdr(reinterpret_cast<const void*>(&CreatePrintTarget), &info) && info.dli_fname
        ? QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath()
        : QString();
    return QDir(folder).filePath(QStringLiteral("libtarvo_print.so"));
}
} // namespace

std::unique_ptr<PrintTarget> CreatePrintTarget(QString* error)
{
    // Loaded once and kept: a target made by the plug-in may live anywhere.
    static QLibrary library(PluginPath());
    static const auto create = [] {
        return library.load() ? reinterpret_cast<CreatePrintTargetFunction>(library.resolve(kCreatePrintTargetEntry))
                              : nullptr;
    }();
    if (!create) {
        if (error)
            *error = library.errorString();
        return nullptr;
    }
    return std::unique_ptr<PrintTarget>(create());
}
