#pragma once

// How one site box looks: the site's name, its state in words on the state's
// colour, the status or error text of the last report, and the site's passed,
// failed and total counters. It shows what its control tells it.
//
// A small box (eight sites in a small window) still shows the state and the
// counters: the name and the state share a line, the message goes first, and
// the font steps down to a floor before anything is cut.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>

class SiteBoxWidget : public QWidget
{
    Q_OBJECT
    // The lines the box shows now, as drawn (a cut one ends in "…"), for
    // whoever reads the box from outside the plug-in.
    Q_PROPERTY(QStringList shownLines READ ShownLines)

public:
    struct View
    {
        QString label;     // "Site 3"
        QString stateText; // "Passed", "Failed", ...
        QColor colour;     // the state's colour
        QString message;   // status text, or the error text of a failure
        qint32 passed = 0;
        qint32 failed = 0;
        qint32 total = 0;
    };

    explicit SiteBoxWidget(QWidget* parent = nullptr);

    void SetView(const View& view);
    const View& CurrentView() const { return m_view; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The lines are laid out when they are drawn or read, not at every
    // report: a run reports far more often than the screen is drawn.
    const QStringList& ShownLines() const;
    void layOut() const;

    View m_view;
    mutable bool m_laidOut = false;
    mutable QFont m_font;
    mutable QStringList m_lines;
    mutable int m_boldLine = -1; // the line that carries the state
};
