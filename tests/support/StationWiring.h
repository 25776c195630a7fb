#pragma once

// The station wired as start-up wires it, for tests and benches: the station
// first, a main window over it that is the process-wide gMainForm, an engine
// control in the station, and the operation window the main window holds
// (frmP). The wiring is undone in the reverse order when it goes, and
// gMainForm is given back what it was.
//
// Header only and free of the test framework, so that a bench includes it as
// a test does. Plug-ins (the site control, the stand-in engine) are the
// caller's to register first.

#include "engine/QXPgmrControl.h"
#include "mainwindow/Station.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/DispatchObject.h"
#include "shell/StartUp.h"

#include <memory>

class StationWiring
{
public:
    StationWiring()
        : m_previous(gMainForm),
          m_station(std::make_unique<Station>()),
          m_main(std::make_unique<frmMain>(*m_station))
    {
        gMainForm = m_main.get();
    }

    ~StationWiring()
    {
        DestroyOperationWindow();
        gMainForm = m_previous;
        m_main.reset();
        m_station.reset();
    }

    StationWiring(const StationWiring&) = delete;
    StationWiring& operator=(const StationWiring&) = delete;

    Station& station() const { return *m_station; }
    frmMain& main() const { return *m_main; }
    QXPgmrControl& engine() const { return m_station->QXProgrammer; }

    // Puts an engine control into the main window, in place of any before.
    void AttachEngine(std::unique_ptr<IDispatchControl> control) { m_station->QXProgrammer.Attach(std::move(control)); }

    // A new operation window held by the main window (the previous one, if
    // any, destroyed first, and the job configuration with it, as when the
    // window held it); not loaded.
    frmProgram& CreateOperationWindow()
    {
        DestroyOperationWindow();
        m_window = new frmProgram(*m_station);
        m_main->frmP = m_window;
        return *m_window;
    }

    void DestroyOperationWindow()
    {
        if (!m_window)
            return;
        delete m_window;
        m_window = nullptr;
        m_main->frmP = nullptr;
        m_station->ReleaseProgrammerData(true);
    }

    frmProgram* window() const { return m_window; }

private:
    frmMain* m_previous = nullptr;
    std::unique_ptr<Station> m_station;
    std::unique_ptr<frmMain> m_main;
    frmProgram* m_window = nullptr;
};
