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
        QStringList expected;
        for (const HelpDocuments::Document &d : HelpDocuments::documents()) {
            w->contextMenu()->findChild<QAction *>(QString::number(d.command))->trigger();
            expected << QUrl::fromLocalFile(HelpDocuments::pathOf(d.command)).toString();
        }
        QTRY_COMPARE(opener->opened(), expected);
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
        QTRY_COMPARE(opener->opened().size(), 2);
        QCOMPARE(opener->opened()[0], QStringLiteral("mailto:%1?subject=Kinetrope%20Response")
                                          .arg(QLatin1String(ProductAddresses::MailAddress)));
        QCOMPARE(opener->opened()[1], QString::fromLatin1(ProductAddresses::MailingList));
    }

    void theLinkOpensTurnsVisitedAndNamesFailures()
    {
        QWidget box;
        auto *link = new HyperLinkLabel(QStringLiteral("https://example.org/kinetrope"), &box);
        link->setPrompt(&prompt);
        link->setGeometry(10, 10, 300, 30);
        box.resize(320, 60);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(link->toolTip(), QStringLiteral("https://example.org/kinetrope"));
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(link->shownColour(), QColor(0x00, 0x00, 0xEE));
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
        QCOMPARE(HyperLinkLabel::errorText(31),
                 QStringLiteral("There is no application associated\nwith the given filename extension."));
        QCOMPARE(HyperLinkLabel::errorText(99), QStringLiteral("Unknown Error (99) occurred."));
    }
};

QTEST_MAIN(TestHelpLinks)
#include "test_help_links.moc"
