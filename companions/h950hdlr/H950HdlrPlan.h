#pragma once

// What the engine's fault plan asks of the simulated automatic handler: its
// entries "auto.*", read from the same places as the engine's (variable
// TARVO_ENGINE_FAULTS, "faultplan.ini" in the engine's folder, section
// [Faults]; the variable wins). Read afresh at each StartSession.
//
//   auto.sites=N      the handler's sockets (default: the engine's sites of
//                     the programmer model it last saved, else 1)
//   auto.empty=S:S    sockets the handler never fills (1-based)
//   auto.jam=N        the handler jams before its N-th device: the session
//                     ends with JobComplete(jam result) and SessionStopped
//   auto.result=CODE  JobComplete reports CODE when the session ran its
//                     quantity
//   auto.speed=MS     the time of each timer step (default 100; 0 in tests
//                     and benches: the steps follow each other as soon as the
//                     host's loop runs)
//   auto.stop=N       the handler's own Stop is pressed before its N-th
//                     device: HandlerAbortCommand, then the session ends as
//                     after StopSession
//   auto.quantity=N   the handler's operator types N on its panel before the
//                     session: HandlerQuantityChanged(N), HandlerEvent16, and
//                     the session runs N devices
//   auto.serial=TEXT  the handler's serial number, reported at each session
//                     start (default: its SerialNumber as the host put it)
//   auto.label=FILE   a label is printed for each passed device: the session
//                     starts the label editor, opens FILE (relative: in the
//                     host's label printer folder) once its window is there,
//                     prints after each pass and closes the editor at the end
//   auto.labelmove=D  the label is moved once after it is opened (0 up,
//                     1 down, 2 left, 3 right) and saved before the editor
//                     closes
//   auto.loadfile=FILE  the Sealbook auto file the handler's operator chose:
//                     loaded before the session starts (relative: in the
//                     host's engine folder)
//   auto.savefile=FILE  the session's job is saved as that auto file after
//                     the session (relative as auto.loadfile)
//   auto.inspection=FILE  the handler has 2D vision inspection with that
//                     program file: each handled device is inspected
//   auto.mediatransfer=1  a media-transfer job: the handler moves the devices
//                     without having them programmed (no RepeatCommandRequest,
//                     each one passes) and reports AutoHandlerInUse True
//
// What the handler's operator sets on its panel, taken when the handler is
// made and again at each session start (a Sealbook auto file the station
// loads brings its own, until the next session start with these entries):
//   auto.neweditor=1|0  the label editor the handler names: 1 the newer
//                     program (LabelerValue67 True: "Ptedit3"), 0 the older
//                     ("ptedit")
//   auto.marker=LINE|LINE  the lines the laser marker marks on each device
//                     (LaserMarkerLineCount, LaserMarkerLineAt); nothing
//                     after "=" for none
//   auto.emptytest=N  the handler tests its sockets for a left device every
//                     N devices (EmptySocketTestInterval; 0: never)
//
// Numbers are decimal or "0x" hexadecimal; an entry that cannot be read plans
// nothing and is written to stderr.

#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

struct H950HdlrPlan
{
    static constexpr int kDefaultStepMs = 100;

    int sites = 1;
    QSet<int> empty;
    int jamAt = 0; // 0: none
    qint32 result = 0;
    int stepMs = kDefaultStepMs;
    int stopAt = 0;   // 0: none
    int quantity = 0; // 0: the one StartSession gives
    QString serial;
    QString labelFile;
    int labelMove = -1; // -1: none
    QString loadFile;
    QString saveFile;
    QString inspectionFile;
    bool mediaTransfer = false;
    // The panel's settings; unset where the plan has no entry.
    std::optional<bool> newerEditor;
    std::optional<QStringList> markerLines;
    std::optional<int> emptySocketTest;

    static H950HdlrPlan Read();
};
