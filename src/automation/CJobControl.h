#pragma once

// The job control automation class: another program resets the job, sets job
// parameters by name, loads a data pattern, loads and saves job files and
// handler job files, aborts and begins a job, and is told of its end. Every
// member forwards to CJobControlImpl; failures reach the client as errors of
// source "CJobControl" with a fixed text.

#include "AutomationObject.h"

class CJobControl : public AutomationObject
{
    Q_OBJECT
public:
    explicit CJobControl(QObject* parent = nullptr);
    ~CJobControl() override;

    bool Started() const { return m_started; }

    void SetDefaultConfiguration();
    void SetJobParameter(const QString& sName, const QString& sValue);
    void LoadPatternFile(const QString& sPath, int lType);
    void Abort();
    void BeginJob(int lQuantity);
    void LoadQxFile(const QString& sPath);
    void SaveQxFile(const QString& sPath);
    void LoadAqxFile(const QString& sPath);
    void SaveAqxFile(const QString& sPath);

    // The FileTypes codes LoadPatternFile takes.
    static bool IsFileType(int lType);

signals:
    void NotifyJobComplete(int lResult);

private:
    // False (and the client told) when ok is False.
    bool RaiseJobControlError(bool ok, qint32 code, const QString& text);
    bool RequireFileExists(const QString& sPath);
    bool RequireAutoHandlerMode();
    // Runs f, turning a failed engine call into the client's error.
    template <class F> bool Guard(F&& f);
    bool m_started = false;
};
