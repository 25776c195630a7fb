#include "CSiteLayout.h"

#include "engine/SiteBoxControl.h"

#include <algorithm>
#include <cmath>

namespace {

// Sizes are whole twips, rounded half to even.
qint32 RoundHalfEven(double value)
{
    return qint32(std::nearbyint(value));
}

qint32 Clamp(qint32 value, qint32 low, qint32 high)
{
    return std::max(low, std::min(value, high));
}

} // namespace

CSiteLayout::CSiteLayout(Host* host)
    : m_host(host)
{
}

void CSiteLayout::UnloadControls()
{
    m_bLoaded = false;
    // Element 0 belongs to the window's design and stays.
    for (int i = m_host->SiteBoxCount() - 1; i >= 1; --i)
        m_host->UnloadSiteBox(i);
}

void CSiteLayout::LoadControls()
{
    if (!m_host)
        return;
    UnloadControls();
    const qint32 sites = m_host->EngineSiteCount();
    for (int i = m_host->SiteBoxCount(); i < sites; ++i) {
        if (!m_host->LoadSiteBox(i))
            break;
    }
    m_bLoaded = true;
}

void CSiteLayout::RefreshLayout(const qint32& height, const qint32& width)
{
    if (!m_bLoaded || !m_host)
        return;
    SetupLayout(height, width, m_host->SiteBoxCount(), m_host->EngineSiteSlotCount(), m_host->HandlerType());
    Arrange();
}

void CSiteLayout::SetupLayout(qint32 height, qint32 width, int siteBoxCount, qint16 sitesPerGroup, qint32 handlerType)
{
    m_iSiteBoxCount = std::max(siteBoxCount, 0);
    // An engine that reports no sites per group has one site a group.
    m_iSitesPerGroup = std::max<int>(sitesPerGroup, 1);
    // Rounded up: a last group with fewer sites still gets its place, so
    // every site shows.
    m_iGroupCount = (m_iSiteBoxCount + m_iSitesPerGroup - 1) / m_iSitesPerGroup;
    m_lHandlerType = handlerType;
    m_lFrameHeight = std::max<qint32>(height, 0);
    m_lFrameWidth = std::max<qint32>(width, 0);
    ChooseOrientation();
    ComputeSizes(m_lFrameHeight, m_lFrameWidth);
}

void CSiteLayout::ChooseOrientation()
{
    m_bGroupedSlots = false;
    if (m_lHandlerType == 0) {
        m_bStacked = true;
    } else {
        m_bStacked = false;
        m_bGroupedSlots = m_iSitesPerGroup > 1;
    }
}

void CSiteLayout::ComputeGrid()
{
    m_iRows = m_lHandlerType == 0 ? RowsWithoutHandler() : RowsWithHandler();
    SetGroupsPerRow();
}

int CSiteLayout::RowsWithoutHandler() const
{
    const int g = m_iGroupCount;
    if (g < 3)
        return 1;
    if (g < 7)
        return 2;
    if (g < 11)
        return m_iSitesPerGroup < 2 ? 2 : 3;
    return 3;
}

int CSiteLayout::RowsWithHandler() const
{
    const int g = m_iGroupCount;
    if (g < 5)
        return 1;
    if (g <= 8)
        return 2;
    return 3;
}

void CSiteLayout::SetGroupsPerRow()
{
    m_iGroupsPerRow = (m_iGroupCount + m_iRows - 1) / m_iRows;
    if (m_lHandlerType == 2 && m_iRows >= 2) {
        m_iGroupsPerRow = 4;
        // Four to a row: more than twelve groups need more rows than three.
        m_iRows = std::max(m_iRows, (m_iGroupCount + 3) / 4);
    }
    m_iGroupsPerRow = std::max(m_iGroupsPerRow, 1);
}

void CSiteLayout::ComputeSizes(qint32 height, qint32 width)
{
    ComputeGrid();
    // Sites share their group's nine tenths of a cell along the stacking
    // direction.
    const int down = m_bStacked ? m_iSitesPerGroup : 1;
    const int across = m_bStacked ? 1 : m_iSitesPerGroup;
    m_lRowPitch = RoundHalfEven(double(height - kCounterRoom) / m_iRows);
    m_lColumnPitch = RoundHalfEven(double(width) / m_iGroupsPerRow);
    m_lBoxHeight = RoundHalfEven(m_lRowPitch * 0.9 / down);
    m_lBoxWidth = RoundHalfEven(m_lColumnPitch * 0.9 / across);

    // In a frame too small for those sizes (rounding included) the cells
    // shrink, rounded down, until the groups neither overlap nor leave the
    // frame; a frame lower than the counters' room leaves the boxes no height.
    const bool fitsDown = m_lRowPitch >= 0 && down * m_lBoxHeight <= m_lRowPitch
        && kTopMargin + (m_iRows - 1) * m_lRowPitch + down * m_lBoxHeight <= height;
    if (!fitsDown) {
        m_lRowPitch = qint32(std::floor(std::max(height - kCounterRoom, 0) / double(m_iRows)));
        m_lBoxHeight = qint32(std::floor(m_lRowPitch * 0.9 / down));
    }
    const bool fitsAcross = across * m_lBoxWidth <= m_lColumnPitch
        && kLeftMargin + (m_iGroupsPerRow - 1) * m_lColumnPitch + across * m_lBoxWidth <= width;
    if (!fitsAcross) {
        m_lColumnPitch = qint32(std::floor(std::max(width - kLeftMargin, 0) / (m_iGroupsPerRow - 0.1)));
        m_lBoxWidth = qint32(std::floor(m_lColumnPitch * 0.9 / across));
    }
}

std::vector<CSiteLayout::Placement> CSiteLayout::Placements() const
{
    std::vector<Placement> out(m_iSiteBoxCount);
    qint32 top = kTopMargin;
    qint32 left = kLeftMargin;
    if (m_lHandlerType == 2)
        top = (m_iRows - 1) * m_lRowPitch + kTopMargin; // start on the lowest row
    for (int g = 0; g < m_iGroupCount; ++g) {
        PlaceGroup(g, top, left, out);
        NextPosition(g + 1, top, left);
    }
    return out;
}

void CSiteLayout::PlaceGroup(int g, qint32 top, qint32 left, std::vector<Placement>& out) const
{
    const int first = g * m_iSitesPerGroup;
    const int last = std::min(first + m_iSitesPerGroup, m_iSiteBoxCount);
    for (int k = first; k < last; ++k) {
        // Rounding may leave a box a few twips over the edge: keep it inside.
        Placement& p = out[k];
        p.height = Clamp(m_lBoxHeight, 0, m_lFrameHeight);
        p.width = Clamp(m_lBoxWidth, 0, m_lFrameWidth);
        p.top = Clamp(top, 0, m_lFrameHeight - p.height);
        p.left = Clamp(left, 0, m_lFrameWidth - p.width);
        if (m_bStacked)
            top += m_lBoxHeight;
        else
            left += m_lBoxWidth;
    }
}

void CSiteLayout::Arrange()
{
    const std::vector<Placement> places = Placements();
    const int count = std::min<int>(int(places.size()), m_host->SiteBoxCount());
    for (int k = 0; k < count; ++k)
        PlaceSiteBox(k, places[k]);
}

void CSiteLayout::PlaceSiteBox(int k, const Placement& place)
{
    SiteBoxControl& box = m_host->SiteBoxAt(k);
    box.Top(place.top);
    box.Left(place.left);
    box.Height(place.height);
    box.Width(place.width);
    box.SiteGroupedLayout(m_bGroupedSlots);
    box.SiteSlotsPerGroup(qint16(m_iSitesPerGroup));
    box.SiteNumber(qint16(k + 1));
    box.Visible(true);
}

void CSiteLayout::NextPosition(int i, qint32& top, qint32& left) const
{
    if (m_lHandlerType == 2)
        NextPositionUp(i, top, left);
    else
        NextPositionDown(i, top, left);
}

void CSiteLayout::NextPositionDown(int i, qint32& top, qint32& left) const
{
    if (i % m_iGroupsPerRow != 0) {
        left += m_lColumnPitch;
    } else {
        top += m_lRowPitch;
        left = kLeftMargin;
    }
}

void CSiteLayout::NextPositionUp(int i, qint32& top, qint32& left) const
{
    if (i % m_iGroupsPerRow != 0) {
        left += m_lColumnPitch;
        return;
    }
    top -= m_lRowPitch;
    left = kLeftMargin;
    // The ninth group starts one column in, when its row has a column to
    // spare.
    if (i == 8 && m_iGroupCount - 8 < m_iGroupsPerRow)
        left = m_lColumnPitch + kLeftMargin;
}
