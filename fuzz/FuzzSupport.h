#pragma once

// What the harnesses share: a Qt core application made once (several
// readers ask Qt for paths and codecs), a private folder for the readers
// that take a file, and a check that ends the run with a message when a
// round trip does not hold.

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        // Headless, and the user's own settings and data out of reach.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QCoreApplication(argc, argv);
    }();
    return *app;
}

inline const QTemporaryDir& Folder()
{
    static QTemporaryDir* dir = new QTemporaryDir;
    return *dir;
}

inline QString WriteInput(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = Folder().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

inline void Check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "round trip broken: %s\n", what);
        std::abort();
    }
}

} // namespace fuzz
