// The player killed at random moments while it writes: the settings and the working playlist,
// "Save Current as Play List", the list editor's "Accept". After every kill each file parses
// and holds the last generation written or the one being written, whole; keys the writer did
// not touch are still there.
#include "TestEnv.h"
#include "WriteGenerations.h"

#include "app/SettingsStore.h"
#include "playlist/PlayList.h"
#include "playlist/ProfileFile.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QtTest>

#include <thread>

class TestCrashSafeWrites : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    QRandomGenerator random{20261209};
    int totalKills = 0;

    // Generation held by a playlist file, or -1 when it is not one generation, whole.
    static int generationOf(const QString &path)
    {
        ProfileFile f(path);
        const QString section = QLatin1String(PlayList::Section);
        const int n = f.readInt(section, QLatin1String(PlayList::CountKey), -1);
        const QString first = f.readString(section, PlayList::entryKey(0));
        const int g = first.section(u'/', 2, 2).section(u' ', 1, 1).toInt();
        if (n <= 0 || generationFiles(g).size() != n)
            return -1;
        const QStringList files = generationFiles(g);
        for (int i = 0; i < n; ++i) {
            if (f.readString(section, PlayList::entryKey(i), {}, 1000) != files[i])
                return -1;
        }
        return f.readString(section, PlayList::entryKey(n)).isEmpty() ? g : -1;
    }

    // The last generation reported in the writer's output, or -1.
    static int lastReported(const QByteArray &out)
    {
        int last = -1;
        for (const QByteArray &line : out.split('\n')) {
            bool ok = false;
            const int g = line.toInt(&ok);
            if (ok)
                last = g;
        }
        return last;
    }

    // Starts the writer and, once it has written a generation whole (however slowly it started),
    // kills it at a random moment of the writes that follow; the last generation it reported,
    // or -2 when it never wrote one.
    int killOnce(const QString &mode, const QString &folder, int first)
    {
        QProcess p;
        p.setProcessEnvironment(env->processEnvironment());
        p.start(QStringLiteral(KT_WRITE_LOOP), {mode, folder, QString::number(first)});
        QByteArray out;
        while (lastReported(out) < first && p.waitForReadyRead(10000))
            out += p.readAllStandardOutput();
        if (lastReported(out) < first) {
            p.kill();
            p.waitForFinished(5000);
            qWarning("writer: state %d, exit %d, output %s, errors %s", int(p.state()), p.exitCode(),
                     out.constData(), p.readAllStandardError().constData());
            return -2;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(20000)));
        p.kill();
        p.waitForFinished(5000);
        out += p.readAllStandardOutput();
        ++totalKills;
        return lastReported(out);
    }

    // Kills the writer again and again; checks after each kill.
    void run(const QString &mode, const QString &file, int kills, bool settings)
    {
        const QString folder = env->path(QStringLiteral("lists-") + mode);
        QDir().mkpath(folder);
        {
            // Generation 0, as an earlier run left it.
            ProfileFile f(file);
            ProfileFile::Batch batch(f);
            const QStringList files = generationFiles(0);
            for (int i = 0; i < files.size(); ++i)
                f.writeString(QLatin1String(PlayList::Section), PlayList::entryKey(i), files[i]);
            f.writeString(QLatin1String(PlayList::Section), PlayList::entryKey(int(files.size())), QString());
            f.writeInt(QLatin1String(PlayList::Section), QLatin1String(PlayList::CountKey), int(files.size()));
            QVERIFY(batch.commit());
            QCOMPARE(generationOf(file), 0);
        }
        int held = 0; // the generation the file holds
        int generations = 0;
        for (int k = 0; k < kills; ++k) {
            const int reported = killOnce(mode, folder, held + 1);
            QVERIFY2(reported > held, qPrintable(QStringLiteral("kill %1: the writer wrote nothing (%2, file at %3)").arg(k).arg(reported).arg(held)));
            const int g = generationOf(file);
            QVERIFY2(g >= 0, qPrintable(QStringLiteral("kill %1: %2 is torn").arg(k).arg(file)));
            // Written and reported, or written just before the kill.
            QVERIFY2(g == reported || g == reported + 1,
                     qPrintable(QStringLiteral("kill %1: holds %2, reported %3").arg(k).arg(g).arg(reported)));
            if (settings) {
                QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(Key::Company), QStringLiteral("kinetrope"));
                QCOMPARE(raw.status(), QSettings::NoError);
                SettingsStore store(QStringLiteral("kinetrope"));
                const int s = store.read(Key::VideoSize);
                // Written as one: the pair belongs together; the list follows the settings.
                QCOMPARE(store.read(Key::LastDirectory), generationFolder(s));
                QVERIFY2(s == g || s == g + 1, qPrintable(QStringLiteral("settings %1, list %2").arg(s).arg(g)));
                QCOMPARE(store.read(Key::WindowLeft), 321);
                QCOMPARE(store.read(Key::PlayListFilename), QStringLiteral("/keep me.lst"));
            }
            generations += g - held;
            held = g;
        }
        qInfo("%s: %d kills, %d generations written, every file whole", qPrintable(mode), kills, generations);
        // Replacements cut short leave nothing but their own temporary files.
        const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        qInfo("  files left in the folder: %s", qPrintable(left.join(u' ')));
    }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        SettingsStore store(QStringLiteral("kinetrope"));
        QVERIFY(store.write({{Key::WindowLeft, 321}, {Key::PlayListFilename, QStringLiteral("/keep me.lst")},
                             {Key::VideoSize, 0}, {Key::LastDirectory, generationFolder(0)}}));
    }

    void settingsAndWorkingPlaylist()
    {
        run(QStringLiteral("working"), env->path(QStringLiteral("lists-working/default.lst")), 200, true);
    }

    // Killed between creating the settings lock and writing its owner into it.
    void emptyLockLeftByAKillHoldsNoWrite()
    {
        SettingsStore store(QStringLiteral("kinetrope"));
        const QString lock = store.fileName() + QStringLiteral(".lock");
        QFile f(lock);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
        f.close();
        QElapsedTimer t;
        t.start();
        QVERIFY(store.write({{Key::VideoSize, 7}}));
        QVERIFY2(t.elapsed() < 10000, "the write waited for the lock to grow stale");
        QCOMPARE(SettingsStore(QStringLiteral("kinetrope")).read(Key::VideoSize), 7);
        QVERIFY(!QFile::exists(lock));
    }

    void savePlaylistAs()
    {
        run(QStringLiteral("saveas"), env->path(QStringLiteral("lists-saveas/saved.lst")), 100, false);
    }

    void listEditorAccept()
    {
        run(QStringLiteral("editor"), env->path(QStringLiteral("lists-editor/edited.lst")), 100, false);
        qInfo("%d kills in all", totalKills);
    }
};

QTEST_MAIN(TestCrashSafeWrites)
#include "test_crash_safe_writes.moc"
