// The job password's key: PBKDF2-HMAC-SHA256 as published, and the same key
// Qt's digestor gives, so that passwords saved by earlier stations still match.
#include "PasswordKey.h"

#include <QPasswordDigestor>
#include <QRandomGenerator>
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
