#pragma once

// Where the rows of the configuration dialog stand, in twips. The dialog
// shows or hides its handler row and its master-site row while it runs; each
// shown or hidden row moves the rows below it by one row pitch and changes
// the dialog's height by the same amount. The window places its controls
// from here.

#include <QHash>
#include <QString>
#include <QStringList>

class ConfigureLayout
{
public:
    // One row of the dialog: the handler and master-site rows are 480 twips.
    static constexpr int kRowPitch = 480;
    // The height with the OEM log-file frame, and without it.
    static constexpr int kDesignHeight = 6880;
    static constexpr int kHeightWithoutLogFile = 6400;
    static constexpr int kLeft = 2000;
    static constexpr int kTop = 1000;

    ConfigureLayout();

    // The top of a control by its name ("cboMasterSite", "fraUserMode", ...).
    int Top(const QString& control) const { return m_tops.value(control, -1); }
    int Height() const { return m_height; }
    void SetHeight(int twips) { m_height = twips; }
    QStringList Controls() const { return m_tops.keys(); }

    // Everything below the handler row (the master-site row included).
    void MoveBelowHandlerRow(int twips);
    // Everything below the master-site row.
    void MoveBelowMasterSiteRow(int twips);

private:
    void move(const QStringList& controls, int twips);

    QHash<QString, int> m_tops;
    int m_height = kDesignHeight;
};
