// The fill value the operator sees is the one the engine fills the buffer
// with, in the data pattern window and in the load dialog, in either radix,
// with the radix switched before or after the value is typed; and it stays
// the same however often the window is opened and confirmed again. Over the
// simulated engine, as the station runs it.

#include "../operation/StandInWindowFixture.h"

#include "buffer/DefaultBufferValue.h"
#include "buffer/frmBufferCmd.h"
#include "buffer/frmBufferLoad.h"
#include "qxbuffer/DataBuffer.h"
#include "settings/ProgrammerClass.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <tuple>

namespace {

enum class Host { DataPatternWindow, LoadDialog };
enum class Switch { None, BeforeTyping, AfterTyping };

constexpr int kInvalid = -1;    // "Input Error": not a number in that radix
constexpr int kOutOfRange = -2; // "Out of Range Error"

struct Typed
{
    const char* text;
    int asDecimal; // its value typed in decimal, or kInvalid / kOutOfRange
    int asHex;
};

const Typed kTyped[] = {
    {"0", 0, 0}, {"255", 255, kOutOfRange}, {"FF", kInvalid, 255}, {"85", 85, 0x85}, {"256", kOutOfRange, kOutOfRange},
};

// The engine's fill byte before the operator types: none of the values above.
constexpr int kStartFill = 0x12;

void PrintTo(const Typed& typed, std::ostream* os)
{
    *os << '"' << typed.text << '"';
}
void PrintTo(Host host, std::ostream* os)
{
    *os << (host == Host::DataPatternWindow ? "data pattern window" : "load dialog");
}
void PrintTo(Switch change, std::ostream* os)
{
    static const char* const names[] = {"no switch", "switched before typing", "switched after typing"};
    *os << names[int(change)];
}

QString InRadix(int value, bool hex)
{
    return hex ? QString::number(value, 16).toUpper() : QString::number(value);
}

using Case = std::tuple<Host, bool, Switch, Typed>;

std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    const auto& [host, hex, change, typed] = info.param;
    static const char* const switches[] = {"", "SwitchedBefore", "SwitchedAfter"};
    std::string name = host == Host::DataPatternWindow ? "Window" : "LoadDialog";
    name += hex ? "Hex" : "Decimal";
    name += switches[int(change)];
    return name + "Typed" + typed.text;
}

} // namespace

class FillValueRoundTripTest : public StandInWindowTest, public ::testing::WithParamInterface<Case>
{
protected:
    void SetUp() override
    {
        StandInWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(ShowOnDevice(QStringLiteral("AM27C512")));
        const QString folder = tempPath(QStringLiteral("patterns"));
        QDir().mkpath(folder);
        // A pattern much smaller than the device: the rest of the buffer is fill.
        pattern = folder + QStringLiteral("/small.bin");
        QFile f(pattern);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(124, '\x5A'));
    }

    // One round through the host as the operator opens it from the
    // operation window's "Data Pattern" button, confirmed with OK. act gets
    // the host's fill-value control and its two radix options; shown is
    // the value's text as the host opened.
    void Round(Host host, QString& shown,
               const std::function<void(DefaultBufferValue&, QRadioButton&, QRadioButton&)>& act)
    {
        if (host == Host::DataPatternWindow) {
            OnCommandWindow([&](frmBufferCmd& w) {
                shown = w.m_oDefaultBufferValueCtrl->DefaultValText->currentText();
                act(*w.m_oDefaultBufferValueCtrl, *w.DecimalButton, *w.HexadecimalButton);
                w.OKButton->click();
            });
        } else {
            OnCommandWindow([](frmBufferCmd& w) { w.Open->click(); });
            ui().OnModal([&](QDialog* dialog) {
                auto* load = qobject_cast<frmBufferLoad*>(dialog);
                EXPECT_NE(load, nullptr) << dialog->objectName().toStdString();
                if (!load)
                    return dialog->result();
                if (load->SelectedFile().isEmpty()) {
                    ui().Answer(pattern);
                    load->Browse->click();
                    load->ClearBuf->setChecked(true);
                }
                shown = load->m_oDefaultBufferValueCtrl->DefaultValText->currentText();
                act(*load->m_oDefaultBufferValueCtrl, *load->DecimalButton, *load->HexadecimalButton);
                load->OKButton->click();
                return dialog->result();
            });
            OnCommandWindow([](frmBufferCmd& w) { w.OKButton->click(); });
        }
        window->FileButton->click();
    }

    void OnCommandWindow(std::function<void(frmBufferCmd&)> act)
    {
        ui().OnModal([act](QDialog* dialog) {
            auto* w = qobject_cast<frmBufferCmd*>(dialog);
            EXPECT_NE(w, nullptr) << dialog->objectName().toStdString();
            if (w)
                act(*w);
            return dialog->result();
        });
    }

    // The byte the buffer holds where no data landed.
    static int FillInBuffer()
    {
        const DataBuffer& buffer = DataBuffer::Instance();
        return buffer.Size() > 0 ? buffer.ByteAt(buffer.Size() - 1) : -1;
    }

    // The message boxes shown, "title\ttext\tbuttons\tanswer" each; the
    // windows and the file dialog (whose third field is no number) left out.
    QStringList Boxes()
    {
        QStringList boxes = ui().Shown();
        boxes.removeIf([](const QString& line) {
            bool number = false;
            line.section(QLatin1Char('\t'), 2, 2).toInt(&number);
            return !number;
        });
        return boxes;
    }

    QString pattern;
};

TEST_P(FillValueRoundTripTest, TheEngineFillsWithTheValueShown)
{
    const auto& [host, startHex, change, typed] = GetParam();
    engine().DisplayRadix(qint32(startHex ? 1 : 0));
    data().udtRadix = startHex ? 1 : 0;
    engine().DefaultBufferByte(qint32(kStartFill));

    const bool typedHex = change == Switch::BeforeTyping ? !startHex : startHex;
    const bool finalHex = change == Switch::None ? startHex : !startHex;
    const int read = typedHex ? typed.asHex : typed.asDecimal;
    const int expected = read >= 0 ? read : kStartFill;

    QString shown;
    Round(host, shown, [&](DefaultBufferValue& control, QRadioButton& decimal, QRadioButton& hex) {
        QRadioButton& other = startHex ? decimal : hex;
        if (change == Switch::BeforeTyping)
            other.click();
        if (read < 0)
            ui().Answer(vb::vbOK);
        // The operator selects the box's text and types (or pastes) the value.
        QLineEdit* edit = control.DefaultValText->lineEdit();
        edit->selectAll();
        edit->insert(QString::fromUtf8(typed.text));
        if (change == Switch::AfterTyping)
            other.click();
        EXPECT_EQ(control.DefaultValText->currentText(), InRadix(expected, finalHex));
    });
    EXPECT_EQ(shown, InRadix(kStartFill, startHex));
    const QStringList boxes = Boxes();
    if (read < 0) {
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(boxes.first().startsWith(read == kInvalid ? QStringLiteral("Input Error\t")
                                                              : QStringLiteral("Out of Range Error\t")))
            << boxes.first().toStdString();
    } else {
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
    }
    EXPECT_EQ(engine().DefaultBufferByte(), expected);
    EXPECT_EQ(FillInBuffer(), expected);
    EXPECT_EQ(engine().DisplayRadix(), finalHex ? 1 : 0);

    // Opened and confirmed again and again, the value neither drifts nor
    // asks anything.
    for (int round = 1; round <= 10; ++round) {
        SCOPED_TRACE(round);
        Round(host, shown, [](DefaultBufferValue&, QRadioButton&, QRadioButton&) {});
        EXPECT_EQ(shown, InRadix(expected, finalHex));
        EXPECT_EQ(engine().DefaultBufferByte(), expected);
        EXPECT_EQ(FillInBuffer(), expected);
    }
    EXPECT_EQ(Boxes(), boxes);
}

INSTANTIATE_TEST_SUITE_P(Values, FillValueRoundTripTest,
                         ::testing::Combine(::testing::Values(Host::DataPatternWindow, Host::LoadDialog),
                                            ::testing::Bool(),
                                            ::testing::Values(Switch::None, Switch::BeforeTyping, Switch::AfterTyping),
                                            ::testing::ValuesIn(kTyped)),
                         CaseName);
