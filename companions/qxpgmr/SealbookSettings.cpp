#include "SealbookSettings.h"

#include "PasswordKey.h"

#include <QRandomGenerator>
#include <QSettings>

#include "simplan/PlainIni.h"

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
    return Parse(simplan::PlainIni::Read(iniFile));
}

SealbookSettings SealbookSettings::Parse(const simplan::PlainIni& ini)
{
    const QString sealbook = QStringLiteral("Sealbook");
    SealbookSettings s;
    s.startInOperatorMode = ini.Bool(sealbook, QStringLiteral("StartInOperatorMode"), false);
    s.markInputEnabled = ini.Bool(sealbook, QStringLiteral("MarkInputEnabled"), false);
    s.verifyChecksum = ini.Bool(sealbook, QStringLiteral("VerifyChecksum"), false);
    // Both are hexadecimal text: one byte per character, as a job file's are
    // read, so a damaged value (bytes that are not UTF-8) reads no longer than
    // it stands in the file and matches no password.
    s.passwordSalt = ini.Text(sealbook, QStringLiteral("PasswordSalt")).toLatin1();
    s.passwordKey = ini.Text(sealbook, QStringLiteral("PasswordKey")).toLatin1();
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
