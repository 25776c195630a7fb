#include "BayCtrlStandIn.h"

#include "SiteBoxWidget.h"
#include "engine/SiteBoxControl.h"
#include "platform/Twips.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

struct StateLook
{
    const char* text;
    QRgb colour;
};

// One look per state, told apart by colour and by words.
constexpr StateLook kLooks[] = {
    {"Passed", qRgb(0x3c, 0xb3, 0x4a)},        {"Failed", qRgb(0xd9, 0x35, 0x35)},
    {"Idle", qRgb(0xd8, 0xd8, 0xd8)},          {"Active", qRgb(0xf2, 0xc1, 0x1d)},
    {"Ready", qRgb(0x4a, 0x90, 0xe2)},         {"Not applicable", qRgb(0x70, 0x70, 0x70)},
    {"Ready to pick", qRgb(0xf2, 0x8c, 0x28)}, {"Ready to place", qRgb(0x9b, 0x59, 0xb6)},
};

// Placement comes as Double twips: whole twips first (rounding down keeps
// the program's rule), held to what a Long takes.
int Pixels(double twips)
{
    if (std::isnan(twips))
        return 0;
    const double whole = std::clamp(std::floor(twips), double(std::numeric_limits<qint32>::min()),
                                    double(std::numeric_limits<qint32>::max()));
    return twips::ToPixels(qint32(whole));
}

} // namespace

BayCtrlStandIn::BayCtrlStandIn()
    : DispatchObject(QString::fromLatin1(SiteBoxControl::ClassName), SiteBoxControl::Members())
{
    using namespace SiteBoxId;
    const auto method = [this](int id, std::function<void()> f) {
        On(id, [f = std::move(f)](InvokeKind, QVariantList&) {
            f();
            return QVariant();
        });
    };
    method(ShowPassed, [this] { Show(Passed); });
    method(ShowFailed, [this] { Show(Failed); });
    method(ShowIdle, [this] { Show(Idle); });
    method(ShowActive, [this] { Show(Active); });
    method(ShowReady, [this] { Show(Ready); });
    method(ShowNotApplicable, [this] { Show(NotApplicable); });
    method(ResetSite, [this] { Reset(); });
    // The engine's site information is a site state code; the handler
    // states have no call of their own.
    On(ShowSiteInfo, [this](InvokeKind, QVariantList& args) {
        const qint32 info = Arg(args, 0, ValueKind::Long).toInt();
        if (info >= Passed && info <= ReadyToPlace)
            Show(info);
        return QVariant();
    });

    const auto number = [this](int id, qint32 BayCtrlStandIn::*field) {
        On(id, [this, field](InvokeKind, QVariantList&) { return QVariant::fromValue<qint32>(this->*field); });
    };
    number(SitePassedCount, &BayCtrlStandIn::m_passed);
    number(SiteFailedCount, &BayCtrlStandIn::m_failed);
    number(SiteState, &BayCtrlStandIn::m_state);
    On(SiteTotalCount, [this](InvokeKind, QVariantList&) { return QVariant::fromValue<qint32>(m_passed + m_failed); });
    On(SiteLabel, [this](InvokeKind, QVariantList&) { return QVariant(QString::number(m_siteNumber)); });

    // Properties put by the host; the grouping values are kept as they come.
    Stores({SiteGroupedLayout, SiteSlotsPerGroup});
    On(SiteNumber, [this](InvokeKind, QVariantList& args) {
        m_siteNumber = qint16(Arg(args, 0, ValueKind::Int).toInt());
        Refresh();
        return QVariant();
    });
    const auto text = [this](int id, QString BayCtrlStandIn::*field) {
        On(id, [this, field](InvokeKind, QVariantList& args) {
            this->*field = Arg(args, 0, ValueKind::String).toString();
            Refresh();
            return QVariant();
        });
    };
    text(StatusText, &BayCtrlStandIn::m_statusText);
    text(ErrorText, &BayCtrlStandIn::m_errorText);
    const auto twips = [this](int id, double BayCtrlStandIn::*field) {
        On(id, [this, field](InvokeKind, QVariantList& args) {
            this->*field = Arg(args, 0, ValueKind::Double).toDouble();
            Place();
            return QVariant();
        });
    };
    twips(Left, &BayCtrlStandIn::m_left);
    twips(Top, &BayCtrlStandIn::m_top);
    twips(Width, &BayCtrlStandIn::m_width);
    twips(Height, &BayCtrlStandIn::m_height);
    On(Visible, [this](InvokeKind kind, QVariantList& args) {
        if (kind != InvokeKind::PropertyPut)
            return VbBool(m_visible);
        m_visible = IsVbTrue(Arg(args, 0, ValueKind::Bool));
        if (m_widget)
            m_widget->setVisible(m_visible);
        return QVariant();
    });
}

BayCtrlStandIn::~BayCtrlStandIn()
{
    delete m_widget.data();
}

QWidget* BayCtrlStandIn::Widget()
{
    if (!m_widget) {
        m_widget = new SiteBoxWidget;
        Refresh();
        Place();
        m_widget->setVisible(m_visible);
    }
    return m_widget;
}

void BayCtrlStandIn::Show(qint32 state)
{
    // A device is counted once, by the verdict that ends its run. A verdict
    // shown on a box that was not working on a device (the handler's master
    // site shown passed when a session ends, the engine's site information
    // repeating the host's report) only changes what the box shows.
    if (m_state == Active) {
        if (state == Passed)
            ++m_passed;
        else if (state == Failed)
            ++m_failed;
    }
    m_state = state;
    Refresh();
}

void BayCtrlStandIn::Reset()
{
    m_passed = 0;
    m_failed = 0;
    m_statusText.clear();
    m_errorText.clear();
    Refresh();
}

void BayCtrlStandIn::Refresh()
{
    if (!m_widget)
        return;
    const StateLook& look = kLooks[m_state];
    SiteBoxWidget::View view;
    view.label = QStringLiteral("Site %1").arg(m_siteNumber);
    view.stateText = QString::fromLatin1(look.text);
    view.colour = QColor(look.colour);
    view.message = m_state == Failed ? m_errorText : m_statusText;
    view.passed = m_passed;
    view.failed = m_failed;
    view.total = m_passed + m_failed;
    m_widget->SetView(view);
}

void BayCtrlStandIn::Place()
{
    if (!m_widget)
        return;
    // Edges, not sizes, are converted: a box inside its frame in twips is
    // inside it in pixels.
    const int x = Pixels(m_left);
    const int y = Pixels(m_top);
    const int right = Pixels(m_left + std::max(m_width, 0.0));
    const int bottom = Pixels(m_top + std::max(m_height, 0.0));
    m_widget->setGeometry(x, y, std::max(right - x, 0), std::max(bottom - y, 0));
}
