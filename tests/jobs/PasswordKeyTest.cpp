// The job password's key: PBKDF2-HMAC-SHA256 as published, and the same key
// Qt's digestor gives, so that passwords saved by earlier stations still match;
// the key kept in the engine's settings file comes back as it was saved, and
// a damaged one unlocks nothing.
#include "PasswordKey.h"
#include "SealbookSettings.h"

#include "simplan/PlainIni.h"

#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PasswordKeyTest, GivesThePublishedKeys)
{
    struct Case
    {
        QByteArray password;
        QByteArray salt;
        int rounds;
        int keyBytes;
        const char* keyHex;
    };
    const Case cases[] = {
        {"password", "salt", 1, 32, "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b"},
        {"password", "salt", 2, 32, "ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2d85a95474c43"},
        {"password", "salt", 4096, 32, "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a"},
        // A key longer than one hash: the second block is numbered 2.
        {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096, 40,
         "348c89dbcbd32b2f32d814b8116e84cf2b17347ebc1800181c4e2a1fb8dd53e1c635518c7dac47e9"},
        {QByteArray("pass\0word", 9), QByteArray("sa\0lt", 5), 4096, 16, "89b69d0516f829893c696226650a8687"},
        // A password longer than the hash's block is hashed first.
        {QByteArray(100, 'p'), "salt", 3, 32, "f598272d35e2ca276ac07694cf01636c4d643ad3075956477cfdd83eda46d9f6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyHex);
        EXPECT_EQ(Pbkdf2HmacSha256(c.password, c.salt, c.rounds, c.keyBytes).toHex(), QByteArray(c.keyHex));
    }
    EXPECT_TRUE(Pbkdf2HmacSha256("password", "salt", 0, 32).isEmpty());
    EXPECT_TRUE(Pbkdf2HmacSha256("password", "salt", 1, 0).isEmpty());
}

TEST(PasswordKeyTest, MatchesTheKeysSavedWithQtsDigestor)
{
    QRandomGenerator random(7);
    for (int i = 0; i < 8; ++i) {
        QByteArray password(int(random.bounded(1, 20)), '\0');
        QByteArray salt(16, '\0');
        for (char& ch : password)
            ch = char(random.bounded(33, 127));
        for (char& ch : salt)
            ch = char(random.bounded(256));
        const int rounds = int(random.bounded(1, 300));
        SCOPED_TRACE(password.constData());
        EXPECT_EQ(Pbkdf2HmacSha256(password, salt, rounds, 32),
                  QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password, salt, rounds, 32));
    }
}

TEST(PasswordKeyTest, TheSettingsFileKeepsTheKeyAndADamagedKeyUnlocksNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("engine.ini"));
    SealbookSettings saved;
    saved.startInOperatorMode = true;
    saved.SetPassword(QStringLiteral("supervisor"));
    saved.Save(file);
    const SealbookSettings read = SealbookSettings::Load(file);
    EXPECT_EQ(read, saved);
    EXPECT_TRUE(read.PasswordMatches(QStringLiteral("supervisor")));
    EXPECT_FALSE(read.PasswordMatches(QStringLiteral("Supervisor")));

    // The key's hexadecimal text with bytes that are not UTF-8 in it: each
    // byte reads as one character (before, each grew to three), and no
    // password matches it.
    QByteArray damaged = "[Sealbook]\nPasswordSalt=" + saved.passwordSalt + "\nPasswordKey=@ByteArray(0a";
    damaged += QByteArray(40, '\xee') + "1b)\n";
    const SealbookSettings parsed = SealbookSettings::Parse(simplan::PlainIni::Parse(damaged));
    EXPECT_EQ(parsed.passwordKey.size(), 44);
    EXPECT_TRUE(parsed.HasPassword());
    EXPECT_FALSE(parsed.PasswordMatches(QStringLiteral("supervisor")));
    EXPECT_FALSE(parsed.PasswordMatches(QString()));
}
