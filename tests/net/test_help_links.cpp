// Help pages, mail and web links as the user opens them: from the menus of the real window and
// from the About box's link, with a stand-in for the desktop's opener that writes down what
// it was asked to open.
#include "FakeOpener.h"
#include "WindowTest.h"
#include "net/HelpDocuments.h"
#include "net/HyperLinkLabel.h"
#include "net/ProductAddresses.h"

#include <QDir>
#include <QHash>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <QtTest>

class TestHelpLinks : public WindowTest
{
    Q_OBJECT
    std::unique_ptr<FakeOpener> opener;

    // Some pixel of the label as drawn is exactly this colour (the underline is).
    static bool paints(QWidget *w, const QColor &colour)
    {
        const QImage image = w->grab().toImage();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y).rgb() == colour.rgb())
                    return true;
            }
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        opener = std::make_unique<FakeOpener>(env->path(QStringLiteral("bin")));
    }
    void init()
    {
        freshStore();
        opener->clear();
    }
    void cleanup() { closeWindow(); }

    void pagesAreInTheBuildAndInstallTrees()
    {
        // The build tree: beside the program, as installed.
        const QString built = QStringLiteral(KT_BUILD_DIR "/share/doc/kinetrope");
        const QString install = env->path(QStringLiteral("prefix"));
        QCOMPARE(QProcess::execute(QStringLiteral(KT_CMAKE), {"--install", KT_BUILD_DIR, "--prefix", install}), 0);
        for (const HelpDocuments::Document &d : HelpDocuments::documents()) {
            for (const QString &root : {built, install + QStringLiteral("/share/doc/kinetrope")}) {
                QFile page(root + QLatin1Char('/') + QLatin1String(d.path));
                QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
                QVERIFY(page.readAll().contains("Kinetrope"));
            }
        }
        // Each anchor once per page, and every link between the pages lands on a file and an anchor.
        const QRegularExpression idAttr(QStringLiteral(" id=\"([^\"]+)\""));
        const QRegularExpression hrefAttr(QStringLiteral("href=\"([^\":]+)\""));
        QHash<QString, QStringList> anchors, links;
        for (const HelpDocuments::Document &d : HelpDocuments::documents()) {
            const QString page = QDir::cleanPath(built + QLatin1Char('/') + QLatin1String(d.path));
            QFile f(page);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            for (const QRegularExpressionMatch &m : idAttr.globalMatch(text)) {
                QVERIFY2(!anchors[page].contains(m.captured(1)),
                         qPrintable(page + QStringLiteral(" #") + m.captured(1)));
                anchors[page] << m.captured(1);
            }
            for (const QRegularExpressionMatch &m : hrefAttr.globalMatch(text))
                links[page] << m.captured(1);
        }
        for (auto it = links.cbegin(); it != links.cend(); ++it) {
            for (const QString &link : it.value()) {
                const QString file = link.section(QLatin1Char('#'), 0, 0), anchor = link.section(QLatin1Char('#'), 1);
                const QString target =
                    file.isEmpty() ? it.key() : QDir::cleanPath(QFileInfo(it.key()).path() + QLatin1Char('/') + file);
                QVERIFY2(QFileInfo::exists(target), qPrintable(it.key() + QStringLiteral(": ") + link));
                QVERIFY2(anchor.isEmpty() || anchors.value(target).contains(anchor),
                         qPrintable(it.key() + QStringLiteral(": ") + link));
            }
        }
        QVERIFY(QFileInfo(install + QStringLiteral("/bin/kinetrope")).isExecutable());
        QCOMPARE(QFileInfo(HelpDocuments::folder()).canonicalFilePath(), QFileInfo(built).canonicalFilePath());
    }

    void menusOpenPagesMailAndTheList()
    {
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        // The two sub-menus with their items' ids and words, in order.
        auto items = [this](const char *title) {
            QStringList found;
            for (QAction *a : w->contextMenu()->actions()) {
                if (a->menu() && a->text() == QLatin1String(title)) {
                    for (QAction *item : a->menu()->actions())
                        found << item->objectName() + QLatin1Char(' ') + item->text();
                }
            }
            return found;
        };
        QCOMPARE(items("&Help"), (QStringList{"32782 &Main Index", "32783 &Instructions", "32784 &Faq", "32785 &History",
                                              "32786 File &Associations",
                                              "32788 &Distribution && Legal Information"}));
        QCOMPARE(items("&Internet"),
                 (QStringList{"32776 &Look for Update", "32777 &Email Me", "32779 &Subscribe to mailing list"}));
        QStringList expected;
        for (const HelpDocuments::Document &d : HelpDocuments::documents()) {
            w->contextMenu()->findChild<QAction *>(QString::number(d.command))->trigger();
            expected << QUrl::fromLocalFile(HelpDocuments::pathOf(d.command)).toString();
        }
        // Each opener runs on its own, so the log's order is theirs, not the menu's.
        expected.sort();
        auto openedSorted = [this] {
            QStringList l = opener->opened();
            l.sort();
            return l;
        };
        QTRY_COMPARE(openedSorted(), expected);
        QVERIFY(HelpDocuments::pathOf(32783).endsWith(QLatin1String("documentation/instruct.htm")));
        // Email Me asks first: Cancel opens nothing, OK the mail program.
        opener->clear();
        prompt.queueAnswer(PromptKind::AnswerCancel);
        w->contextMenu()->findChild<QAction *>("32777")->trigger();
        QCOMPARE(prompt.messages.back().caption, QStringLiteral("Please include your email details"));
        QCOMPARE(prompt.messages.back().text, QStringLiteral("Your default mail program will now be launched\r\r"));
        QCOMPARE(prompt.messages.back().buttons, PromptKind::OkCancel);
        prompt.queueAnswer(PromptKind::AnswerOk);
        w->contextMenu()->findChild<QAction *>("32777")->trigger();
        w->contextMenu()->findChild<QAction *>("32779")->trigger();
        expected = QStringList{QStringLiteral("mailto:%1?subject=Kinetrope%20Response")
                                   .arg(QLatin1String(ProductAddresses::MailAddress)),
                               QString::fromLatin1(ProductAddresses::MailingList)};
        expected.sort();
        QTRY_COMPARE(openedSorted(), expected);
    }

    void theLinkOpensTurnsVisitedAndNamesFailures()
    {
        QWidget box;
        auto *link = new HyperLinkLabel(QStringLiteral("https://example.org/kinetrope"), &box);
        link->setPrompt(&prompt);
        link->setGeometry(10, 10, 300, 30);
        box.resize(320, 100);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(link->toolTip(), QStringLiteral("https://example.org/kinetrope"));
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        const QColor blue(0x00, 0x00, 0xEE);
        QCOMPARE(link->shownColour(), blue);
        QVERIFY(paints(link, blue));
        // Under the pointer it is drawn in the highlight colour, and in its own again once the
        // pointer has gone.
        const QColor highlight = link->palette().color(QPalette::Highlight);
        QVERIFY(highlight != blue);
        QTest::mouseMove(link, QPoint(5, 5));
        QTRY_VERIFY(link->isOver());
        QVERIFY(paints(link, highlight));
        QVERIFY(!paints(link, blue));
        QTest::mouseMove(&box, QPoint(5, 95));
        QTRY_VERIFY(!link->isOver());
        QVERIFY(paints(link, blue));
        QVERIFY(!paints(link, highlight));
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
        QTRY_COMPARE(opener->opened(), QStringList{QStringLiteral("https://example.org/kinetrope")});
        QVERIFY(link->visited());
        QCOMPARE(link->shownColour(), QColor(0x55, 0x1A, 0x8B));
        QVERIFY(prompt.messages.empty());
        // A page that is not there names why, in the link's words.
        link->setAddress(env->path(QStringLiteral("no-such-page.htm")));
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(prompt.messages.back().text,
                 QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found."));
        link->setAddress(QStringLiteral("/no/such/folder/page.htm"));
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(prompt.messages.back().text,
                 QStringLiteral("Unable to open hyperlink:\n\nThe specified path was not found."));
        QCOMPARE(HyperLinkLabel::errorText(99), QStringLiteral("Unknown Error (99) occurred."));

        // No desktop handler and no browser named: the failure says so, and the link stays unvisited.
        const QString bin = env->path(QStringLiteral("bin")), browsers = env->path(QStringLiteral("browser"));
        QVERIFY(QFile::rename(bin + QStringLiteral("/xdg-open"), bin + QStringLiteral("/xdg-open.away")));
        const QByteArray path = qgetenv("PATH");
        QVERIFY(QDir().mkpath(browsers));
        qputenv("PATH", QFile::encodeName(browsers)); // nothing Qt could open with either
        qunsetenv("DEFAULT_BROWSER");
        qunsetenv("BROWSER");
        const QString browser = browsers + QStringLiteral("/browser"), log = browsers + QStringLiteral("/browser.log");
        {
            QFile script(browser);
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(log) + "'\n");
        }
        QVERIFY(QFile::setPermissions(browser, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        auto *other = new HyperLinkLabel(QStringLiteral("https://example.org/download"), &box);
        other->setPrompt(&prompt);
        other->setGeometry(10, 50, 300, 30);
        other->show();
        const size_t told = prompt.messages.size();
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(prompt.messages.size(), told + 1);
        QCOMPARE(prompt.messages.back().text,
                 QStringLiteral("Unable to open hyperlink:\n\nThere is no application associated\n"
                                "with the given filename extension."));
        QVERIFY(!other->visited());
        // $BROWSER: its first command, with the address for %s, or after it when there is none.
        auto logged = [&log] {
            QFile f(log);
            return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
        };
        qputenv("BROWSER", QFile::encodeName(browser) + " --new-tab %s --raise:firefox");
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(other->visited());
        QTRY_COMPARE(logged(), QStringLiteral("--new-tab https://example.org/download --raise\n"));
        qputenv("BROWSER", QFile::encodeName(browser) + " --new-window");
        QTest::mouseClick(other, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(prompt.messages.size(), told + 1);
        QTRY_COMPARE(logged(), QStringLiteral("--new-tab https://example.org/download --raise\n"
                                              "--new-window https://example.org/download\n"));
        qputenv("PATH", path);
        qunsetenv("BROWSER");
        QVERIFY(QFile::rename(bin + QStringLiteral("/xdg-open.away"), bin + QStringLiteral("/xdg-open")));
    }
};

QTEST_MAIN(TestHelpLinks)
#include "test_help_links.moc"
