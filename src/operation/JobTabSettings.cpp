#include "JobTabSettings.h"

#include "platform/EngineCall.h"

#include <QHash>

#include <algorithm>
#include <iterator>

namespace {

const QString kJobInfo = QStringLiteral("JobInfo");
const QString kActiveTab = QStringLiteral("ActiveTab");
const QString kSelection = QStringLiteral("Selection");
const QString kEnableSelection = QStringLiteral("EnableSelection");
const QString kPlaceholderText = QStringLiteral("No_Content");
const QString kPlaceholderFlag = QStringLiteral("0");
constexpr int kPlaceholderLastRow = 4;

QString Section(const QString& name)
{
    return QStringLiteral("GUI-") + name;
}

} // namespace

QString JobTabSettings::LettersOnly(const QString& text)
{
    QString letters;
    for (QChar c : text)
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')))
            letters += c;
    return letters;
}

bool JobTabSettings::ContainsViewableCharacters(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 33 && c.unicode() <= 126)
            return true;
    return false;
}

QString JobTabSettings::PlaceholderName(int action)
{
    static const char* const kNames[] = {"Program", "Verify", "Read", "Blank", "Test", "Secure", "Erase"};
    constexpr int count = int(std::size(kNames));
    return QString::fromLatin1(kNames[std::clamp(action, 1, count) - 1]);
}

int JobTabSettings::LastRow(const QString& deviceName)
{
    return deviceName.startsWith(QLatin1String("STAPL")) ? 16 : 4;
}

QStringList JobTabSettings::SectionNames(const QStringList& captions)
{
    // Two tabs with the same letters ("Run 1", "Run 2") would share a
    // section and the second would read the first's rows: the later ones
    // are numbered with a "#", which letters alone never give.
    QHash<QString, int> seen;
    QStringList names;
    for (const QString& caption : captions) {
        const QString letters = LettersOnly(caption);
        const int n = ++seen[letters];
        names << Section(n == 1 ? letters : letters + QLatin1Char('#') + QString::number(n));
    }
    return names;
}

QStringList JobTabSettings::sectionNames() const
{
    QStringList captions;
    for (int tab = 1; tab <= m_host.TabCount(); ++tab)
        captions << m_host.TabCaption(tab);
    return SectionNames(captions);
}

void JobTabSettings::write(const QString& section, const QString& key, const QString& value, qint32 kind)
{
    m_host.WriteValue(section, key, value, kind);
    m_written.insert(section + QLatin1Char('\n') + key);
}

void JobTabSettings::Export()
{
    m_written.clear();
    const int selected = m_host.SelectedTab();
    try {
        write(kJobInfo, kActiveTab, m_host.TabCaption(selected), kFlagKind);
        exportTabRows(LastRow(m_host.DeviceName()));
        exportPlaceholderRows();
    } catch (...) {
        // The operator stays on the tab they were on; the caller hears of
        // the failed export.
        m_host.VisitTab(selected);
        throw;
    }
    m_host.VisitTab(selected);
}

void JobTabSettings::exportTabRows(int lastRow)
{
    const QStringList sections = sectionNames();
    for (int tab = 1; tab <= sections.size(); ++tab) {
        m_host.VisitTab(tab);
        const QString& section = sections[tab - 1];
        for (int row = 0; row <= lastRow; ++row) {
            const QStringList entries = m_host.Entries(row);
            const int index = m_host.Selected(row);
            const QString selection = index >= 0 && index < entries.size() ? entries[index] : QString();
            write(section, kSelection + QString::number(row), selection, kTextKind);
            write(section, kEnableSelection + QString::number(row), QString::number(m_host.CheckValue(row)), kFlagKind);
        }
    }
}

void JobTabSettings::exportPlaceholderRows()
{
    for (int action = 1; action < m_host.ActionSlots(); ++action) {
        const QString section = Section(PlaceholderName(action));
        for (int row = 0; row <= kPlaceholderLastRow; ++row) {
            const QString selection = kSelection + QString::number(row);
            const QString enable = kEnableSelection + QString::number(row);
            // A real row of a tab with this name is kept as written.
            if (!m_written.contains(section + QLatin1Char('\n') + selection))
                write(section, selection, kPlaceholderText, kTextKind);
            if (!m_written.contains(section + QLatin1Char('\n') + enable))
                write(section, enable, kPlaceholderFlag, kFlagKind);
        }
    }
}

void JobTabSettings::Import()
{
    SetActiveTab(true);
    verifyPlaceholderRows();
}

void JobTabSettings::SetActiveTab(bool loadSettings)
{
    using enginecall::Try;
    const int tabCount = m_host.TabCount();
    QString name;
    qint32 status = 0;
    Try([&] { name = m_host.ReadValue(kJobInfo, kActiveTab, kFlagKind, status, !loadSettings); });

    const int current = m_host.SelectedTab();
    int found = 0;
    for (int tab = 1; tab <= tabCount; ++tab)
        if (m_host.TabCaption(tab) == name)
            found = tab;

    if (loadSettings) {
        QString device;
        Try([&] { device = m_host.DeviceName(); });
        importTabRows(LastRow(device));
    }
    m_host.VisitTab(found > 0 ? found : current);
}

void JobTabSettings::importTabRows(int lastRow)
{
    using enginecall::Try;
    const QStringList sections = sectionNames();
    const QString secure = QStringLiteral("Secure(");
    for (int tab = 1; tab <= sections.size(); ++tab) {
        m_host.VisitTab(tab);
        const QString& section = sections[tab - 1];
        for (int row = 0; row <= lastRow; ++row) {
            if (!m_host.CheckVisible(row))
                continue;
            QString selection;
            qint32 status = 0;
            Try([&] {
                selection = m_host.ReadValue(section, kSelection + QString::number(row), kTextKind, status, false);
            });

            // A stored variant name also finds the entry that secures it.
            const QStringList entries = m_host.Entries(row);
            int match = -1;
            for (int i = 0; i < entries.size() && match < 0; ++i)
                if (entries[i] == selection || entries[i] == secure + selection + QLatin1Char(')'))
                    match = i;
            if (match >= 0) {
                m_host.Select(row, match);
            } else if (ContainsViewableCharacters(selection)) {
                const QString tabName = LettersOnly(m_host.TabCaption(tab));
                if (enginecall::Ask([&] { return m_host.ShowErrorMessages(); }, false))
                    m_host.ShowCritical(QStringLiteral("'") + selection
                                            + QStringLiteral("' operation option is not found in ") + tabName
                                            + QStringLiteral(" tab. The sealbook file may be obsolete.\r")
                                            + QStringLiteral("Please review the selected options and re-save the job."),
                                        QStringLiteral("Load Sealbook"));
                if (m_host.StartInOperatorMode()) {
                    Try([&] { m_host.ReadStepFailed(); });
                    return;
                }
            }

            QString enable;
            Try([&] {
                enable = m_host.ReadValue(section, kEnableSelection + QString::number(row), kFlagKind, status, false);
            });
            // A live box takes only a live value; a greyed one stays greyed.
            const qint16 value = m_host.CheckValue(row);
            if ((value == 0 || value == 1) && (enable == QLatin1String("0") || enable == QLatin1String("1")))
                m_host.SetCheckValue(row, qint16(enable.toShort()));
        }
    }
}

void JobTabSettings::verifyPlaceholderRows()
{
    for (int action = 1; action < m_host.ActionSlots(); ++action) {
        const QString section = Section(PlaceholderName(action));
        for (int row = 0; row <= kPlaceholderLastRow; ++row) {
            const std::pair<QString, qint32> keys[] = {{kSelection + QString::number(row), kTextKind},
                                                       {kEnableSelection + QString::number(row), kFlagKind}};
            for (const auto& [key, kind] : keys) {
                qint32 status = -1;
                enginecall::Try([&] { m_host.ReadValue(section, key, kind, status, false); });
                if (status != 0) {
                    enginecall::Try([&] { m_host.ReadStepFailed(); });
                    return;
                }
            }
        }
    }
}
