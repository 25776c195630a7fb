#pragma once

// The operation window: device, action tabs, option rows, site boxes,
// counters and status lines. It owns the job configuration (pgmrData).

#include <QWidget>
#include <memory>

class ProgrammerClass;
class QDateTime;
class QLineEdit;
class QListWidget;

class frmProgram : public QWidget
{
    Q_OBJECT
public:
    explicit frmProgram(QWidget* parent = nullptr);
    ~frmProgram() override;

    // The job configuration, created (and loaded) on first use.
    ProgrammerClass& pgmrData();
    bool HasProgrammerData() const { return m_pgmrData != nullptr; }

    void UpdateFormCaption(bool bShowVersion);
    void RefreshAll();
    void SetDisplayInfo();
    void AddStatusTextLine(const QString& text);

    // The data-file summary box shows the buffer as empty.
    void ShowBufferEmpty();
    // Advances the record of what the data buffer holds (0 empty, 1 a loaded
    // file, 2 content read from a device).
    void BufferType(const QString& name, const QDateTime& date, qint16 event);

    // Unloads the window: False when it refuses to close.
    bool Form_Unload();

    QListWidget* cboStatus = nullptr;
    QLineEdit* txtFile = nullptr;
    bool bEnableStatusTextUpdate = true;

private:
    std::unique_ptr<ProgrammerClass> m_pgmrData;
};
