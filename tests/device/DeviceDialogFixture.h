#pragma once

// The device dialogs in a test: the operation window over an engine of the
// test's own that records every write and call, with the engine's number
// checks and a black-box log in the test's folder.

#include "../operation/RecordingEngine.h"

#include "settings/cRegistry.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <functional>

class DeviceDialogTest : public OperationWindowFixture
{
protected:
    bool AttachEngine() override
    {
        engine = new RecordingEngine;
        using namespace QXPgmrId;
        // The engine's number texts: unsigned decimal up to 4294967295, or
        // up to eight hexadecimal digits.
        engine->On(IsValidDecimalText, [](InvokeKind, QVariantList& args) {
            const QString text = args.value(0).toString();
            return VbBool(QRegularExpression(QStringLiteral("^[0-9]{1,10}$")).match(text).hasMatch()
                          && text.toULongLong() <= 4294967295ULL);
        });
        engine->On(IsValidHexText, [](InvokeKind, QVariantList& args) {
            return VbBool(QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{1,8}$")).match(args.value(0).toString()).hasMatch());
        });
        engine->On(IsOffsetInRange, [this](InvokeKind, QVariantList& args) {
            ++rangeQuestions;
            if (!offsetInRange) {
                args[0] = QVariant::fromValue<qint32>(correctedLow);
                args[1] = QVariant::fromValue<qint32>(correctedHigh);
            }
            return VbBool(offsetInRange);
        });
        engine->Set(DeviceName, "PART");
        engine->Set(DeviceSize, 65536);
        station->AttachEngine(std::unique_ptr<IDispatchControl>(engine));
        return true;
    }

    void SetUp() override
    {
        OperationWindowFixture::SetUp();
        logFolder = tempPath(QStringLiteral("logs"));
        QDir().mkpath(logFolder);
        cRegistry reg;
        reg.ValueEx(cRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo\\Directory Paths"),
                    QStringLiteral("Log"), cRegistry::REG_SZ, QString(), logFolder);
        LoadAndShow();
        engine->TakeWrites();
    }

    QString BlackBox() const
    {
        QFile f(logFolder + QStringLiteral("/BlackBox.log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // Takes the next window the code under test shows, expected of type D,
    // and hands it to act.
    template <class D>
    void OnDialog(std::function<void(D&)> act)
    {
        ui().OnModal([this, act](QDialog* dialog) {
            engine->TakeWrites(); // what the dialog writes starts here
            D* d = qobject_cast<D*>(dialog);
            EXPECT_NE(d, nullptr) << "opened " << dialog->objectName().toStdString();
            if (d)
                act(*d);
            return dialog->result();
        });
    }

    // The message boxes shown so far (not the windows), as "title|text".
    QStringList Boxes() const
    {
        QStringList boxes;
        for (const QString& line : const_cast<DeviceDialogTest*>(this)->ui().Shown()) {
            const QStringList parts = line.split(QLatin1Char('\t'));
            bool isBox = false;
            parts.value(2).toInt(&isBox); // a box's buttons are a number
            if (isBox)
                boxes << parts.value(0) + QLatin1Char('|') + parts.value(1);
        }
        return boxes;
    }

    RecordingEngine* engine = nullptr;
    QString logFolder;
    int rangeQuestions = 0;
    bool offsetInRange = true;
    qint32 correctedLow = 0;
    qint32 correctedHigh = 0;
};
