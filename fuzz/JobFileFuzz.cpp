// Job files, before the seal (the input as a whole file) and behind it (the
// input as a file's body, sealed here, so the reader of sections, values and
// the data block is reached). A job that is read writes out to bytes that
// read back to the same job.

#include "FuzzSupport.h"

#include "JobFile.h"

namespace {

void ReadBack(const JobFile& job)
{
    QString reason;
    const std::optional<JobFile> again = JobFile::Parse(job.Serialize(), reason);
    fuzz::Check(again.has_value(), "a written job is refused");
    fuzz::Check(again->SameContent(job), "a written job reads back otherwise");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString reason;
    if (const std::optional<JobFile> job = JobFile::Parse(bytes, reason))
        ReadBack(*job);
    for (const int version : {JobFile::kVersion, JobFile::kOldVersion}) {
        const QByteArray body = "TarvoJob " + QByteArray::number(version) + '\n' + bytes;
        if (const std::optional<JobFile> job = JobFile::Parse(JobFile::Sealed(body, version), reason))
            ReadBack(*job);
    }
    return 0;
}
