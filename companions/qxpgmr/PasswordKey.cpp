#include "PasswordKey.h"

#include <QMessageAuthenticationCode>

QByteArray Pbkdf2HmacSha256(const QByteArray& password, const QByteArray& salt, int rounds, int keyBytes)
{
    if (rounds < 1 || keyBytes < 1)
        return {};
    QMessageAuthenticationCode hmac(QCryptographicHash::Sha256, password);
    QByteArray key;
    for (quint32 block = 1; key.size() < keyBytes; ++block) {
        // U1 = HMAC(password, salt || block number, big-endian)
        const char index[4] = {char(block >> 24), char(block >> 16), char(block >> 8), char(block)};
        hmac.reset();
        hmac.addData(salt);
        hmac.addData(index, 4);
        QByteArray u = hmac.result();
        QByteArray t = u;
        for (int round = 1; round < rounds; ++round) {
            hmac.reset();
            hmac.addData(u);
            u = hmac.result();
            for (qsizetype i = 0; i < t.size(); ++i)
                t[i] = char(t[i] ^ u[i]);
        }
        key += t;
    }
    key.truncate(keyBytes);
    return key;
}
