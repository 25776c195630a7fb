// Every window and dialog of the station, opened as the operator opens it, at
// the station's font and at the larger fonts of Linux desktops: no caption of
// a button, check box, option, label, frame or tab is cut, and no control lies
// outside its frame or its window. The device shown has every option and an
// extra command with a long name, so the device options window shows every
// button it can.

#include "StationTest.h"

#include "engine/QXPgmrControl.h"
#include "mainwindow/frmMain.h"
#include "operation/frmProgram.h"
#include "platform/MemberTable.h"
#include "platform/ScriptedUiService.h"
#include "records/frmJobSummary.h"
#include "records/frmOperatorPwd.h"
#include "records/frmSKReport.h"
#include "settings/DirDialog.h"
#include "buffer/frmBufferCmd.h"
#include "device/frmChecksum.h"
#include "shell/StartUp.h"
#include "shell/frmSplash.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QHash>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>

#include <functional>
#include <memory>

namespace {

const QString kLongExtra = QStringLiteral("Program Security Fuses And Lock Bits");

// The engine as the station gets it, answering for a device that offers
// every option and one more extra command, with a long name.
// Further answers are the test's own (reads and calls alike).
class EveryOptionEngine : public IDispatchControl
{
public:
    EveryOptionEngine(std::unique_ptr<IDispatchControl> engine, const QHash<int, QVariant>& answers)
        : m_engine(std::move(engine)),
          m_answers(answers)
    {
    }
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        if (kind != InvokeKind::PropertyPut && m_answers.contains(dispid))
            return m_answers.value(dispid);
        if (kind == InvokeKind::PropertyGet) {
            switch (dispid) {
            case QXPgmrId::DeviceSupportsTestVectors:
            case QXPgmrId::DeviceSupportsByteOrder:
            case QXPgmrId::DeviceSupportsRange:
            case QXPgmrId::DeviceSupportsSetsAndBanks:
            case QXPgmrId::DeviceSupportsBufferOffset: return VbBool(true);
            case QXPgmrId::ExtraCommandCount: return m_engine->Invoke(dispid, kind, args).toInt() + 1;
            case QXPgmrId::ExtraCommandNameAt: {
                QVariantList none;
                const qint32 own = m_engine->Invoke(QXPgmrId::ExtraCommandCount, kind, none).toInt();
                if (args.value(0).toInt() == own)
                    return kLongExtra;
                break;
            }
            default: break;
            }
        }
        return m_engine->Invoke(dispid, kind, args);
    }
    int GetIDOfName(const QString& name) const override { return m_engine->GetIDOfName(name); }
    void SetEventSink(IEventSink* sink) override { m_engine->SetEventSink(sink); }
    QString ClassName() const override { return m_engine->ClassName(); }
    QWidget* Widget() override { return m_engine->Widget(); }

private:
    std::unique_ptr<IDispatchControl> m_engine;
    const QHash<int, QVariant>& m_answers;
};

QString Name(const QWidget* w)
{
    QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
        name += " \"" + b->text() + "\"";
    else if (const auto* l = qobject_cast<const QLabel*>(w))
        name += " \"" + l->text() + "\"";
    else if (const auto* g = qobject_cast<const QGroupBox*>(w))
        name += " \"" + g->title() + "\"";
    return name;
}

QString Text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// What of the control's caption does not fit its geometry at its font.
QString CutCaption(const QWidget* w)
{
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
        if (b->text().isEmpty())
            return {};
        QStyleOptionButton option;
        option.initFrom(b);
        option.rect = b->rect();
        option.text = b->text();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(b))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<const QRadioButton*>(b))
            element = QStyle::SE_RadioButtonContents;
        else if (const auto* push = qobject_cast<const QPushButton*>(b); push && push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
        const QRect room = b->style()->subElementRect(element, &option, b);
        const QSize text = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
        if (text.width() > room.width() || text.height() > room.height())
            return QStringLiteral("caption %1x%2 in %3x%4")
                .arg(text.width())
                .arg(text.height())
                .arg(room.width())
                .arg(room.height());
        return {};
    }
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->text().isEmpty())
            return {};
        const QSize need = l->wordWrap() ? QSize(l->width(), l->heightForWidth(l->width())) : l->sizeHint();
        if (need.width() > l->width() || need.height() > l->height())
            return QStringLiteral("text needs %1x%2, has %3x%4")
                .arg(need.width())
                .arg(need.height())
                .arg(l->width())
                .arg(l->height());
        return {};
    }
    if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
        const QSize need = g->fontMetrics().size(Qt::TextShowMnemonic, g->title());
        if (need.width() > g->width() || need.height() > g->height())
            return QStringLiteral("title needs %1x%2, has %3x%4")
                .arg(need.width())
                .arg(need.height())
                .arg(g->width())
                .arg(g->height());
        return {};
    }
    if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i))
                continue;
            const QRect tab = tabs->tabRect(i);
            const QSize text = tabs->fontMetrics().size(Qt::TextShowMnemonic, tabs->tabText(i));
            if (tab.right() >= tabs->width() || tab.bottom() >= tabs->height() + 1 || text.width() > tab.width()
                || text.height() > tab.height())
                return QStringLiteral("tab \"%1\" %2 in a bar of %3x%4")
                    .arg(tabs->tabText(i), Text(tab))
                    .arg(tabs->width())
                    .arg(tabs->height());
        }
    }
    return {};
}

// The frames whose controls the windows place themselves (the insides of
// Qt's own widgets are theirs).
bool IsFrame(const QWidget* w)
{
    const QMetaObject* kind = w->metaObject();
    return qobject_cast<const QGroupBox*>(w) || kind == &QFrame::staticMetaObject || kind == &QWidget::staticMetaObject
        || w->isWindow() || qobject_cast<const frmProgram*>(w);
}

void Walk(const QWidget* top, const QWidget* container, QStringList& misfits)
{
    const QRect inside(QPoint(0, 0), container->size());
    for (QObject* child : container->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow() || !w->isVisibleTo(top))
            continue;
        if (!inside.contains(w->geometry()))
            misfits << Name(w) + " at " + Text(w->geometry()) + " lies outside " + Name(container) + " of "
                    + Text(inside);
        const QString cut = CutCaption(w);
        if (!cut.isEmpty())
            misfits << Name(w) + ": " + cut;
        if (IsFrame(w))
            Walk(top, w, misfits);
        else
            for (const QTabBar* tabs : w->findChildren<QTabBar*>()) {
                const QString tabCut = tabs->isVisibleTo(top) ? CutCaption(tabs) : QString();
                if (!tabCut.isEmpty())
                    misfits << Name(w) + ": " + tabCut;
            }
    }
}

// Every caption that is cut and every control outside its frame or window,
// with the window shown at its start size.
QStringList Misfits(QWidget* window)
{
    window->show();
    QApplication::processEvents();
    QStringList misfits;
    Walk(window, window, misfits);
    // TARVO_SCREENS_DIR=<folder> keeps a picture of each window as checked.
    const QString pictures = qEnvironmentVariable("TARVO_SCREENS_DIR");
    if (!pictures.isEmpty()) {
        const QString name = window->objectName() + "-" + QString::number(window->font().pointSize()) + "pt";
        int n = 1;
        while (QFile::exists(QStringLiteral("%1/%2-%3.png").arg(pictures, name).arg(n)))
            ++n;
        window->grab().save(QStringLiteral("%1/%2-%3.png").arg(pictures, name).arg(n));
    }
    return misfits;
}

struct FontCase
{
    const char* name;
    int pointSize; // 0: the station's own font
};

class EveryWindowFitsTest : public StationTest, public ::testing::WithParamInterface<FontCase>
{
protected:
    void SetUp() override
    {
        StationTest::SetUp();
        m_font = QApplication::font();
        if (GetParam().pointSize > 0)
            QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), GetParam().pointSize));
        frmMain::SetControlWrapper(
            [this](std::unique_ptr<IDispatchControl> control) -> std::unique_ptr<IDispatchControl> {
                if (control->ClassName() == QLatin1String(QXPgmrControl::ClassName))
                    return std::make_unique<EveryOptionEngine>(std::move(control), answers);
                return control;
            });
        SetRawCommandLineText(QString());
        ASSERT_TRUE(StartApplication());
        ASSERT_TRUE(gMainForm->frmP->SelectDevice(QStringLiteral("NV29LV160B")));
    }
    void TearDown() override
    {
        StationTest::TearDown();
        frmMain::SetControlWrapper({});
        QApplication::setFont(m_font);
    }

    // Opens a window the way the operator does and checks it while it is up;
    // from inside it, a further window may be opened and checked the same way.
    void ExpectFits(const char* what, const std::function<void()>& open,
                    const std::function<void(QDialog*)>& inside = {})
    {
        SCOPED_TRACE(what);
        int seen = 0;
        const int dialogs = inside ? 2 : 1;
        for (int i = 0; i < dialogs; ++i)
            ui().OnModal([&](QDialog* dialog) {
                const bool first = ++seen == 1;
                const QStringList misfits = Misfits(dialog);
                EXPECT_TRUE(misfits.isEmpty())
                    << dialog->objectName().toStdString() << ":\n  " << misfits.join("\n  ").toStdString();
                if (first && inside)
                    inside(dialog);
                dialog->reject();
                return int(QDialog::Rejected);
            });
        open();
        EXPECT_EQ(seen, dialogs);
    }
    void ExpectFits(QWidget* window)
    {
        const QStringList misfits = Misfits(window);
        EXPECT_TRUE(misfits.isEmpty()) << window->objectName().toStdString() << ":\n  "
                                       << misfits.join("\n  ").toStdString();
        window->hide();
    }

    QHash<int, QVariant> answers;

private:
    QFont m_font;
};

TEST_P(EveryWindowFitsTest, EveryWindowShowsEveryCaptionWhole)
{
    frmMain& main = *gMainForm;
    ExpectFits(main.frmP);

    for (QAction* item : {main.mnuDeviceRange, main.mnuDeviceByteOrder, main.mnuDeviceSetsAndBanks,
                          main.mnuDeviceTestVectors, main.mnuDeviceBufferOffset, main.mnuHelpAbout, main.mnuTechSupport,
                          main.mnuJobChangePassword, main.mnuSealbookConfigure, main.mnuViewNote}) {
        item->setEnabled(true);
        ExpectFits(qPrintable(item->objectName()), [item] { item->trigger(); });
    }
    ExpectFits("device options", [&] {
        main.frmP->OptionsButton->setEnabled(true);
        main.frmP->OptionsButton->click();
    });
    ExpectFits("configure", [&] { main.mnuFileConfigure->trigger(); });
    ExpectFits(
        "data pattern window and its save dialog",
        [&] {
            main.frmP->FileButton->setEnabled(true);
            main.frmP->FileButton->click();
        },
        [](QDialog* window) { qobject_cast<frmBufferCmd*>(window)->Save_Click(); });
    const QString pattern = tempPath("pattern.bin");
    QFile file(pattern);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(64, '\x5A'));
    file.close();
    ui().Answer(pattern); // the file chosen in the browser
    ExpectFits("load dialog", [&] { main.frmP->ExecuteBufferCommand(1, QString(), -1); });

    DirDialog folders(&main);
    folders.SelectedDir(QDir::homePath());
    ExpectFits("directory picker", [&] { folders.ShowDialog(); });
    frmChecksum checksum(main.pgmrData(), &main);
    ExpectFits(&checksum);
    frmOperatorPwd password(&main);
    ExpectFits(&password);
    for (const qint32 type : {1, 2}) {
        frmSKReport report(type, &main);
        report.Reset();
        ExpectFits(&report);
    }
    frmJobSummary summary(main.frmP->JobSummaryInputsNow(), &main);
    ExpectFits(&summary);
    ExpectFits(&frmSplash::Instance());
    frmSplash::Unload();

    // The serialization dialog in each of its layouts, as the Tools menu
    // opens it.
    struct Layout
    {
        const char* name;
        bool stapl;
        qint32 kind; // 0 none, else simple or complex by the next
        qint32 complex;
    };
    for (const Layout& l : {Layout{"none", false, 0, 0}, Layout{"simple", false, 1, 0}, Layout{"complex", false, 1, 1},
                            Layout{"STAPL", true, 0, 0}}) {
        answers[QXPgmrId::SerializationField244] = VbBool(true);
        answers[QXPgmrId::SerializationValue303] = VbBool(false);
        answers[QXPgmrId::DeviceSupportsStaplSerialization] = VbBool(l.stapl);
        answers[QXPgmrId::IsConcurrentProgrammer] = VbBool(l.stapl);
        answers[QXPgmrId::SerializationValueAt245] = l.kind;
        answers[QXPgmrId::SerializationField260] = l.complex;
        ExpectFits(l.name, [&] { main.Serialization_Click(); });
    }
    answers.clear();
}

const FontCase kFonts[] = {{"StationFont", 0}, {"DejaVu10", 10}, {"DejaVu11", 11}};
INSTANTIATE_TEST_SUITE_P(Fonts, EveryWindowFitsTest, ::testing::ValuesIn(kFonts),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
