#include "DeviceOptionsLayout.h"

namespace {
// As designed: the first special button, then the fixed buttons.
constexpr qint32 kSpecialLeft = 120;
constexpr qint32 kDesignLeft[DeviceOptionsLayout::ButtonCount] = {1200, 2280, 3360, 4440, 5520, 6840, 8160};
} // namespace

qint32 DeviceOptionsLayout::Width(Button b) const
{
    switch (b) {
    case BufferSettings:
        return kBufferSettingsWidth;
    case Cancel:
        return kCancelWidth;
    default:
        return kButtonWidth;
    }
}

bool DeviceOptionsLayout::IsSkippedExtra(const QString& name)
{
    const QString upper = name.toUpper();
    return name.isEmpty() || upper == QLatin1String("E-FIELD") || upper == QLatin1String("EFIELD");
}

void DeviceOptionsLayout::closeUp(Button b)
{
    for (int i = Done; i > b; --i)
        m_left[i] = m_left[i - 1];
}

DeviceOptionsLayout DeviceOptionsLayout::Compute(const DeviceCapabilities& capabilities, const QStringList& extraNames)
{
    DeviceOptionsLayout layout;
    for (int i = 0; i < ButtonCount; ++i)
        layout.m_left[i] = kDesignLeft[i];
    layout.m_visible[Done] = true;

    const qint32 gap = qint16(layout.m_left[Done] - (layout.m_left[BufferSettings] + kBufferSettingsWidth));

    // The designed special button leaves the row; every button moves into
    // the place of its left neighbour.
    for (int i = Done; i > Vector; --i)
        layout.m_left[i] = layout.m_left[i - 1];
    layout.m_left[Vector] = kSpecialLeft;
    qint32 freeLeft = layout.m_left[Vector];
    const qint32 step = kButtonWidth + layout.m_left[Vector];

    for (int i = 0; i < extraNames.size(); ++i) {
        if (IsSkippedExtra(extraNames.at(i)))
            continue;
        layout.m_specials.push_back({i, extraNames.at(i), freeLeft});
        for (int b = Vector; b < ButtonCount; ++b)
            layout.m_left[b] += step;
        freeLeft += step;
    }

    const std::pair<bool, Button> optional[] = {{capabilities.testVectors, Vector},
                                                {capabilities.byteOrder, ByteOrder},
                                                {capabilities.range, Range},
                                                {capabilities.setsAndBanks, Array}};
    for (const auto& [shown, button] : optional) {
        layout.m_visible[button] = shown;
        if (!shown)
            layout.closeUp(button);
    }

    layout.m_visible[BufferSettings] = capabilities.bufferOffset;
    layout.m_left[Done] = capabilities.bufferOffset
                              ? layout.m_left[BufferSettings] + kBufferSettingsWidth + gap
                              : layout.m_left[BufferSettings];
    layout.m_windowWidth = layout.m_left[Done] + kButtonWidth + kRightMargin;
    return layout;
}
