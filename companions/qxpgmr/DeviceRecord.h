#pragma once

// What the engine knows of one device of its algorithm database: the fields
// of the device list, the capabilities it reports while the device is
// selected, its named variants, custom actions and algorithm settings.
// Read from the database when the device is selected (AlgorithmDatabase).

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// One line of the device list.
struct DeviceSummary
{
    QString name;
    QString manufacturer;
    QString package;
    QString type;
};

struct DeviceRecord
{
    struct Variant
    {
        QString name;
        bool concurrent = true; // runs on all sites at once (OperationRunsConcurrently)
    };
    struct Procedure
    {
        QString kind;         // "REQ", "OPT" or "REC"
        QString alternatives; // separated by "|"
    };
    struct CustomAction
    {
        QString name;
        QList<Procedure> procedures;
    };

    DeviceSummary summary;
    qint64 size = 0;   // DeviceSize: words, or fuses
    int dataWidth = 8; // bits per word
    QHash<QString, qint32> capabilities; // by member name; absent means 0
    QList<Variant> programVariants;      // ExecuteVariantNameAt 0..n-1
    QStringList secureVariants;          // SecureVariantNameAt 1..n
    QStringList extraCommands;           // ExtraCommandNameAt 0..n-1
    QList<CustomAction> customActions;
    QHash<QString, QString> config;      // DeviceConfigValue
    QHash<QString, QString> parameters;  // AlgorithmParameter

    const QString& Name() const { return summary.name; }
    // The value a capability member reports for this device (0 when the
    // device does not list it).
    qint32 Capability(const QString& member) const { return capabilities.value(member, 0); }
    bool SizeInFuses() const { return Capability(QStringLiteral("SizeInFuses")) != 0; }

    // The engine's custom-action list: "@Name:REQ|a|b:OPT|c@Name2:...", ""
    // when the device has none.
    QString CustomActionList() const;
    // The device size for the device line, in hexadecimal ("10000h x 8",
    // "16C4h Fuses") or decimal ("65536 x 8"); "" for a device without size.
    QString SizeText(bool hex) const;
    // An algorithm parameter: a number when its text reads as a whole number
    // (decimal, or hexadecimal after "0x"), else the text; invalid (Empty)
    // when the algorithm has no such parameter.
    QVariant Parameter(const QString& name) const;
    // Whether the named program variant runs on all sites at once; False for
    // a name the device does not have.
    bool RunsConcurrently(const QString& variant) const;
};
