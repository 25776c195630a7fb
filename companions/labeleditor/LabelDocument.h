#pragma once

// The one label the editor holds: its file, its text and where the text
// sits on the label. A label file is a small INI file (data/README.md, "The
// label editor"):
//
//   [Label]
//   Text=SN 000000
//   X=4
//   Y=10
//
// X and Y in millimetres from the label's top left corner to the start of
// the text's base line.

#include <QPoint>
#include <QString>

class QPrinter;

class LabelDocument
{
public:
    static constexpr double kWidthMm = 62.0;
    static constexpr double kHeightMm = 29.0;

    // False (the label as it was) when the file cannot be read.
    bool Load(const QString& fileName);
    // Writes the label back to its file; False when it has none or the
    // write fails.
    bool Save() const;
    // One page: the text at its place on a label-sized page.
    bool Print(QPrinter& printer) const;

    QString fileName;
    QString text;
    QPoint position{4, 10};
};
