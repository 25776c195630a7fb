#pragma once

// The row of the device options window, in twips: which buttons show and
// where, for the capabilities and extra commands of the selected device.
// The row is the designed one with every optional button taken out and put
// back in its order, so the buttons shown always stand one gap apart.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <vector>

struct DeviceCapabilities
{
    bool testVectors = false;
    bool byteOrder = false;
    bool range = false;
    bool setsAndBanks = false;
    bool bufferOffset = false;
};

class DeviceOptionsLayout
{
public:
    // The buttons of the row, in their designed order.
    enum Button { Vector, ByteOrder, Range, Array, BufferSettings, Done, Cancel, ButtonCount };

    static constexpr qint32 kTop = 120;
    static constexpr qint32 kHeight = 435;
    static constexpr qint32 kButtonWidth = 975;
    static constexpr qint32 kBufferSettingsWidth = 1215;
    static constexpr qint32 kCancelWidth = 75;
    static constexpr qint32 kRightMargin = 240;

    struct Special
    {
        int index = 0;   // the engine's index of the command
        QString caption;
        qint32 left = 0;
    };

    // Lays the row out; extraNames holds the engine's extra commands by index.
    static DeviceOptionsLayout Compute(const DeviceCapabilities& capabilities, const QStringList& extraNames);

    // An extra command that gets no button (its name is empty, or the
    // electric-field command in any letter case).
    static bool IsSkippedExtra(const QString& name);

    qint32 Left(Button b) const { return m_left[b]; }
    qint32 Width(Button b) const;
    bool Visible(Button b) const { return m_visible[b]; }
    const std::vector<Special>& Specials() const { return m_specials; }
    // The window's inner width.
    qint32 WindowWidth() const { return m_windowWidth; }

private:
    // Takes the button out of the row: each button to its right takes its
    // left neighbour's place, right to left.
    void closeUp(Button b);

    qint32 m_left[ButtonCount] = {};
    bool m_visible[ButtonCount] = {};
    std::vector<Special> m_specials;
    qint32 m_windowWidth = 0;
};
