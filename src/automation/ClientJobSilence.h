#pragma once

// A job a client began runs silent: for the job's span the engine's
// SilentMode is put True, so every message meant for a box goes to the
// status line (a question answers OK), the error boxes of the run are not
// shown and the job summary is built, logged, auto-saved and recorded but not
// shown. When the job ends the engine gets back the value it had. The
// operator's own runs keep their boxes, also while a client merely holds an
// object. A station whose operator is to answer the clients' boxes sets the
// machine value "SilentClientJobs" (DWORD, beside "LogComTransactions") to 0;
// the client's Abort, or its leaving, still ends a box its job waits in.

class ClientJobSilence
{
public:
    // Silences the engine when the station's switch allows (no host, or an
    // engine that refuses the put, leaves the job as it is).
    ClientJobSilence();
    // Puts back what the engine had before.
    ~ClientJobSilence();
    ClientJobSilence(const ClientJobSilence&) = delete;
    ClientJobSilence& operator=(const ClientJobSilence&) = delete;

    // The machine switch: True unless "SilentClientJobs" is 0.
    static bool Enabled();

private:
    bool m_put = false;
    bool m_before = false;
};
