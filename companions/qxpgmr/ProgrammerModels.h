#pragma once

// The programmer models the engine knows, in the order of its model list
// (ProgrammerModelCount, ModelNameAt). They come from the algorithm database.

#include <QString>
#include <QVector>

struct ProgrammerModel
{
    int index = -1;
    QString name;
    int siteCount = 1;       // SiteCount
    int sitesPerGroup = 1;   // SiteSlotCount: the sites of one module
    bool concurrent = false; // IsConcurrentProgrammer
    bool usb = false;        // IsUsbProgrammer
    bool testOnly = false;   // TestOnlyStation
    QString captionPart;     // ProgrammerCaptionPart
    int captionNumber = 0;   // CaptionPart269
};

class ProgrammerModels
{
public:
    ProgrammerModels() = default;
    // The models in list order; model i must stand at position i.
    explicit ProgrammerModels(QVector<ProgrammerModel> models) : m_models(std::move(models)) {}

    int Count() const { return int(m_models.size()); }
    bool Contains(int index) const { return index >= 0 && index < Count(); }
    // The model at a list position; a default model (one site, no name)
    // outside the list, so a station without a database still answers.
    const ProgrammerModel& At(int index) const;
    QString NameAt(int index) const { return Contains(index) ? m_models.at(index).name : QString(); }

private:
    QVector<ProgrammerModel> m_models;
};
