// Thousands of damaged HEX, S-record and JEDEC files made from good ones:
// bytes flipped, lines cut, doubled, dropped or swapped, counts changed. A
// fixed seed keeps the run the same in every build; TARVO_MUTATION_ROUNDS
// multiplies the count for a longer run by hand. Every load answers; none
// crashes or hangs (the test's time limit), and a refused load leaves the
// buffer byte for byte as it was and names the file.
#include "BufferTestSupport.h"

#include "BufferFiles.h"
#include "DataBuffer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace buffertest;

namespace {

constexpr unsigned kSeed = 20261210;
constexpr int kFilesPerFormat = 1500;

QList<QByteArray> Lines(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray Mutate(const QByteArray& good, std::mt19937& rng)
{
    QList<QByteArray> lines = Lines(good);
    const int edits = 1 + int(rng() % 3);
    for (int e = 0; e < edits && !lines.isEmpty(); ++e) {
        const int at = int(rng() % quint32(lines.size()));
        QByteArray& line = lines[at];
        switch (rng() % 8) {
        case 0: // flip a byte
            if (!line.isEmpty())
                line[int(rng() % quint32(line.size()))] = char(rng() % 256);
            break;
        case 1: // put another hexadecimal digit in (counts, addresses, data)
            if (!line.isEmpty())
                line[int(rng() % quint32(line.size()))] = "0123456789ABCDEFf"[rng() % 17];
            break;
        case 2: // cut the line
            line.truncate(int(rng() % quint32(line.size() + 1)));
            break;
        case 3: // double it
            lines.insert(at, lines[at]);
            break;
        case 4: // drop it
            lines.removeAt(at);
            break;
        case 5: { // swap it with another
            const int other = int(rng() % quint32(lines.size()));
            std::swap(lines[at], lines[other]);
            break;
        }
        case 6: // change the count field: the length of a HEX or S-record line
            if (line.size() > 3)
                line[line[0] == ':' ? 1 + int(rng() % 2) : 2 + int(rng() % 2)] = "0123456789ABCDEF"[rng() % 16];
            break;
        default: // a line end inside, or CR LF
            line.insert(int(rng() % quint32(line.size() + 1)), rng() % 2 ? "\n" : "\r");
            break;
        }
    }
    QByteArray text = lines.join('\n');
    if (rng() % 4 != 0)
        text += '\n';
    return text;
}

int Rounds()
{
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("TARVO_MUTATION_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : 1;
}

} // namespace

TEST(ReaderMutationTest, DamagedFilesAnswerAndARefusedLoadChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::mt19937 rng(kSeed);

    // Good files from the station's own writers: data above 64 KiB for 04
    // records, an S2 file with its S5 count, a JEDEC file with both checksums.
    DataBuffer source;
    source.Resize(0x10400);
    const QByteArray data = RandomBytes(0x300, rng);
    source.Write(0xFF80, reinterpret_cast<const quint8*>(data.constData()), data.size());
    const QString seedPath = dir.filePath(QStringLiteral("good"));
    BufferFiles writer(source);
    struct Format
    {
        qint32 type;
        QByteArray good;
    };
    std::vector<Format> formats;
    ASSERT_EQ(writer.SaveRange(seedPath, 1, false, 0xFF00, 0x10100, false), 0);
    formats.push_back({1, ReadFile(seedPath)});
    ASSERT_EQ(writer.SaveRange(seedPath, 3, false, 0xFF00, 0x10100, false), 0);
    formats.push_back({3, ReadFile(seedPath)});
    DataBuffer fuses;
    fuses.Resize(700);
    for (qint64 i = 0; i < 700; ++i)
        fuses.SetByte(i, quint8(rng() & 1));
    ASSERT_EQ(BufferFiles(fuses).Save(seedPath, 2, false), 0);
    formats.push_back({2, ReadFile(seedPath)});

    DataBuffer buffer;
    buffer.SetFillByte(0x3C);
    buffer.Resize(0x10300); // some damaged addresses fall past its end
    const QByteArray before = RandomBytes(buffer.Size(), rng);
    BufferFiles files(buffer);
    const QString path = dir.filePath(QStringLiteral("damaged"));
    int refused = 0, loaded = 0;
    for (int round = 0; round < Rounds(); ++round) {
        for (const Format& format : formats) {
            for (int i = 0; i < kFilesPerFormat; ++i) {
                buffer.Write(0, reinterpret_cast<const quint8*>(before.constData()), before.size());
                const QByteArray damaged = Mutate(format.good, rng);
                // A new file each time: rewriting one in place makes the file
                // system flush it on every close.
                QFile::remove(path);
                WriteFile(path, damaged);
                LoadOptions options;
                options.clear = rng() % 2;
                options.autoLow = rng() % 2;
                options.low = rng() % 2 ? 0 : 0xFF00;
                options.wordAddressing = rng() % 4 == 0;
                const qint32 type = rng() % 3 == 0 ? BufferFiles::kAutoType : format.type;
                const qint32 result = files.LoadRange(path, type, options);
                if (result == 0) {
                    ++loaded;
                    continue;
                }
                ++refused;
                ASSERT_TRUE(files.LastErrorText().startsWith(path)) << files.LastErrorText().toStdString();
                ASSERT_TRUE(Contents(buffer) == before) << "changed by a refused load of:\n" << damaged.toStdString();
            }
        }
    }
    // The damage is real: most files are refused, some still load.
    EXPECT_GT(refused, loaded);
    EXPECT_GT(loaded, 0);
}
