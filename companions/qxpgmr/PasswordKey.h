#pragma once

// PBKDF2 with HMAC-SHA256 (RFC 8018), on Qt Core alone: the engine derives
// the job password's key with it, and Qt's own QPasswordDigestor would bring
// Qt Network (and Kerberos, the proxy library) into every start of the
// station for a check that a few jobs ever make.

#include <QByteArray>

// The first keyBytes bytes of the key; empty when rounds or keyBytes is not
// positive.
QByteArray Pbkdf2HmacSha256(const QByteArray& password, const QByteArray& salt, int rounds, int keyBytes);
