#pragma once

// The registry: a typed key tree per hive, kept in text files under one root
// folder. The calls follow the Win32 registry functions (same error codes,
// same enumeration order, same refusal of a named remote machine), so the
// registry access class above them reads as it would on Windows.
//
// Hive files: with TARVO_REGISTRY_DIR set, every hive lives in that folder
// ("HKCU.reg", "HKLM.reg"). Otherwise HKCU lives in
// $XDG_CONFIG_HOME/Corvane/registry/ and HKLM in /etc/xdg/Corvane/registry/.
// HKCR is HKCU\Software\Classes.
//
// Every write re-reads the hive under a cross-process lock, applies the change
// and replaces the file atomically, so two processes and a crash lose nothing.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace reg {

using HKEY = quintptr;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;

enum ValueType : quint32 {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_MULTI_SZ = 7,
};

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_BAD_NETPATH = 53;
constexpr long ERROR_INVALID_PARAMETER = 87;
constexpr long ERROR_MORE_DATA = 234;
constexpr long ERROR_NO_MORE_ITEMS = 259;
constexpr long ERROR_CANTREAD = 1012;
constexpr long ERROR_CANTWRITE = 1013;
constexpr long ERROR_KEY_DELETED = 1018;

// Value data are raw bytes, as Win32 passes them: REG_SZ and REG_EXPAND_SZ
// are UTF-8 text with a terminating NUL, REG_MULTI_SZ NUL-separated strings
// ending in two NULs, REG_DWORD four little-endian bytes,
// REG_DWORD_BIG_ENDIAN four big-endian bytes.

long RegOpenKeyEx(HKEY key, const QString& subKey, HKEY* result);
long RegCreateKeyEx(HKEY key, const QString& subKey, HKEY* result, bool* created = nullptr);
long RegQueryValueEx(HKEY key, const QString& valueName, ValueType* type, QByteArray* data);
// A value of a subkey read in one call, with one look at the hive file: what
// opening the subkey, querying the value and closing the key again answer.
long RegGetValue(HKEY key, const QString& subKey, const QString& valueName, ValueType* type, QByteArray* data);
long RegSetValueEx(HKEY key, const QString& valueName, ValueType type, const QByteArray& data);
// Several values of one key written in one save of the hive: either all of
// them stand afterwards or, when the call fails, none of them changed.
struct ValueEntry
{
    QString name;
    ValueType type = REG_NONE;
    QByteArray data;
};
long RegSetValuesEx(HKEY key, const QList<ValueEntry>& values);
// Values and subkeys enumerate in the order they were first written.
long RegEnumValue(HKEY key, quint32 index, QString* valueName, ValueType* type = nullptr, QByteArray* data = nullptr);
long RegEnumKey(HKEY key, quint32 index, QString* subKeyName);
// Like Win32 on NT: a key that still has subkeys is refused (ERROR_ACCESS_DENIED).
long RegDeleteKey(HKEY key, const QString& subKey);
long RegDeleteValue(HKEY key, const QString& valueName);
long RegQueryInfoKey(HKEY key, quint32* subKeys, quint32* maxSubKeyLen, quint32* values,
                     quint32* maxValueNameLen, quint32* maxValueLen);
// An empty machine name (or this machine's) gives the local hive; any other
// machine is unreachable (ERROR_BAD_NETPATH).
long RegConnectRegistry(const QString& machineName, HKEY hive, HKEY* result);
long RegCloseKey(HKEY key);

// A stretch of many registry calls (a window's load, the settings saved at
// close). While a batch lasts, a hive file found unchanged once is taken as
// unchanged, without another look at the file, by the reads after it and by
// the writes that would change nothing in it. A change another process makes
// to the file meanwhile is seen by the first call after the batch, as if it
// had been made then (and a value written again as it was read counts as
// written before that change). A write that changes something always goes to
// the file as it is, keeping every change made there. Batches nest, and any
// thread may hold one.
class Batch
{
public:
    Batch();
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;
};

// The file a hive lives in (for messages and tests); HKCR gives the HKCU file.
QString HiveFilePath(HKEY hive);

// A hive file that cannot be read as a hive (a very deeply nested one
// included) is moved aside (to "<hive file>.corrupt-<time>") and an empty hive
// takes its place. The message saying so goes to stderr and to this reporter,
// once per damaged file; messages made while no reporter is installed are kept
// and handed to the next one installed (removing the reporter forgets them).
// The reporter is called outside the registry's lock, so it may use the
// registry.
void SetCorruptHiveReporter(std::function<void(const QString& message)> reporter);

// True when the folder of the hive's file can be written (it is created when
// missing); *folder names it either way.
bool HiveFolderWritable(HKEY hive, QString* folder);

// Test seam: the handle the next open or create tries first.
void SetNextHandleForTests(HKEY next);

// Test seam: saving a hive calls the hook at each of these steps. A hook that
// returns false makes the save fail at that step (the call then answers
// ERROR_CANTWRITE and the hive keeps its old content); after Replaced the new
// content stands whatever the hook answers. The hook runs with the registry
// locked and must not call it.
enum class SaveStep { HalfWritten, Written, Replaced };
void SetSaveStepHook(std::function<bool(SaveStep step)> hook);

} // namespace reg
