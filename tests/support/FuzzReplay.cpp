// The replay driver: fuzz_x [--mutations N] [--seed S] [--write-seeds DIR] [CORPUS_DIR|FILE]...
#include "FuzzReplay.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

struct Rng {
    quint64 s;
    quint64 next()
    {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    }
    qsizetype below(qsizetype n) { return n <= 0 ? 0 : qsizetype(next() % quint64(n)); }
};

// Numbers and bytes that tend to find the edges of a reader.
const char *const Tokens[] = {"0", "-1", "4294967295", "2147483648", "-2147483649",
                              "99999999999999999999", "=", "[", "]", "\r\n", "\n", "\r", "\"",
                              ";", "\xEF\xBB\xBF", "%", "\\", "\\x00", "@Variant(", "\xff\xfe",
                              "NumFiles=", "FileName0=", "[Kinetrope]", " ", "\t"};

QByteArray mutate(const QList<QByteArray> &pool, Rng &r)
{
    QByteArray b = pool[r.below(pool.size())];
    const int steps = 1 + int(r.below(4));
    for (int i = 0; i < steps; ++i) {
        switch (r.below(7)) {
        case 0: // flip bytes
            for (int k = 0; k < 1 + r.below(8) && !b.isEmpty(); ++k)
                b[r.below(b.size())] = char(r.next());
            break;
        case 1: // cut short
            b.truncate(r.below(b.size() + 1));
            break;
        case 2: { // a token in
            const char *t = Tokens[r.below(std::size(Tokens))];
            b.insert(r.below(b.size() + 1), t);
            break;
        }
        case 3: { // a chunk repeated
            if (b.isEmpty())
                break;
            const qsizetype at = r.below(b.size());
            const QByteArray chunk = b.mid(at, 1 + r.below(64));
            b.insert(r.below(b.size() + 1), chunk.repeated(1 + int(r.below(16))));
            break;
        }
        case 4: { // a chunk removed
            const qsizetype at = r.below(b.size());
            b.remove(at, r.below(b.size() - at + 1));
            break;
        }
        case 5: { // spliced with another input
            const QByteArray &o = pool[r.below(pool.size())];
            b = b.left(r.below(b.size() + 1)) + o.mid(r.below(o.size() + 1));
            break;
        }
        default: // a NUL or a high byte
            b.insert(r.below(b.size() + 1), r.next() & 1 ? '\0' : char(0x80 | r.below(128)));
            break;
        }
    }
    return b;
}

const QByteArray *current = nullptr;

// Keeps the input that failed as fuzz-failure-input in the working folder, to replay it.
void keepCurrent(int sig)
{
    if (current) {
        const int fd = ::open("fuzz-failure-input", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = ::write(fd, current->constData(), size_t(current->size()));
            ::close(fd);
        }
        static const char note[] = "fuzz replay: the failing input is in ./fuzz-failure-input\n";
        [[maybe_unused]] const ssize_t n = ::write(2, note, sizeof note - 1);
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void run(const QByteArray &b)
{
    current = &b;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size()));
}

} // namespace

int main(int argc, char **argv)
{
    for (const int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(sig, keepCurrent);
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int mutations = 3000;
    quint64 seed = 0x9E3779B97F4A7C15ull;
    QString seedDir;
    QList<QByteArray> pool = fuzzSeeds();
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        if (a == "--mutations" && i + 1 < argc) {
            mutations = atoi(argv[++i]);
        } else if (a == "--seed" && i + 1 < argc) {
            seed = strtoull(argv[++i], nullptr, 0) | 1;
        } else if (a == "--write-seeds" && i + 1 < argc) {
            seedDir = QFile::decodeName(argv[++i]);
        } else {
            const QFileInfo fi(QFile::decodeName(a));
            const QStringList files = fi.isDir() ? QDir(fi.filePath()).entryList(QDir::Files) : QStringList{QString()};
            for (const QString &f : files) {
                QFile in(fi.isDir() ? QDir(fi.filePath()).filePath(f) : fi.filePath());
                if (in.open(QIODevice::ReadOnly))
                    pool << in.readAll();
            }
        }
    }
    if (!seedDir.isEmpty()) {
        QDir().mkpath(seedDir);
        const QList<QByteArray> seeds = fuzzSeeds();
        for (int i = 0; i < seeds.size(); ++i) {
            QFile out(QDir(seedDir).filePath(QStringLiteral("seed%1").arg(i)));
            if (!out.open(QIODevice::WriteOnly) || out.write(seeds[i]) != seeds[i].size())
                return 2;
        }
        return 0;
    }
    if (pool.isEmpty())
        pool << QByteArray();
    QElapsedTimer t;
    t.start();
    for (const QByteArray &b : pool)
        run(b);
    Rng r{seed};
    for (int i = 0; i < mutations; ++i)
        run(mutate(pool, r));
    std::printf("%lld executions (%lld replayed, %d mutated) in %lld ms\n",
                static_cast<long long>(pool.size() + mutations), static_cast<long long>(pool.size()),
                mutations, static_cast<long long>(t.elapsed()));
    return 0;
}
