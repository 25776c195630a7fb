#pragma once

// Registration of the five companion controls at start-up, from the program's
// own folder, so that a copied installation works without a set-up step.

#include <QString>
#include <QStringList>
#include <functional>
#include <thread>

// The companion files in the order they are registered.
const QStringList& CompanionFiles();

bool RegisterComponents();

// Loading the companion libraries is most of what registering them costs:
// start-up has them loaded on a helper thread while it builds its windows,
// and registration then finds them loaded. Preloading reports nothing (a
// file that does not load is reported by its registration) and is waited
// for before registering; FinishPreloadingComponents may be called again.
void PreloadComponents();
void FinishPreloadingComponents();
bool RegisterOneComponent(const QString& name);
QString LocateComponent(const QString& name);
bool RegisterServer(const QString& path, bool bRegister);

// The folder the components are looked for in (the program's folder unless
// set otherwise, as tests do), and the time a registration entry may take.
QString ComponentFolder();
void SetComponentFolder(const QString& folder);
int RegistrationTimeLimitMs();
void SetRegistrationTimeLimitMs(int ms);

// Test seam: starts the worker that runs a registration entry (by default a
// thread). A starter that throws std::system_error stands for a worker the
// system cannot create; nullptr restores the default.
using RegistrationWorkerStarter = std::function<std::thread(std::function<void()> work)>;
void SetRegistrationWorkerStarterForTests(RegistrationWorkerStarter starter);
