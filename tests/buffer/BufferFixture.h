#pragma once

// The data pattern windows in a test: the operation window over an engine of
// the test's own that keeps a small buffer and reads and writes plain files
// (Intel HEX is told from Binary by its first character, as the real engine
// tells it by content); a load of a file whose first line is "BAD" fails
// with a reason naming its line.

#include "../operation/RecordingEngine.h"

#include "buffer/frmBufferCmd.h"
#include "settings/ProgrammerClass.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <functional>

class BufferEngine : public RecordingEngine
{
public:
    BufferEngine()
    {
        using namespace QXPgmrId;
        const auto code = [](const QVariantList& args, int i = 0) { return args.value(i).toInt(); };
        On(FileTypeCount, [](InvokeKind, QVariantList&) { return QVariant::fromValue<qint32>(18); });
        On(FileTypeNameAt, [=](InvokeKind, QVariantList& args) { return QVariant(TypeName(code(args))); });
        On(FileTypeTakesRange, [=](InvokeKind, QVariantList& args) { return VbBool(TakesRange(code(args))); });
        On(FileTypeInfoAt, [=](InvokeKind, QVariantList& args) { return VbBool(TakesRange(code(args))); });
        On(DetectFileType, [this](InvokeKind, QVariantList& args) {
            if (detectOverride >= 0)
                return QVariant::fromValue<qint32>(detectOverride);
            QFile f(args.value(0).toString());
            const bool hex = f.open(QIODevice::ReadOnly) && f.read(1) == ":";
            return QVariant::fromValue<qint32>(hex ? 1 : 0);
        });
        On(GetFileSize, [](InvokeKind, QVariantList& args) {
            return QVariant::fromValue<qint32>(qint32(QFileInfo(args.value(0).toString()).size()));
        });
        On(GetFileDate, [](InvokeKind, QVariantList& args) {
            const QFileInfo info(args.value(0).toString());
            return QVariant(info.exists() ? info.lastModified() : ProgrammerClass::ZeroDate());
        });
        On(IsValidDecimalText, [](InvokeKind, QVariantList& args) {
            const QString text = args.value(0).toString();
            return VbBool(QRegularExpression(QStringLiteral("^[0-9]{1,10}$")).match(text).hasMatch()
                          && text.toULongLong() <= 4294967295ULL);
        });
        On(IsValidHexText, [](InvokeKind, QVariantList& args) {
            return VbBool(QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{1,8}$")).match(args.value(0).toString()).hasMatch());
        });
        On(TextToNumber, [](InvokeKind, QVariantList& args) {
            return QVariant::fromValue<qint32>(qint32(quint32(args.value(0).toString().toULongLong())));
        });
        On(NumberToText, [](InvokeKind, QVariantList& args) {
            return QVariant(QString::number(quint32(args.value(0).toInt())));
        });
        On(IsFirstAboveSecond, [](InvokeKind, QVariantList& args) {
            return VbBool(quint32(args.value(0).toInt()) > quint32(args.value(1).toInt()));
        });
        On(ChecksumText, [this](InvokeKind, QVariantList&) {
            quint32 sum = 0;
            for (char c : buffer)
                sum += quint8(c);
            return QVariant(QString::number(sum & 0xFFFF, 16).toUpper() + QLatin1Char('h'));
        });
        On(BufferSize, [this](InvokeKind kind, QVariantList& args) {
            if (kind == InvokeKind::PropertyPut)
                buffer.resize(args.value(0).toInt());
            return QVariant::fromValue<qint32>(qint32(buffer.size()));
        });
        On(LoadDataFileRange, [this](InvokeKind, QVariantList& args) { return Load(args); });
        On(LoadDataFileAs, [this](InvokeKind, QVariantList& args) { return Load(args); });
        On(ErrorMessageText, [this](InvokeKind, QVariantList&) { return QVariant(lastError); });
        On(SaveDataFileRange, [this](InvokeKind, QVariantList& args) { return SaveFile(args); });
        On(SaveDataFile, [this](InvokeKind, QVariantList& args) { return SaveFile(args); });
        On(DataFileValue313, [this](InvokeKind, QVariantList&) {
            buffer.fill(char(Value(DefaultBufferByte).toInt()));
            return VbBool(false);
        });
        Set(DeviceSupportsDeviceChecksum, true);
    }

    static QString TypeName(qint32 code)
    {
        static const char* names[] = {"Binary", "Intel Hex", "JEDEC", "Motorola S-Record"};
        return code >= 0 && code < 4 ? QString::fromLatin1(names[code]) : QStringLiteral("Format %1").arg(code);
    }
    static bool TakesRange(qint32 code) { return code == 0 || code == 1 || code == 3; }

    QVariant Load(QVariantList& args)
    {
        using namespace QXPgmrId;
        const qint32 type = args.value(1).toInt();
        QFile f(args.value(0).toString());
        loads << QStringLiteral("%1|%2").arg(QFileInfo(f.fileName()).fileName()).arg(type);
        if (type < 0 || type > 3) {
            lastError = QStringLiteral("File type %1 is not supported.").arg(type);
            return QVariant::fromValue<qint32>(5);
        }
        if (!f.open(QIODevice::ReadOnly)) {
            lastError = QStringLiteral("Cannot open the file.");
            return QVariant::fromValue<qint32>(2);
        }
        const QByteArray content = f.readAll();
        if (content.startsWith("BAD")) {
            lastError = QStringLiteral("%1, line 1: bad checksum").arg(f.fileName());
            return QVariant::fromValue<qint32>(3);
        }
        buffer = content;
        Set(DataFileTypeCode, type);
        return QVariant::fromValue<qint32>(0);
    }

    QVariant SaveFile(QVariantList& args)
    {
        if (saveResult != 0) {
            lastError = QStringLiteral("Disk full.");
            return QVariant::fromValue<qint32>(saveResult);
        }
        QFile f(args.value(0).toString());
        if (!f.open(QIODevice::WriteOnly))
            return QVariant::fromValue<qint32>(2);
        f.write(buffer);
        return QVariant::fromValue<qint32>(0);
    }

    QByteArray buffer;
    QStringList loads;
    QString lastError;
    qint32 detectOverride = -1;
    qint32 saveResult = 0;
};

class BufferWindowTest : public OperationWindowFixture
{
protected:
    bool AttachEngine() override
    {
        engine = new BufferEngine;
        station->AttachEngine(std::unique_ptr<IDispatchControl>(engine));
        return true;
    }

    void SetUp() override
    {
        OperationWindowFixture::SetUp();
        folder = tempPath(QStringLiteral("patterns"));
        QDir().mkpath(folder);
        LoadAndShow();
        engine->TakeWrites();
    }

    // A file of the test's folder with this content; its path.
    QString WriteFile(const QString& name, const QByteArray& content)
    {
        const QString path = folder + QLatin1Char('/') + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }

    // Takes the next window the code under test shows, expected of type D.
    template <class D>
    void OnDialog(std::function<void(D&)> act)
    {
        ui().OnModal([act](QDialog* dialog) {
            D* d = qobject_cast<D*>(dialog);
            EXPECT_NE(d, nullptr) << "opened " << dialog->objectName().toStdString();
            if (d)
                act(*d);
            return dialog->result();
        });
    }

    // The title and text of every box shown, one "title|text" each.
    QStringList Boxes()
    {
        QStringList out;
        for (const QString& line : ui().Shown()) {
            const QStringList parts = line.split(QLatin1Char('\t'));
            out << parts.value(0) + QLatin1Char('|') + parts.value(1);
        }
        return out;
    }

    QStringList StatusLines() const
    {
        QStringList lines;
        for (int i = 0; i < window->cboStatus->count(); ++i)
            lines << window->cboStatus->item(i)->text();
        return lines;
    }

    BufferEngine* engine = nullptr;
    QString folder;
};
