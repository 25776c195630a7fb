#pragma once

// The arrangement of site boxes written as a picture, so that a test reads
// like the screen: one line per row of groups from top to bottom, the groups
// of a row in column order separated by a blank, "." for a column left empty,
// and the sites of a group joined by "/" when stacked and "+" when side by
// side. 8 sites in stacked pairs on two rows read {"1/2 3/4", "5/6 7/8"}.

#include <QRect>
#include <QStringList>
#include <algorithm>
#include <map>
#include <set>
#include <vector>

inline QStringList ArrangementPicture(const std::vector<QRect>& boxes, int sitesPerGroup)
{
    const int n = int(boxes.size());
    const int perGroup = std::max(sitesPerGroup, 1);
    std::set<int> tops;
    std::set<int> lefts;
    std::map<std::pair<int, int>, QString> cells; // (top, left) of a group's first site
    for (int first = 0; first < n; first += perGroup) {
        const int last = std::min(first + perGroup, n);
        const QRect anchor = boxes[size_t(first)];
        bool stacked = true;
        bool sideBySide = true;
        QString text = QString::number(first + 1);
        for (int k = first + 1; k < last; ++k) {
            const QRect& prev = boxes[size_t(k - 1)];
            const QRect& box = boxes[size_t(k)];
            stacked = stacked && box.left() == prev.left() && box.top() > prev.top();
            sideBySide = sideBySide && box.top() == prev.top() && box.left() > prev.left();
        }
        const QString join = stacked ? QStringLiteral("/") : sideBySide ? QStringLiteral("+") : QStringLiteral("?");
        for (int k = first + 1; k < last; ++k)
            text += join + QString::number(k + 1);
        tops.insert(anchor.top());
        lefts.insert(anchor.left());
        cells[{anchor.top(), anchor.left()}] = text;
    }
    QStringList picture;
    for (int top : tops) {
        QStringList row;
        int column = 0;
        int lastFilled = -1;
        for (int left : lefts) {
            const auto it = cells.find({top, left});
            row << (it == cells.end() ? QStringLiteral(".") : it->second);
            if (it != cells.end())
                lastFilled = column;
            ++column;
        }
        picture << QStringList(row.mid(0, lastFilled + 1)).join(QLatin1Char(' '));
    }
    return picture;
}
