#pragma once

// The action tab strip of the operation window: a row of tabs above a client
// area. The controls of the tabs are not its children: the window places its
// option frame over the client area, and every tab shows the same frame
// filled for that tab's action. Tabs are numbered from 1; each has a key and
// a caption.
//
// The selected tab changes in two steps, as the window expects: beforeClick
// while the tab being left is still the selected one, then click once the new
// one is. Selecting from code (Select, Add, Clear) raises neither.

#include <QWidget>

class QTabBar;

class TabStrip : public QWidget
{
    Q_OBJECT
public:
    explicit TabStrip(QWidget* parent = nullptr);

    int Count() const;
    // Adds a tab at the 1-based index (Count() + 1 appends). False when a tab
    // with that key exists already or the index is out of range.
    bool Add(int index, const QString& key, const QString& caption);
    void Clear();
    QString Key(int index) const;
    QString Caption(int index) const;
    void SetToolTip(int index, const QString& text);
    QString ToolTip(int index) const;
    // The 1-based index of the selected tab, 0 when there is none.
    int SelectedIndex() const { return m_selected; }
    void Select(int index);

    QTabBar* Tabs() const { return m_tabs; }
    // The designed height of the row of tabs, in twips.
    static constexpr qint32 kTabRowHeight = 375;
    // The height of the row, in twips: as designed, or what a tab's caption
    // needs at the strip's font.
    qint32 RowHeight() const;

signals:
    void beforeClick();
    void click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void onCurrentChanged(int index);

    QTabBar* m_tabs = nullptr;
    int m_selected = 0;
    bool m_fromCode = false;
};
