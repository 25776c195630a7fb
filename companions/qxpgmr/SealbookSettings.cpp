#include "SealbookSettings.h"

#include "PasswordKey.h"

#include <QRandomGenerator>
#include <QSettings>

namespace {

// Enough rounds to make guessing slow, few enough that a check costs a few
// milliseconds.
constexpr int kRounds = 20000;
constexpr int kKeyBytes = 32;
constexpr int kSaltBytes = 16;

QByteArray Key(const QString& password, const QByteArray& saltHex)
{
    return Pbkdf2HmacSha256(password.toUtf8(), QByteArray::fromHex(saltHex), kRounds, kKeyBytes).toHex();
}

} // namespace

SealbookSettings SealbookSettings::Load(const QString& iniFile)
{
    const QSettings ini(iniFile, QSettings::IniFormat);
    SealbookSettings s;
    s.startInOperatorMode = ini.value(QStringLiteral("Sealbook/StartInOperatorMode"), false).toBool();
    s.markInputEnabled = ini.value(QStringLiteral("Sealbook/MarkInputEnabled"), false).toBool();
    s.verifyChecksum = ini.value(QStringLiteral("Sealbook/VerifyChecksum"), false).toBool();
    s.passwordSalt = ini.value(QStringLiteral("Sealbook/PasswordSalt")).toByteArray();
    s.passwordKey = ini.value(QStringLiteral("Sealbook/PasswordKey")).toByteArray();
    return s;
}

void SealbookSettings::Save(const QString& iniFile) const
{
    QSettings ini(iniFile, QSettings::IniFormat);
    ini.setValue(QStringLiteral("Sealbook/StartInOperatorMode"), startInOperatorMode);
    ini.setValue(QStringLiteral("Sealbook/MarkInputEnabled"), markInputEnabled);
    ini.setValue(QStringLiteral("Sealbook/VerifyChecksum"), verifyChecksum);
    ini.setValue(QStringLiteral("Sealbook/PasswordSalt"), passwordSalt);
    ini.setValue(QStringLiteral("Sealbook/PasswordKey"), passwordKey);
    ini.sync();
}

bool SealbookSettings::PasswordMatches(const QString& password) const
{
    return HasPassword() && Key(password, passwordSalt) == passwordKey;
}

void SealbookSettings::SetPassword(const QString& password)
{
    if (password.isEmpty()) {
        passwordSalt.clear();
        passwordKey.clear();
        return;
    }
    QByteArray salt(kSaltBytes, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), kSaltBytes / 4);
    passwordSalt = salt.toHex();
    passwordKey = Key(password, passwordSalt);
}
