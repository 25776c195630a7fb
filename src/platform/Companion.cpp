#include "Companion.h"

#include "AutomationError.h"
#include "Registry.h"

#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <map>
#include <memory>
#include <QMutex>
#include <dlfcn.h>

namespace companion {

namespace {

QString ServerKey(const QString& className)
{
    return className + QStringLiteral("\\InprocServer32");
}

// Creation fails as automation reports a class it cannot create.
[[noreturn]] void CannotCreate(const QString& className, const QString& why)
{
    qWarning("Cannot create %s: %s", qUtf8Printable(className), qUtf8Printable(why));
    throw AutomationError(429, className, QStringLiteral("ActiveX component can't create object"));
}

using CreateFunction = IDispatchControl* (*)(const char*);

// A loaded companion stays loaded for the life of the process: the controls
// it created run its code until the very end.
CreateFunction FactoryOf(const QString& className, const QString& path)
{
    static QMutex mutex;
    // Destroying a QLibrary does not unload it: the objects only go with the
    // process, the libraries stay loaded.
    static std::map<QString, std::unique_ptr<QLibrary>> loaded;
    const QMutexLocker lock(&mutex);
    std::unique_ptr<QLibrary>& library = loaded[path];
    if (!library) {
        auto candidate = std::make_unique<QLibrary>(path);
        if (!candidate->load())
            CannotCreate(className, candidate->errorString());
        library = std::move(candidate);
    }
    const auto create = reinterpret_cast<CreateFunction>(library->resolve("TarvoCreateControl"));
    if (!create)
        CannotCreate(className, path + QStringLiteral(" has no TarvoCreateControl"));
    return create;
}

} // namespace

long RegisterClass(const QString& className, const QString& libraryPath)
{
    if (className.isEmpty() || libraryPath.isEmpty())
        return SELFREG_E_CLASS;
    reg::HKEY key = 0;
    if (reg::RegCreateKeyEx(reg::HKEY_CLASSES_ROOT, ServerKey(className), &key) != reg::ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    const long rc = reg::RegSetValueEx(key, QString(), reg::REG_SZ, libraryPath.toUtf8() + '\0');
    reg::RegCloseKey(key);
    return rc == reg::ERROR_SUCCESS ? S_OK : SELFREG_E_CLASS;
}

long UnregisterClass(const QString& className)
{
    if (className.isEmpty())
        return SELFREG_E_CLASS;
    // The server key first: a key that still has subkeys cannot be deleted.
    for (const QString& subKey : {ServerKey(className), className}) {
        const long rc = reg::RegDeleteKey(reg::HKEY_CLASSES_ROOT, subKey);
        if (rc != reg::ERROR_SUCCESS && rc != reg::ERROR_FILE_NOT_FOUND)
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

QString RegisteredLibrary(const QString& className)
{
    if (className.isEmpty())
        return {};
    reg::ValueType type = reg::REG_NONE;
    QByteArray data;
    const long rc = reg::RegGetValue(reg::HKEY_CLASSES_ROOT, ServerKey(className), QString(), &type, &data);
    if (rc != reg::ERROR_SUCCESS || (type != reg::REG_SZ && type != reg::REG_EXPAND_SZ))
        return {};
    const qsizetype end = data.indexOf('\0');
    return QString::fromUtf8(end < 0 ? data : data.left(end));
}

QString LibraryPathOf(const void* addressInLibrary)
{
    Dl_info info{};
    if (!dladdr(addressInLibrary, &info) || !info.dli_fname)
        return {};
    const QFileInfo file(QString::fromLocal8Bit(info.dli_fname));
    const QString canonical = file.canonicalFilePath();
    return canonical.isEmpty() ? file.absoluteFilePath() : canonical;
}

std::unique_ptr<IDispatchControl> CreateControl(const QString& className)
{
    const QString path = RegisteredLibrary(className);
    if (path.isEmpty())
        CannotCreate(className, QStringLiteral("the class is not registered"));
    const CreateFunction create = FactoryOf(className, path);
    std::unique_ptr<IDispatchControl> control(create(className.toUtf8().constData()));
    if (!control)
        CannotCreate(className, path + QStringLiteral(" does not offer the class"));
    return control;
}

QVariant ObjectValue(ControlHandle control)
{
    if (!control)
        return {};
    return QVariant::fromValue(std::move(control));
}

ControlHandle ObjectOf(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<ControlHandle>())
        return {};
    return value.value<ControlHandle>();
}

} // namespace companion
