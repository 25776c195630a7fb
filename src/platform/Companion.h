#pragma once

// Creating the outside controls by class name, as ActiveX hosting does:
// registration writes the class name and the library path under HKCR; a host
// creates a control from there. A plug-in exports, with C linkage:
//
//   long DllRegisterServer();      // registers every class of the library
//   long DllUnRegisterServer();    // removes them (DllUnregisterServer too)
//   IDispatchControl* TarvoCreateControl(const char* className);
//
// TARVO_COMPANION_EXPORTS below defines all of them for a library from its
// class names and one factory function; TARVO_COMPANION_CLASS for a library
// of one class, from the class's accessor (its ClassName) and its stand-in.

#include "Dispatch.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <memory>

// An object value: a control handed from one side to the other as a value
// (a property get or an event argument), shared by whoever holds it. Its
// events go to the sink its current holder installs.
using ControlHandle = std::shared_ptr<IDispatchControl>;
Q_DECLARE_METATYPE(ControlHandle)

namespace companion {

constexpr long S_OK = 0;
constexpr long SELFREG_E_CLASS = 0x80040201L;

// Writes HKCR\<className>\InprocServer32 = libraryPath. Returns S_OK or an
// error code.
long RegisterClass(const QString& className, const QString& libraryPath);
long UnregisterClass(const QString& className);
// The registered library of a class, or "".
QString RegisteredLibrary(const QString& className);
// The path of the library that holds the given address (dladdr).
QString LibraryPathOf(const void* addressInLibrary);

// Creates a control by class name from its registered library. Throws
// AutomationError when the class is not registered or cannot be created.
std::unique_ptr<IDispatchControl> CreateControl(const QString& className);

// A control as a value, and back: the handle of an object value, or null when
// the value holds no object (Empty, Nothing, a number).
QVariant ObjectValue(ControlHandle control);
ControlHandle ObjectOf(const QVariant& value);

} // namespace companion

#define TARVO_COMPANION_EXPORTS(CLASS_NAMES, FACTORY)                                       \
    extern "C" Q_DECL_EXPORT long DllRegisterServer()                                       \
    {                                                                                       \
        const QString lib = companion::LibraryPathOf(reinterpret_cast<const void*>(&DllRegisterServer)); \
        for (const QString& cls : CLASS_NAMES) {                                            \
            const long rc = companion::RegisterClass(cls, lib);                             \
            if (rc != companion::S_OK)                                                      \
                return rc;                                                                  \
        }                                                                                   \
        return companion::S_OK;                                                             \
    }                                                                                       \
    extern "C" Q_DECL_EXPORT long DllUnRegisterServer()                                     \
    {                                                                                       \
        for (const QString& cls : CLASS_NAMES)                                              \
            companion::UnregisterClass(cls);                                                \
        return companion::S_OK;                                                             \
    }                                                                                       \
    extern "C" Q_DECL_EXPORT long DllUnregisterServer() { return DllUnRegisterServer(); }   \
    extern "C" Q_DECL_EXPORT IDispatchControl* TarvoCreateControl(const char* className)    \
    {                                                                                       \
        return FACTORY(QString::fromUtf8(className));                                       \
    }

#define TARVO_COMPANION_CLASS(ACCESSOR, STAND_IN)                                           \
    namespace {                                                                             \
    const QStringList& CompanionClassNames()                                                \
    {                                                                                       \
        static const QStringList names{QString::fromLatin1(ACCESSOR::ClassName)};           \
        return names;                                                                       \
    }                                                                                       \
    IDispatchControl* CreateCompanion(const QString& className)                             \
    {                                                                                       \
        if (className.compare(QLatin1String(ACCESSOR::ClassName), Qt::CaseInsensitive) == 0) \
            return new STAND_IN;                                                            \
        return nullptr;                                                                     \
    }                                                                                       \
    }                                                                                       \
    TARVO_COMPANION_EXPORTS(CompanionClassNames(), CreateCompanion)
