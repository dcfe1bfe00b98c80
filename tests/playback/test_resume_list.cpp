#include "playback/ResumeList.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestResumeList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Two players share the list: neither may drop what the other wrote, the newest stays
    // first, the list keeps its size, and a damaged file loses only its damaged lines.
    void sharedBoundedAndDamageTolerant()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("resume-positions"));
        ResumeList a(file), b(file);
        a.remember(QStringLiteral("/films/a.mkv"), 12.5);
        b.remember(QStringLiteral("/films/b.mkv"), 30);
        a.remember(QStringLiteral("/films/c.mkv"), 4);
        QCOMPARE(b.position(QStringLiteral("/films/a.mkv")), 12.5);
        QCOMPARE(a.position(QStringLiteral("/films/b.mkv")), 30.0);
        b.forget(QStringLiteral("/films/c.mkv"));
        a.remember(QStringLiteral("/films/d.mkv"), 1);
        QCOMPARE(b.position(QStringLiteral("/films/c.mkv")), 0.0);
        QCOMPARE(b.position(QStringLiteral("/films/d.mkv")), 1.0);

        for (int i = 0; i < ResumeList::Capacity + 50; ++i)
            a.remember(QStringLiteral("/many/%1.mp4").arg(i), i + 1);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        f.close();
        QCOMPARE(lines.size(), ResumeList::Capacity + 2); // the header and the final newline
        QVERIFY(lines[1].endsWith("/many/249.mp4"));
        QCOMPARE(b.position(QStringLiteral("/many/50.mp4")), 51.0);
        QCOMPARE(b.position(QStringLiteral("/many/49.mp4")), 0.0);
        QCOMPARE(b.position(QStringLiteral("/films/a.mkv")), 0.0);

        // Names that would break a line are not kept.
        a.remember(QStringLiteral("/films/two\nlines.mkv"), 5);
        QCOMPARE(b.position(QStringLiteral("/films/two\nlines.mkv")), 0.0);

        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("garbage\n-3\t/films/neg.mkv\nnan\t/films/nan.mkv\n7.25\t/films/good.mkv\n\t\n12\t\n");
        f.close();
        QCOMPARE(a.position(QStringLiteral("/films/good.mkv")), 7.25);
        QCOMPARE(a.position(QStringLiteral("/films/neg.mkv")), 0.0);
        QCOMPARE(a.position(QStringLiteral("/films/nan.mkv")), 0.0);
        b.remember(QStringLiteral("/films/e.mkv"), 2);
        QCOMPARE(a.position(QStringLiteral("/films/good.mkv")), 7.25);
    }
};

QTEST_GUILESS_MAIN(TestResumeList)
#include "test_resume_list.moc"
