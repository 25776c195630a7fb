#pragma once

// The station's Sealbook (locked job) settings as the engine keeps them: start
// in operator mode, laser-marker input in operator mode, verify the data
// pattern's checksum on load, and the password. Kept in "engine.ini" in the
// engine's folder (section [Sealbook]), so they outlive the program; a
// loaded job brings its own and a saved job takes them.
//
// The password is never kept as text: a random salt and its PBKDF2-SHA256
// key (PasswordKey.h), both hexadecimal; no salt means no password.

#include <QByteArray>
#include <QString>

namespace simplan {
class PlainIni;
}

struct SealbookSettings
{
    static constexpr int kMaxPasswordLength = 15;

    bool startInOperatorMode = false;
    bool markInputEnabled = false;
    bool verifyChecksum = false;
    QByteArray passwordSalt; // hexadecimal; empty: no password
    QByteArray passwordKey;  // hexadecimal

    static SealbookSettings Load(const QString& iniFile);
    // The settings a file's text holds (what Load reads).
    static SealbookSettings Parse(const simplan::PlainIni& ini);
    void Save(const QString& iniFile) const;

    bool HasPassword() const { return !passwordSalt.isEmpty(); }
    bool PasswordMatches(const QString& password) const;
    // A new salt and key; an empty password removes it.
    void SetPassword(const QString& password);

    bool operator==(const SealbookSettings&) const = default;
};
