#pragma once

// The simulated programmer engine, class "QXPGMRLib.QXPgmr". It answers the
// engine's members by the program's own table of them; members without
// behaviour of their own are stored properties (DispatchObject).
//
// Its programmer models and device list come from the algorithm database
// (AlgorithmDatabase); the station it was left as (model, port, master site,
// device) is kept in "engine.ini" in the engine's folder (StationState); the
// fault plan (FaultPlan) can make it fail on purpose.
//
// Environment:
//   TARVO_ENGINE_DB      the database file to load, whatever name the program
//                        asks for (tests: another version, a damaged file,
//                        a large list)
//   TARVO_ENGINE_FAULTS  entries of the fault plan (see FaultPlan.h)

#include "AlgorithmDatabase.h"
#include "engine/QXPgmrControl.h"
#include "platform/DispatchObject.h"

#include <functional>
#include <optional>

class QXPgmrStandIn : public DispatchObject
{
public:
    QXPgmrStandIn();
    ~QXPgmrStandIn() override;

    // EngineVersion: version 5, minor 2, build 9 (a release build, so the
    // program shows the release date).
    static constexpr qint32 Version = (0x5 << 16) | (0x2 << 8) | 0x9;
    static constexpr qint32 ReleaseDate = 20240315; // EngineDatePart1
    static constexpr qint32 BetaDate = 20240402;    // EngineDatePart2
    // InitializeEngine194 without a loaded algorithm database.
    static constexpr qint32 NoDatabase = 1;

    // The engine's own folder: per user and writable
    // ($XDG_DATA_HOME/Corvane/QXEngine), with its "DATALOG" folder; both are
    // created on first use.
    static QString EngineFolder();
    // Where the label editor is installed; the engine only names it.
    static QString LabelPrinterFolder();

private:
    // Its events, raised typed: a misspelt event or a wrong argument does
    // not build.
    QXPgmrEventRaisers RaiseEvent{[this](const QString& eventName, QVariantList& args) { Raise(eventName, args); }};
    using Behaviour = std::function<QVariant(InvokeKind kind, QVariantList& args)>;
    // Gives a member behaviour whose answer is converted to the member's type.
    void Answer(int dispid, Behaviour behaviour);

    void bindStartUp();
    void bindLife();
    void bindModels();
    void bindDevices();
    // Each capability the database describes devices by becomes the member
    // of that name; False when a name is not an engine member.
    bool bindCapabilities();

    qint32 loadDatabase(const QString& name);
    // The file to open for the name the program asks for; "" when none.
    QString databasePath(const QString& name) const;
    void restoreStation();
    void saveStation() const;
    const ProgrammerModel& model() const { return m_database.Models().At(m_modelIndex); }
    // Makes the named device the selected one (the caller saves the
    // station); False when the database has no such device.
    bool selectDevice(const QString& name);
    bool chooseDevice();
    QString checksumText() const;
    void generateDeviceList() const;

    AlgorithmDatabase m_database;
    std::optional<DeviceRecord> m_device;
    bool m_selectionFailed = false; // the last SelectDeviceByName found no device
    int m_modelIndex = 0;
    qint32 m_port = 0;
    qint32 m_masterSite = 1;
    QString m_programFolder; // StartupValue108
    bool m_vexalMode = false;
    bool m_guiReady = false;
    qint64 m_mainWindowHandle = 0;
};
