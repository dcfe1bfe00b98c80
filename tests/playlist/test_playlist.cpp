#include "TestEnv.h"
#include "TestFiles.h"
#include "TestHost.h"
#include "playlist/PlayList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

#include <set>

class TestPlayList : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<ScriptedPrompt> prompt;
    std::unique_ptr<TestHost> host;
    std::unique_ptr<PlayList> list;
    QString media;

    // Empty files stand for media: the host opens whatever exists.
    QStringList makeFiles(const QStringList &names)
    {
        QStringList out;
        for (const QString &n : names) {
            const QString p = media + '/' + n;
            writeRaw(p, "x");
            out << p;
        }
        return out;
    }
    QString working() const { return list->workingPlaylist(); }
    QStringList messageTexts() const
    {
        QStringList t;
        for (const auto &m : prompt->messages)
            t << m.text;
        return t;
    }

private Q_SLOTS:
    void init()
    {
        list.reset();
        env.reset();
        env = std::make_unique<TestEnv>();
        prompt = std::make_unique<ScriptedPrompt>();
        host = std::make_unique<TestHost>(*prompt);
        list = std::make_unique<PlayList>(*host, *prompt, env->path("prog"));
        list->seedRandom(12345);
        media = env->path("m");
        QDir().mkpath(media);
    }

    void selectionsAreWrittenAsTheFileLayout()
    {
        const QStringList abc = makeFiles({"a", "b", "c"});
        QVERIFY(!QFile::exists(env->path("prog"))); // created on first use
        list->startFromSelection(abc);
        QCOMPARE(readAll(working()), ("[Kinetrope]\r\nFileName0=" + abc[0] + "\r\nFileName1=" + abc[1]
                                      + "\r\nFileName2=" + abc[2] + "\r\nFileName3=\r\nNumFiles=3\r\n")
                                         .toUtf8());
        QCOMPARE(list->entryCount(), 3);
        QVERIFY(list->isActive());
        QCOMPARE(host->opened, QStringList{abc[0]});
        QCOMPARE(host->readout, QStringLiteral("   1"));
        QVERIFY(!host->playing); // "Auto Play" off

        // One file on the command line, in a fresh program folder.
        TestHost host2(*prompt);
        PlayList one(host2, *prompt, env->path("prog2"));
        host2.path = makeFiles({"x.avi"})[0];
        QVERIFY(one.startFromPath());
        QCOMPARE(readAll(one.workingPlaylist()),
                 ("[Kinetrope]\r\nFileName0=" + host2.path + "\r\nFileName1=\r\nNumFiles=1\r\n").toUtf8());
        QCOMPARE(host2.opened, QStringList{host2.path});
        // Nothing more once a file is loaded, or without a path.
        QVERIFY(!one.startFromPath());
        host2.closeMedia();
        host2.path.clear();
        QVERIFY(!one.startFromPath());
    }

    void twoFilesAfterFiveLeaveTheOldTailAndPlayTwo()
    {
        const QStringList five = makeFiles({"1", "2", "3", "4", "5"});
        const QStringList two = makeFiles({"x", "y"});
        list->startFromSelection(five);
        host->closeMedia();
        list->resetQueue();
        list->startFromSelection(two);
        QCOMPARE(readAll(working()),
                 ("[Kinetrope]\r\nFileName0=" + two[0] + "\r\nFileName1=" + two[1] + "\r\nFileName2=\r\nFileName3="
                  + five[3] + "\r\nFileName4=" + five[4] + "\r\nFileName5=\r\nNumFiles=2\r\n")
                     .toUtf8());
        QCOMPARE(list->entryCount(), 2);
        host->play();
        QVERIFY(host->endOfFile(*list));
        QCOMPARE(host->path, two[1]);
        QVERIFY(host->playing);
        // The end: the first entry is loaded again and stays stopped.
        QVERIFY(!host->endOfFile(*list));
        QCOMPARE(host->path, two[0]);
        QVERIFY(host->loaded);
        QVERIFY(!host->playing);
        QCOMPARE(host->opened, (QStringList{five[0], two[0], two[1], two[0]}));
    }

    void readoutTexts()
    {
        QCOMPARE(PlayList::fileNumberText(1, false, true), QStringLiteral("   1"));
        QCOMPARE(PlayList::fileNumberText(12, false, true), QStringLiteral("  12"));
        QCOMPARE(PlayList::fileNumberText(999, false, true), QStringLiteral(" 999"));
        QCOMPARE(PlayList::fileNumberText(1234, false, true), QStringLiteral("1234"));
        QCOMPARE(PlayList::fileNumberText(0, true, true), QStringLiteral("   0"));
        QCOMPARE(PlayList::fileNumberText(0, true, false), QStringLiteral("----"));
        QCOMPARE(PlayList::fileNumberText(0, false, true), QStringLiteral("----"));

        QStringList twelve;
        for (int i = 0; i < 12; ++i)
            twelve << QString::number(i);
        list->startFromSelection(makeFiles(twelve));
        QCOMPARE(host->readout, QStringLiteral("   1"));
        list->showRemaining();
        QVERIFY(host->remain);
        QCOMPARE(host->readout, QStringLiteral("  11"));
        for (int i = 1; i < 12; ++i)
            QVERIFY(host->endOfFile(*list));
        QCOMPARE(list->shownIndex(), 11);
        QCOMPARE(host->readout, QStringLiteral("   0")); // the last one, loaded
        list->showCurrentNumber();
        QCOMPARE(host->readout, QStringLiteral("  12"));
        host->closeMedia();
        list->resetQueue();
        QCOMPARE(host->readout, QStringLiteral("----"));
        QVERIFY(!list->isActive());
        // Idle: advancing does nothing.
        host->path = "/kept";
        QVERIFY(list->advance());
        QCOMPARE(host->path, QStringLiteral("/kept"));
    }

    void randomPlaysEachEntryOncePerCycle()
    {
        host->random = true;
        const QStringList four = makeFiles({"a", "b", "c", "d"});
        list->startFromSelection(four);
        QStringList seen{host->path};
        QCOMPARE(list->playedCount(), 1);
        QCOMPARE(list->remaining(), 2);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(list->advance());
            seen << host->path;
        }
        QCOMPARE(std::set<QString>(seen.begin(), seen.end()).size(), size_t(4));
        std::vector<int> order;
        for (const QString &p : seen)
            order.push_back(int(four.indexOf(p)));
        QCOMPARE(list->history(), order);
        QCOMPARE(list->remaining(), -1);
        // The fifth advance (counting the start) ends the list without "LoopPlaylist"...
        QVERIFY(!list->advance());
        QCOMPARE(list->playedCount(), 1);
        QCOMPARE(list->history().size(), size_t(1));
        QVERIFY(four.contains(host->path));
        // ...and goes on with it.
        host->loop = true;
        for (int i = 0; i < 3; ++i)
            QVERIFY(list->advance());
        QVERIFY(list->advance()); // a new cycle
        QCOMPARE(list->playedCount(), 1);

        // Every entry gets a fair chance to come first.
        host->loop = false;
        std::vector<int> first(4, 0);
        for (int cycle = 0; cycle < 4000; ++cycle) {
            for (int i = 0; i < 3; ++i)
                list->advance();
            QVERIFY(!list->advance());
            ++first[four.indexOf(host->path)];
        }
        for (const int n : first)
            QVERIFY2(n > 850 && n < 1150, qPrintable(QString::number(n)));
    }

    void dropsWhilePlayingAppendWithoutInterrupting()
    {
        const QStringList five = makeFiles({"1", "2", "3", "4", "5"});
        list->startFromSelection(five);
        host->play();
        host->endOfFile(*list);
        host->endOfFile(*list);
        QCOMPARE(host->path, five[2]);
        const int opens = int(host->opened.size());
        const QStringList more = makeFiles({"6", "7"});
        list->addDroppedFiles(more);
        const QByteArray text = readAll(working());
        QVERIFY(text.endsWith(("FileName4=" + five[4] + "\r\nFileName5=" + more[0] + "\r\nNumFiles=7\r\nFileName6="
                               + more[1] + "\r\nFileName7=\r\n")
                                  .toUtf8()));
        QCOMPARE(list->entryCount(), 7);
        QVERIFY(host->playing);
        QCOMPARE(host->opened.size(), opens);
        QCOMPARE(host->fronts, 1);
        QCOMPARE(list->remaining(), 7 - 2 - 2);
        QVERIFY(host->endOfFile(*list));
        QVERIFY(host->endOfFile(*list));
        QVERIFY(host->endOfFile(*list));
        QCOMPARE(host->path, more[0]);

        // Dropped on the window: the file is closed and the drop becomes the list.
        const QStringList fresh = makeFiles({"f"});
        list->dropOnWindow(fresh);
        QCOMPARE(list->entryCount(), 1);
        QCOMPARE(host->opened.last(), fresh[0]);
        QCOMPARE(ProfileFile(working()).readInt("Kinetrope", "NumFiles", 0), 1);
    }

    void dropsGrowTheRandomHistory()
    {
        host->random = true;
        const QStringList three = makeFiles({"a", "b", "c"});
        list->startFromSelection(three);
        list->advance();
        const std::vector<int> played = list->history();
        QCOMPARE(played.size(), size_t(2));
        list->addDroppedFiles(makeFiles({"d", "e"}));
        QCOMPARE(list->history(), played);
        QCOMPARE(list->remaining(), 5 - 2 - 1);
        std::set<int> rest;
        for (int i = 0; i < 3; ++i) {
            QVERIFY(list->advance());
            rest.insert(list->shownIndex());
        }
        std::set<int> all(played.begin(), played.end());
        all.insert(rest.begin(), rest.end());
        QCOMPARE(all.size(), size_t(5));
        QVERIFY(!list->advance());

        // A drop that leaves one entry discards the history.
        host->closeMedia();
        list->addDroppedFiles(makeFiles({"only"}));
        QCOMPARE(list->entryCount(), 1);
        QCOMPARE(list->playedCount(), 1); // the new start drew it
        QCOMPARE(list->history().size(), size_t(1));
    }

    void commandLinePlaylistInUpperCaseIsCopiedNotWritten()
    {
        const QStringList ab = makeFiles({"a", "b"});
        const QString lst = env->path("Films.LST");
        const QByteArray content = ("[kinetrope]\nFileName0=" + ab[0] + "\nFileName1=" + ab[1] + "\nNumFiles=2\n").toUtf8();
        writeRaw(lst, content);
        QFile::setPermissions(lst, QFile::ReadOwner); // it is never written
        host->path = lst;
        host->autoPlayOn = true;
        QVERIFY(list->startFromPath());
        QCOMPARE(readAll(working()), content);
        QCOMPARE(readAll(lst), content);
        QCOMPARE(host->opened, QStringList{ab[0]});
        QVERIFY(host->playing); // "Auto Play"
        QVERIFY(host->endOfFile(*list));
        QCOMPARE(host->path, ab[1]);

        // A playlist that cannot be read starts nothing (the old list would play otherwise).
        host->closeMedia();
        host->path = env->path("gone.lst");
        const int opens = int(host->opened.size());
        QVERIFY(list->startFromPath());
        QCOMPARE(host->opened.size(), opens);
        QVERIFY(messageTexts().last().startsWith("The play list could not be read:"));
        QCOMPARE(readAll(working()), content);
    }

    void unopenableEntriesAreSkippedAfterAMessage()
    {
        const QStringList ok = makeFiles({"b"});
        const QString missing = media + "/missing.mpg";
        list->setFileTitle("mine.lst");
        list->startFromSelection({missing, ok[0]});
        QCOMPARE(messageTexts(), QStringList{"Cannot open " + missing});
        QCOMPARE(host->opened, ok);

        // Nothing opens: the message names the file title; with "LoopPlaylist" on too, after
        // one pass over the list (in either order).
        for (const bool random : {false, true}) {
            for (const bool loop : {false, true}) {
                host->closeMedia();
                list->resetQueue();
                host->tried.clear();
                prompt->messages.clear();
                host->random = random;
                host->loop = loop;
                list->startFromSelection({missing + "1", missing + "2", missing + "3"});
                QVERIFY(!host->loaded);
                QCOMPARE(host->tried.size(), 3);
                QCOMPARE(messageTexts().size(), 4);
                QCOMPARE(messageTexts().last(), QStringLiteral("File not found in Playlist file - mine.lst"));
                QCOMPARE(prompt->messages.back().caption, QStringLiteral("Error"));
            }

            // Missing files among hundreds of gaps: still one try each, not one per entry.
            host->closeMedia();
            list->resetQueue();
            host->tried.clear();
            prompt->messages.clear();
            writeRaw(working(), ("[Kinetrope]\r\nFileName0=" + missing + "1\r\nFileName500=" + missing
                                 + "2\r\nNumFiles=1000\r\n").toUtf8());
            list->startPlaylist();
            QCOMPARE(list->entryCount(), 501);
            QCOMPARE(host->tried.size(), 2);
            QCOMPARE(messageTexts().size(), 3);
        }

        // Empty entries are passed over in both orders; an all-empty list ends.
        host->loop = true;
        for (const bool random : {false, true}) {
            host->closeMedia();
            list->resetQueue();
            host->random = random;
            writeRaw(working(), ("[Kinetrope]\r\nFileName0=\r\nFileName1=" + ok[0] + "\r\nFileName2=\r\nFileName3="
                                 + ok[0] + "\r\nNumFiles=4\r\n")
                                    .toUtf8());
            list->startPlaylist();
            QVERIFY(host->loaded);
            for (int i = 0; i < 20; ++i) {
                QVERIFY(list->advance());
                QCOMPARE(host->path, ok[0]);
            }
            writeRaw(working(), "[Kinetrope]\r\nFileName0=\r\nFileName1=\r\nNumFiles=2\r\nFileName1=/x\r\n");
            QVERIFY(!list->advance());
        }
    }

    void brokenPlaylistsGiveASaneQueue()
    {
        const QStringList ab = makeFiles({"a", "b"});
        const QString lst = env->path("broken.lst");

        // A count far beyond the entries: no long walk, no huge history.
        host->random = true;
        writeRaw(lst, ("[Kinetrope]\r\nFileName0=" + ab[0] + "\r\nFileName1=" + ab[1] + "\r\nFileName2=\r\nNumFiles=2000000000\r\n").toUtf8());
        QElapsedTimer t;
        t.start();
        QVERIFY(list->startFromPlaylistFile(lst));
        QCOMPARE(list->entryCount(), 2);
        QVERIFY(list->advance());
        QVERIFY(!list->advance());
        QVERIFY(t.elapsed() < 5000);

        // Duplicate keys: the first one counts. A truncated last line still reads.
        host->random = false;
        host->closeMedia();
        writeRaw(lst, ("[Kinetrope]\r\nFileName0=" + ab[1] + "\r\nFileName0=" + ab[0] + "\r\nNumFiles=2\r\nNumFiles=9\r\nFileName1=" + ab[0].left(ab[0].size() - 1)).toUtf8());
        QVERIFY(list->startFromPlaylistFile(lst));
        QCOMPARE(list->entryCount(), 2);
        QCOMPARE(host->path, ab[1]);
        QVERIFY(list->advance());
        QCOMPARE(host->path, ab[0].left(ab[0].size() - 1));

        // Binary noise and a 10 MB line: the long entry is cut and fails to open, the next plays.
        host->closeMedia();
        QByteArray noise;
        for (int i = 0; i < 100000; ++i)
            noise.append(char((i * 131) & 0xff));
        writeRaw(lst, "[Kinetrope]\r\nFileName0=/" + QByteArray(10 << 20, 'z') + "\r\nFileName1=" + ab[1].toUtf8()
                          + "\r\nNumFiles=2\r\n" + noise);
        prompt->messages.clear();
        QVERIFY(list->startFromPlaylistFile(lst));
        QCOMPARE(host->opened.last(), ab[1]);
        QCOMPARE(messageTexts().size(), 1);
        QCOMPARE(messageTexts().first().size(), QString("Cannot open ").size() + 259);

        // No file at all, or no count: nothing plays, the end shows at once.
        host->closeMedia();
        QFile::remove(working());
        prompt->messages.clear();
        list->startPlaylist();
        QVERIFY(!host->loaded);
        QCOMPARE(host->path, QString());
        QVERIFY(messageTexts().last().startsWith("File not found in Playlist file - "));
    }

    void workingPlaylistLivesInThePerUserDataFolder()
    {
        TestHost h(*prompt);
        PlayList l(h, *prompt);
        QCOMPARE(l.programDirectory(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY(l.programDirectory().startsWith(env->root()));
        QCOMPARE(l.workingPlaylist(), l.programDirectory() + "/default.lst");
        l.startFromSelection(makeFiles({"a"}));
        QVERIFY(QFile::exists(l.workingPlaylist()));
    }
};

QTEST_GUILESS_MAIN(TestPlayList)
#include "test_playlist.moc"
