// Which mounts count as optical drives, in which order, and the folder list that replaces them.
#include "disc/OpticalDrives.h"

#include <QtTest>

class TestOpticalDrives : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mountInfo()
    {
        // Two optical mounts listed against device order, one with escaped blanks, a bind mount
        // of the first, a network share, a loop-mounted image and the usual system mounts.
        const QByteArray fixture =
            "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
            "23 22 0:21 / /proc rw,nosuid - proc proc rw\n"
            "40 22 0:45 / /mnt/share rw shared:9 - nfs4 server:/export rw,vers=4.2\n"
            "41 22 11:1 / /media/user/DISC\\040TWO rw,nosuid shared:10 - udf /dev/sr1 ro\n"
            "42 22 11:0 / /media/user/VIDEOCD ro,nosuid shared:11 - iso9660 /dev/sr0 ro,map=normal\n"
            "43 22 11:0 / /srv/bound ro shared:11 - iso9660 /dev/sr0 ro\n"
            "44 22 7:0 / /mnt/image ro - iso9660 /dev/loop0 ro\n"
            "45 22 11:2 / /media/odd\\134name rw - vfat /dev/sr2 rw\n"
            "garbage line\n"
            "46 22 0:50 / /x rw - \n";
        QCOMPARE(OpticalDrives::fromMountInfo(fixture),
                 (QStringList{QStringLiteral("/mnt/image"), QStringLiteral("/media/user/VIDEOCD"),
                              QStringLiteral("/media/user/DISC TWO"), QStringLiteral("/media/odd\\name")}));
        QVERIFY(OpticalDrives::fromMountInfo(QByteArray()).isEmpty());
    }

    void environmentReplacesDetection()
    {
        qputenv("KINETROPE_OPTICAL_ROOTS", "/tmp/empty::/tmp/disc copy");
        QCOMPARE(OpticalDrives::roots(), (QStringList{QStringLiteral("/tmp/empty"), QStringLiteral("/tmp/disc copy")}));
        qputenv("KINETROPE_OPTICAL_ROOTS", "");
        QVERIFY(OpticalDrives::roots().isEmpty());
        qunsetenv("KINETROPE_OPTICAL_ROOTS");
        // This machine's own table parses whatever it holds.
        OpticalDrives::roots();
    }
};

QTEST_GUILESS_MAIN(TestOpticalDrives)
#include "test_optical_drives.moc"
