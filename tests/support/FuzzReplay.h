#pragma once
// A fuzz target is one LLVMFuzzerTestOneInput plus the seeds it starts from. Built with
// libFuzzer (clang, -fsanitize=fuzzer) libFuzzer drives it; built with FuzzReplay.cpp it is a
// plain program that replays its seeds, any corpus folders named on its command line, and a
// few thousand fresh mutations of them, so the suite runs every target with any compiler.
// A target aborts when it finds a wrong answer; a crash is a crash either way.

#include <QByteArray>
#include <QDir>
#include <QList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
QList<QByteArray> fuzzSeeds();

// Stops the run with a message: libFuzzer keeps the input that did it.
[[noreturn]] inline void fuzzFailure(const char *what)
{
    std::fprintf(stderr, "fuzz target: wrong answer: %s\n", what);
    std::fflush(stderr);
    std::abort();
}
#define FUZZ_CHECK(cond)                                                                     \
    do {                                                                                     \
        if (!(cond))                                                                         \
            fuzzFailure(#cond);                                                              \
    } while (false)

// A folder for the files a target writes, in memory where there is a memory file system:
// every write is a replacement that syncs to disk, and a disk makes that the whole cost.
inline QString fuzzScratchFolder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kt-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kt-fuzz-XXXXXX"));
    return dir.path();
}

// Hostile input makes Qt warn at every turn; the warnings are expected and would bury a finding.
inline void fuzzQuiet()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &) {
        if (type == QtFatalMsg)
            abort();
    });
}
