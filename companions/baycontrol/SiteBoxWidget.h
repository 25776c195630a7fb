#pragma once

// How one site box looks: the site's name, its state in words on the state's
// colour, the status or error text of the last report, and the site's passed,
// failed and total counters. It shows what its control tells it.

#include <QColor>
#include <QString>
#include <QWidget>

class SiteBoxWidget : public QWidget
{
public:
    struct View
    {
        QString label;      // "Site 3"
        QString stateText;  // "Passed", "Failed", ...
        QColor colour;      // the state's colour
        QString message;    // status text, or the error text of a failure
        qint32 passed = 0;
        qint32 failed = 0;
        qint32 total = 0;
    };

    explicit SiteBoxWidget(QWidget* parent = nullptr);

    void SetView(const View& view);
    const View& CurrentView() const { return m_view; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    View m_view;
};
