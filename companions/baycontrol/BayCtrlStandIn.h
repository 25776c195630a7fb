#pragma once

// The site control, class "BAYCTRLLib.SiteBox": one box per site in the
// operation window. It shows the site number, the site's state (passed,
// failed, idle, active, ready, not applicable, ready to pick, ready to be
// placed) in its own colour and words, the last status or error text, and
// counts the devices passed and failed on the site (a device is one run from
// active to its verdict). Its host places it by the twips it puts into Left,
// Top, Width and Height.

#include "platform/DispatchObject.h"

#include <QPointer>

class SiteBoxWidget;

class BayCtrlStandIn : public DispatchObject
{
public:
    // The states SiteState reads: the site status codes of the program.
    enum State : qint32 {
        Passed = 0,
        Failed = 1,
        Idle = 2,
        Active = 3,
        Ready = 4,
        NotApplicable = 5,
        ReadyToPick = 6,
        ReadyToPlace = 7
    };

    BayCtrlStandIn();
    ~BayCtrlStandIn() override;

    // Made on first request; the host takes it into its window. Deleted with
    // the control unless its host deleted it first.
    QWidget* Widget() override;

private:
    void Show(qint32 state);
    void Reset();
    void Refresh();
    void Place();

    QPointer<SiteBoxWidget> m_widget;
    qint32 m_state = Idle;
    qint16 m_siteNumber = 0;
    qint32 m_passed = 0;
    qint32 m_failed = 0;
    QString m_statusText;
    QString m_errorText;
    double m_left = 0;
    double m_top = 0;
    double m_width = 0;
    double m_height = 0;
    bool m_visible = false;
};
