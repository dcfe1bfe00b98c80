#include "TestEnv.h"
#include "TestFiles.h"
#include "playlist/ProfileFile.h"

#include <QFile>
#include <QSaveFile>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString S = QStringLiteral("Kinetrope");
} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init()
    {
        env.reset(); // the next one must not live inside the folder of the last
        env = std::make_unique<TestEnv>();
    }

    void writesCrLfLinesInFirstWrittenOrderAndRewritesInPlace()
    {
        const QString path = env->path("l.lst");
        ProfileFile f(path);
        QVERIFY(f.writeString(S, "FileName0", "/m/a"));
        QVERIFY(f.writeString(S, "FileName1", ""));
        QVERIFY(f.writeInt(S, "NumFiles", 1));
        QCOMPARE(readAll(path), QByteArray("[Kinetrope]\r\nFileName0=/m/a\r\nFileName1=\r\nNumFiles=1\r\n"));

        // A rewrite keeps the line and the key's first spelling; new keys go after the last one.
        QVERIFY(f.writeString(S, "FILENAME0", "/m/zz"));
        QVERIFY(f.writeString("kinetrope", "FileName2", "/m/c"));
        QCOMPARE(readAll(path),
                 QByteArray("[Kinetrope]\r\nFileName0=/m/zz\r\nFileName1=\r\nNumFiles=1\r\nFileName2=/m/c\r\n"));
        QCOMPARE(f.readString("KINETROPE", "filename0"), QStringLiteral("/m/zz"));

        // Values that would lose blanks or quotes on reading are quoted, and read back intact.
        QVERIFY(f.writeString(S, "FileName3", " /m/x "));
        QVERIFY(f.writeString(S, "FileName4", "\"q\""));
        ProfileFile other(path);
        QCOMPARE(other.readString(S, "FileName3"), QStringLiteral(" /m/x "));
        QCOMPARE(other.readString(S, "FileName4"), QStringLiteral("\"q\""));
        QVERIFY(readAll(path).contains("FileName3=\" /m/x \"\r\n"));

        // UTF-8 paths round-trip.
        const QString utf = QStringLiteral("/home/u/Vidéos/été 日本.mpg");
        QVERIFY(f.writeString(S, "FileName5", utf));
        QCOMPARE(ProfileFile(path).readString(S, "FileName5"), utf);
    }

    void missingEmptyAndNumbersReadAsThePlatformDid()
    {
        const QString path = env->path("n.lst");
        ProfileFile none(env->path("absent.lst"));
        QCOMPARE(none.readInt(S, "NumFiles", 0), 0);
        QCOMPARE(none.readString(S, "FileName0", "d"), QStringLiteral("d"));
        QVERIFY(!QFile::exists(env->path("absent.lst"))); // reading creates nothing

        writeRaw(path, "[Kinetrope]\r\nA=\r\nB=abc\r\nC=12abc\r\nD= 7 \r\nE=-3\r\nF=99999999999\r\nG=+4\r\n");
        ProfileFile f(path);
        QCOMPARE(f.readInt(S, "A", -1), -1);
        QCOMPARE(f.readString(S, "A", "x"), f.readString(S, "Missing", "x"));
        QCOMPARE(f.readInt(S, "B", 5), 0);
        QCOMPARE(f.readInt(S, "C", 5), 12);
        QCOMPARE(f.readInt(S, "D", 5), 7);
        QCOMPARE(f.readInt(S, "E", 5), -3);
        QCOMPARE(f.readInt(S, "F", 5), INT_MAX);
        QCOMPARE(f.readInt(S, "G", 5), 4);
        QCOMPARE(f.readInt("Other", "C", 5), 5);

        // Values are cut to 259 characters, never inside a character.
        QString longValue(300, u'x');
        f.writeString(S, "Long", longValue);
        QCOMPARE(f.readString(S, "Long").size(), 259);
        QString astral = QString(258, u'y') + QString::fromUcs4(U"\U0001F600");
        f.writeString(S, "Astral", astral);
        QCOMPARE(f.readString(S, "Astral"), QString(258, u'y'));
    }

    void readsFilesOfOtherProgramsAndKeepsTheirLines()
    {
        const QString path = env->path("foreign.lst");
        writeRaw(path, "\xEF\xBB\xBF; made elsewhere\nstray=1\n[Other]\nFileName0=/o\n\n[ kinetrope ]\n"
                       "  FileName0 =  /a/b c  \n; comment=not a key\nFileName1=\"/q/r\"\n"
                       "FileName0=/duplicate\nNumFiles = 2\n\n[Third]\nx=y");
        ProfileFile f(path);
        QCOMPARE(f.readString(S, "FileName0"), QStringLiteral("/a/b c"));
        QCOMPARE(f.readString(S, "FileName1"), QStringLiteral("/q/r"));
        QCOMPARE(f.readInt(S, "NumFiles", 0), 2);
        QCOMPARE(f.readString(S, "; comment"), QString());
        QCOMPARE(f.readString(S, "stray"), QString());
        QCOMPARE(f.readString("other", "FileName0"), QStringLiteral("/o"));
        QCOMPARE(f.highestIndex(S, "FileName"), 1);

        QVERIFY(f.writeString(S, "FileName2", "/n"));
        QVERIFY(f.writeString(S, "FileName0", "/first"));
        QCOMPARE(readAll(path),
                 QByteArray("\xEF\xBB\xBF; made elsewhere\r\nstray=1\r\n[Other]\r\nFileName0=/o\r\n\r\n"
                            "[ kinetrope ]\r\nFileName0=/first\r\n; comment=not a key\r\n"
                            "FileName1=\"/q/r\"\r\nFileName0=/duplicate\r\nNumFiles = 2\r\nFileName2=/n\r\n"
                            "\r\n[Third]\r\nx=y\r\n"));
    }

    void anotherWritersChangeIsSeen()
    {
        const QString path = env->path("shared.lst");
        ProfileFile mine(path);
        QVERIFY(mine.writeString(S, "FileName0", "/one"));
        QCOMPARE(mine.readString(S, "FileName0"), QStringLiteral("/one"));

        // Replaced by rename, then rewritten in place with the same size at once.
        {
            QSaveFile o(path);
            QVERIFY(o.open(QIODevice::WriteOnly));
            o.write("[Kinetrope]\r\nFileName0=/two\r\n");
            QVERIFY(o.commit());
        }
        QCOMPARE(mine.readString(S, "FileName0"), QStringLiteral("/two"));
        writeRaw(path, "[Kinetrope]\r\nFileName0=/six\r\n");
        QCOMPARE(mine.readString(S, "FileName0"), QStringLiteral("/six"));

        // Same size in place, many times in a row: often within one tick of the file clock,
        // so the time stamp alone cannot tell.
        for (int i = 100; i < 400; ++i) {
            writeRaw(path, "[Kinetrope]\r\nFileName0=" + QByteArray::number(i) + "\r\n");
            QCOMPARE(mine.readString(S, "FileName0"), QString::number(i));
        }
        // Same size in place long after the last read: the time stamp tells.
        QTest::qWait(80);
        QCOMPARE(mine.readString(S, "FileName0"), QStringLiteral("399"));
        writeRaw(path, "[Kinetrope]\r\nFileName0=/te\r\n");
        QCOMPARE(mine.readString(S, "FileName0"), QStringLiteral("/te"));

        // Our own write starts from the other writer's content.
        writeRaw(path, "[Kinetrope]\r\nFileName0=/ten\r\nNumFiles=1\r\n");
        QVERIFY(mine.writeString(S, "FileName1", ""));
        QCOMPARE(readAll(path), QByteArray("[Kinetrope]\r\nFileName0=/ten\r\nNumFiles=1\r\nFileName1=\r\n"));
        QFile::remove(path);
        QCOMPARE(mine.readString(S, "FileName0"), QString());
    }

    void batchWritesOnceAndFailuresKeepTheOldFile()
    {
        const QString path = env->path("b.lst");
        ProfileFile f(path);
        {
            ProfileFile::Batch batch(f);
            for (int i = 0; i < 1000; ++i)
                f.writeString(S, QStringLiteral("FileName%1").arg(i), QStringLiteral("/p/%1").arg(i));
            QVERIFY(!QFile::exists(path));
            QCOMPARE(f.readString(S, "FileName999"), QStringLiteral("/p/999"));
        }
        QCOMPARE(ProfileFile(path).readString(S, "FileName999"), QStringLiteral("/p/999"));
        QCOMPARE(f.highestIndex(S, "filename"), 999);

        // Refused values: a line break would make a second line.
        const QByteArray before = readAll(path);
        QVERIFY(!f.writeString(S, "FileName0", "/a\nFileName1=/evil"));
        QVERIFY(!f.writeString(S, "Bad=Key", "x"));
        QCOMPARE(readAll(path), before);

        // A full disk (here: a file size limit): false, the old content stays, reads go on.
        const QByteArray old = readAll(path);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &small);
        bool committed = true;
        {
            ProfileFile::Batch batch(f);
            for (int i = 0; i < 1000; ++i)
                f.writeString(S, QStringLiteral("FileName%1").arg(i), QString(200, u'w'));
            committed = batch.commit();
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!committed);
        QVERIFY(!f.errorString().isEmpty());
        QCOMPARE(readAll(path), old);
        QCOMPARE(f.readString(S, "FileName999"), QStringLiteral("/p/999"));
        const QStringList left = QDir(env->root()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList{"b.lst"});
    }

    void brokenInputsGiveSaneAnswers()
    {
        // Truncated in the middle of a line, binary noise, a 10 MB line, a huge count.
        const QString path = env->path("broken.lst");
        QByteArray bytes("[Kinetrope]\r\nFileName0=/a\r\nFileName1=/b\r\nNumFiles=2000000000\r\nFileName2=/tr");
        QCOMPARE(ProfileFile(path).readString(S, "FileName0"), QString()); // not yet written
        writeRaw(path, bytes);
        ProfileFile f(path);
        QCOMPARE(f.readString(S, "FileName2"), QStringLiteral("/tr"));
        QCOMPARE(f.readInt(S, "NumFiles", 0), 2000000000);
        QCOMPARE(f.highestIndex(S, "FileName"), 2);

        QByteArray noise;
        for (int i = 0; i < 65536; ++i)
            noise.append(char((i * 7919) & 0xff));
        writeRaw(path, "[Kinetrope]\r\nFileName0=/a\r\nFileName1=" + QByteArray(10 << 20, 'z')
                           + "\r\nNumFiles=2\r\n" + noise);
        QCOMPARE(f.readString(S, "FileName0"), QStringLiteral("/a"));
        QCOMPARE(f.readString(S, "FileName1").size(), 259);
        QCOMPARE(f.readInt(S, "NumFiles", 0), 2);
        // A rewrite keeps the noise byte for byte.
        QVERIFY(f.writeString(S, "FileName0", "/c"));
        QVERIFY(readAll(path).contains(QByteArray(10 << 20, 'z')));
        QCOMPARE(f.readString(S, "FileName0"), QStringLiteral("/c"));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "test_profilefile.moc"
