#pragma once

// Arranges the site boxes (one per site of the programmer) inside the
// operation window's concurrent frame: sites are grouped by the engine's
// sites per group, groups fill rows, and the box sizes follow from the
// frame's size. With the manual handler the sites of a group are stacked,
// with an automatic handler they stand side by side, and with handler type 2
// the rows run from the bottom upward, four groups to a row once there are
// two rows or more. All values are in twips.
//
// The geometry (SetupLayout, Placements) is a plain computation; LoadControls
// and RefreshLayout apply it to the window's site boxes through the Host.

#include <QtGlobal>
#include <vector>

class SiteBoxControl;

class CSiteLayout
{
public:
    // What the layout needs of its window.
    class Host
    {
    public:
        virtual ~Host() = default;
        // The number of SiteBox elements.
        virtual int SiteBoxCount() const = 0;
        // Creates SiteBox element index (hidden); False when it cannot.
        virtual bool LoadSiteBox(int index) = 0;
        virtual void UnloadSiteBox(int index) = 0;
        virtual SiteBoxControl& SiteBoxAt(int index) = 0;
        // The engine's SiteCount (48) and SiteSlotCount (270).
        virtual qint32 EngineSiteCount() = 0;
        virtual qint16 EngineSiteSlotCount() = 0;
        // The job's handler type (0 manual, 1 and 2 automatic).
        virtual qint32 HandlerType() = 0;
    };

    // Where one site box goes, inside the frame.
    struct Placement
    {
        qint32 top = 0;
        qint32 left = 0;
        qint32 height = 0;
        qint32 width = 0;
    };

    explicit CSiteLayout(Host* host = nullptr);

    // (Re)creates the site boxes for the engine's site count.
    void LoadControls();
    // Arranges the boxes for a frame of that size; nothing before LoadControls.
    void RefreshLayout(const qint32& height, const qint32& width);

    // The geometry alone: the grid and sizes for that many site boxes in a
    // frame of that size. Every box gets a place inside the frame.
    void SetupLayout(qint32 height, qint32 width, int siteBoxCount, qint16 sitesPerGroup, qint32 handlerType);
    // The place of each site box (index k is site k + 1) after SetupLayout.
    std::vector<Placement> Placements() const;

    bool Loaded() const { return m_bLoaded; }
    int GroupCount() const { return m_iGroupCount; }
    int SiteBoxCount() const { return m_iSiteBoxCount; }
    int SitesPerGroup() const { return m_iSitesPerGroup; }
    int Rows() const { return m_iRows; }
    int GroupsPerRow() const { return m_iGroupsPerRow; }
    bool Stacked() const { return m_bStacked; }
    bool GroupedSlots() const { return m_bGroupedSlots; }
    qint32 RowPitch() const { return m_lRowPitch; }
    qint32 ColumnPitch() const { return m_lColumnPitch; }
    qint32 BoxHeight() const { return m_lBoxHeight; }
    qint32 BoxWidth() const { return m_lBoxWidth; }

    // Site boxes start this far inside the frame; the bottom keeps room for
    // the run counters.
    static constexpr qint32 kTopMargin = 200;
    static constexpr qint32 kLeftMargin = 100;
    static constexpr qint32 kCounterRoom = 1000;

private:
    void UnloadControls();
    void ChooseOrientation();
    void ComputeSizes(qint32 height, qint32 width);
    void ComputeGrid();
    int RowsWithoutHandler() const;
    int RowsWithHandler() const;
    void SetGroupsPerRow();
    void Arrange();
    void PlaceGroup(int g, qint32 top, qint32 left, std::vector<Placement>& out) const;
    void PlaceSiteBox(int k, const Placement& place);
    void NextPosition(int i, qint32& top, qint32& left) const;
    void NextPositionDown(int i, qint32& top, qint32& left) const;
    void NextPositionUp(int i, qint32& top, qint32& left) const;

    Host* m_host;
    int m_iGroupCount = 1;
    int m_iSiteBoxCount = 1;
    int m_iSitesPerGroup = 1;
    int m_iRows = 1;
    int m_iGroupsPerRow = 1;
    bool m_bStacked = true;
    bool m_bGroupedSlots = false;
    bool m_bLoaded = false;
    qint32 m_lRowPitch = 0;
    qint32 m_lColumnPitch = 0;
    qint32 m_lBoxHeight = 0;
    qint32 m_lBoxWidth = 0;
    qint32 m_lHandlerType = 0;
    qint32 m_lFrameHeight = 0;
    qint32 m_lFrameWidth = 0;
};
