// Damaged copies of good job and auto files, for the reader: bytes flipped,
// the file cut, sections doubled. A fixed seed keeps the run the same in
// every build. Each copy is offered twice: as it is (the seal no longer
// fits, so it must be refused) and resealed (so that the reader behind the
// seal meets the damage too); none may crash, and what the reader accepts
// must write back to what it read.
#include "JobFile.h"

#include <gtest/gtest.h>

#include <random>

namespace {

constexpr unsigned kSeed = 20261210;
constexpr int kRounds = 400;

JobFile GoodJob(bool autoFile)
{
    JobFile job;
    job.Set("JobInfo", "QXType", autoFile ? "SKAuto" : "SK");
    job.Set("JobInfo", "Note", "12/10/2026    08:00:00\r\nAuthor: op\r\nline = [two]\\");
    job.Set("JobInfo", "ActiveTab", "&Program");
    job.Set("GUI-Program", "Selection0", "Secure(Mode A)");
    job.Set("GUI-Program", "EnableSelection0", "1");
    job.Set("Device", "Name", "AM27C512");
    if (!autoFile) {
        job.hasData = true;
        job.data = QByteArray(300, '\n') + QByteArray("Seal Data [x]=\\", 15);
    }
    return job;
}

// The body of sealed bytes: everything before the seal line.
QByteArray Body(const QByteArray& sealed) { return sealed.left(sealed.lastIndexOf("Seal ")); }

QByteArray Mutate(const QByteArray& good, std::mt19937& random)
{
    QByteArray b = good;
    switch (random() % 4) {
    case 0: { // a few bytes flipped
        const int flips = 1 + int(random() % 4);
        for (int i = 0; i < flips && !b.isEmpty(); ++i)
            b[int(random() % b.size())] = char(random() & 0xFF);
        break;
    }
    case 1: // cut
        b.truncate(int(random() % (b.size() + 1)));
        break;
    case 2: { // a section doubled
        const qsizetype from = b.indexOf("\n[GUI-");
        const qsizetype to = b.indexOf("\n[", from + 1);
        if (from > 0 && to > from)
            b.insert(to, b.mid(from, to - from));
        break;
    }
    default: // a line dropped
        if (const qsizetype from = b.indexOf('\n', int(random() % b.size())); from > 0) {
            const qsizetype to = b.indexOf('\n', from + 1);
            if (to > from)
                b.remove(from, to - from);
        }
        break;
    }
    return b;
}

TEST(JobFileMutationTest, DamagedFilesAreRefusedAndNoneCrashes)
{
    std::mt19937 random(kSeed);
    for (bool autoFile : {false, true}) {
        const QByteArray good = GoodJob(autoFile).Serialize();
        QString reason;
        ASSERT_TRUE(JobFile::Parse(good, reason)) << reason.toStdString();
        int refusedResealed = 0;
        for (int i = 0; i < kRounds; ++i) {
            const QByteArray damaged = Mutate(good, random);
            if (damaged == good)
                continue;
            EXPECT_FALSE(JobFile::Parse(damaged, reason)) << "round " << i;

            const QByteArray resealed = JobFile::Sealed(Body(damaged), JobFile::kVersion);
            const std::optional<JobFile> read = JobFile::Parse(resealed, reason);
            if (!read) {
                ++refusedResealed;
                continue;
            }
            // What the reader took is a whole file again.
            const std::optional<JobFile> again = JobFile::Parse(read->Serialize(), reason);
            ASSERT_TRUE(again) << "round " << i << ": " << reason.toStdString();
            EXPECT_EQ(again->Sections(), read->Sections());
            EXPECT_EQ(again->data, read->data);
        }
        // The reader behind the seal refuses damage of its own too.
        EXPECT_GT(refusedResealed, 0);
    }
}

TEST(JobFileMutationTest, DoubledSectionsAndKeysAreRefusedEvenWhenSealed)
{
    const QByteArray body = Body(GoodJob(false).Serialize());
    const qsizetype from = body.indexOf("\n[GUI-");
    const qsizetype to = body.indexOf("\n[", from + 1);
    QByteArray doubledSection = body;
    doubledSection.insert(to, body.mid(from, to - from));
    QByteArray doubledKey = body;
    doubledKey.insert(body.indexOf("\n[Device]"), "\nEnableSelection0=0");

    QString reason;
    EXPECT_FALSE(JobFile::Parse(JobFile::Sealed(doubledSection, JobFile::kVersion), reason));
    EXPECT_FALSE(JobFile::Parse(JobFile::Sealed(doubledKey, JobFile::kVersion), reason));
}

TEST(JobFileMutationTest, TextWithEveryEscapeComesBackAsWritten)
{
    const QString texts[] = {"", "plain", "a=b", "[x]", "back\\slash", "two\r\nlines", "\\n not a line end",
                             QString::fromUtf8("Ümlaut ∑")};
    JobFile job;
    for (const QString& t : texts)
        job.Set(t.isEmpty() ? QStringLiteral("empty") : t, t + QStringLiteral("k"), t);
    QString reason;
    const std::optional<JobFile> read = JobFile::Parse(job.Serialize(), reason);
    ASSERT_TRUE(read) << reason.toStdString();
    for (const QString& t : texts)
        EXPECT_EQ(read->Value(t.isEmpty() ? QStringLiteral("empty") : t, t + QStringLiteral("k")), t);
    // Every entry is one line: no raw line end or "=" of the text is left.
    EXPECT_EQ(JobFile::Escape("a=\nb").count('='), 0);
    EXPECT_FALSE(JobFile::Unescape("\\q"));
    EXPECT_FALSE(JobFile::Unescape("trailing\\"));
}

} // namespace
