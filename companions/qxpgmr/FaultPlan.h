#pragma once

// The fault plan: results the simulated engine is told to give instead of
// its normal ones, so that tests and trials can see the station's handling
// of engine failures. Read afresh at each use from two places:
//
//   environment variable TARVO_ENGINE_FAULTS, entries "step=code" separated
//   by ";" or ",", e.g.  TARVO_ENGINE_FAULTS="load=126;init=5"
//
//   "faultplan.ini" in the engine's folder, section [Faults], e.g.
//       [Faults]
//       load=126
//
// An entry of the variable wins over the same entry of the file. Codes are
// decimal or hexadecimal after "0x"; 0 or an unreadable code plans nothing.
//
// Steps:
//   load  LoadAlgorithmDatabase answers the code without loading
//         (126 is the engine control's internal error)
//   init  InitializeEngine194 answers the code (no link to the programmer)
//   extra RunExtraCommand fails with the code as its automation error
//   dialog.<member>  the engine dialog of that member (ShowDeviceInfo,
//         ShowNandOptions, ...) fails with the code once it is closed
//   quiet a code other than 0: the engine made from now on starts with
//         ShowErrorMessages False (an unattended run), as
//         "[Engine] ShowErrorMessages=false" in engine.ini does
// The entries for device runs (failing devices and sites, an engine error, a
// failing call, delays, the start key) are read by RunPlan (RunPlan.h).

#include <QHash>
#include <QString>

class FaultPlan
{
public:
    static FaultPlan Read(const QString& engineFolder);

    // The code planned for a step; 0 when none.
    qint32 Code(const QString& step) const;
    // Every entry, keys in lower case.
    const QHash<QString, QString>& Entries() const { return m_entries; }

private:
    QHash<QString, QString> m_entries;
};
