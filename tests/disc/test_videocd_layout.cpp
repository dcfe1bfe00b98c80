// How a mounted VideoCD's files are found: names in any case with or without ";1", the
// probe order, track names 01..99, and what counts as absent.
#include "disc/VideoCdLayout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
void touch(const QString &path, const QByteArray &data = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}
} // namespace

class TestVideoCdLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layouts()
    {
        using namespace VideoCdLayout;
        QTemporaryDir tmp;
        const QString root = tmp.path();

        // A disc as the kernel's default mount shows one without name extensions: lower case.
        const QString lower = root + "/lower";
        touch(lower + "/mpegav/avseq01.dat");
        touch(lower + "/mpegav/avseq09.dat");
        touch(lower + "/mpegav/avseq10.dat;1");
        touch(lower + "/cdi/cdi_bum.dat");
        Disc d = find(lower, false);
        QCOMPARE(d.row, 0);
        QVERIFY(d.bumper.isEmpty());
        QVERIFY(!d.svcd);
        QCOMPARE(d.firstTrack, lower + "/mpegav/avseq01.dat");
        QCOMPARE(trackPath(d, 9), lower + "/mpegav/avseq09.dat");
        QCOMPARE(trackPath(d, 10), lower + "/mpegav/avseq10.dat;1");
        QVERIFY(trackPath(d, 2).isEmpty());
        QVERIFY(trackPath(d, 0).isEmpty());
        QVERIFY(trackPath(d, 100).isEmpty());
        QCOMPARE(find(lower, true).bumper, lower + "/cdi/cdi_bum.dat");

        // Names are only ever two digits, and the segment items keep their "00".
        int count = 0;
        const Row *r = rows(&count);
        QCOMPARE(count, 5);
        QCOMPARE(trackName(r[3], 1), QStringLiteral("ITEM0001.DAT"));
        QCOMPARE(trackName(r[4], 10), QStringLiteral("AVSEQ10.MPG"));
        QCOMPARE(trackName(r[0], 99), QStringLiteral("AVSEQ99.DAT"));
        QVERIFY(trackName(r[0], 100).isEmpty());

        // The rows in order: a music track before a segment, the SVCD last; a bumper alone
        // is a disc only when the bumper is asked for.
        const QString mixed = root + "/mixed";
        touch(mixed + "/SEGMENT/ITEM0001.DAT");
        touch(mixed + "/MPEGAV/MUSIC01.DAT");
        touch(mixed + "/MPEG2/AVSEQ01.MPG");
        QCOMPARE(find(mixed, false).firstTrack, mixed + "/MPEGAV/MUSIC01.DAT");
        const QString svcd = root + "/svcd";
        touch(svcd + "/Mpeg2/Avseq01.Mpg;1");
        d = find(svcd, false);
        QVERIFY(d.svcd);
        QCOMPARE(d.row, 4);
        const QString bumperOnly = root + "/bumper";
        touch(bumperOnly + "/CDI/CDI_BUM.DAT");
        QVERIFY(!find(bumperOnly, false).found());
        d = find(bumperOnly, true);
        QVERIFY(d.found());
        QCOMPARE(d.row, -1);
        QVERIFY(trackPath(d, 1).isEmpty());

        // Absent: a folder, a named pipe (never waited on), a file that will not open, a root
        // that is not there, an audio CD's layout.
        const QString odd = root + "/odd";
        QVERIFY(QDir().mkpath(odd + "/MPEGAV/AVSEQ01.DAT"));
        QVERIFY(!find(odd, false).found());
        QVERIFY(QDir().mkpath(odd + "/MPEG2"));
        QCOMPARE(::mkfifo(QFile::encodeName(odd + "/MPEG2/AVSEQ01.MPG").constData(), 0600), 0);
        QVERIFY(!find(odd, false).found());
        touch(odd + "/SEGMENT/AVSEQ01.DAT");
        QFile::setPermissions(odd + "/SEGMENT/AVSEQ01.DAT", QFileDevice::Permissions());
        if (::geteuid() != 0) // root opens it anyway
            QVERIFY(!find(odd, false).found());
        QVERIFY(!find(root + "/none", true).found());
        touch(root + "/audio/Track 01.wav");
        touch(root + "/audio/.directory");
        QVERIFY(!find(root + "/audio", true).found());

        // A disc taken out after it was found ends at its next track.
        d = find(lower, false);
        QVERIFY(QDir(lower).removeRecursively());
        QVERIFY(trackPath(d, 9).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVideoCdLayout)
#include "test_videocd_layout.moc"
