// The control window's skin: which image each button shows, the commands that change and
// restore them (checked against the settings file itself), backgrounds and toggles.
#include "BmpWriter.h"
#include "WindowTest.h"
#include "skin/BuiltinImages.h"
#include "skin/SkinButton.h"
#include "ui/ControlSet.h"
#include "ui/SkinSetup.h"

#include <QSettings>
#include <QtTest>

namespace {

QImage solid(QSize size, QRgb colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// The settings file as another program would read it, key by key, case kept.
QMap<QString, QString> stored(const SettingsStore &store)
{
    QSettings raw(store.fileName(), QSettings::IniFormat);
    raw.beginGroup(QStringLiteral("Kinetrope"));
    QMap<QString, QString> out;
    for (const QString &k : raw.childKeys())
        out.insert(k, raw.value(k).toString());
    return out;
}

// The button draws this image (its key pixels clear).
bool samePixels(const QPixmap &shown, const QImage &image)
{
    return shown.toImage() == SkinButton::keyed(image).toImage();
}

} // namespace

class TestSkinSetup : public WindowTest
{
    Q_OBJECT

    ControlWindow &window()
    {
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("control window not exposed");
        return *w;
    }
    QString bmp(const QString &name, QSize size, QRgb colour, int bits = 24)
    {
        const QString path = env->path(name);
        BmpWriter::write(path, solid(size, colour), bits);
        return path;
    }

private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnv>(); }
    void init() { freshStore(); }
    void cleanup() { closeWindow(); }

    void freshStartShowsTheBuiltInImages()
    {
        window();
        // Every keyed button has its built-in pair: grey at rest, coloured when lit.
        for (const SkinSetup::Row &row : SkinSetup::rows()) {
            auto *b = w->findChild<SkinButton *>(QString::number(row.control));
            if (!b)
                continue; // a control this window does not have yet
            QVERIFY2(samePixels(b->image(0), BuiltinImages::image(row.lit, w->devicePixelRatioF())), row.key);
            QVERIFY2(samePixels(b->image(1), BuiltinImages::image(row.rest, w->devicePixelRatioF())), row.key);
            QCOMPARE(b->shownSlot(), 1);
        }
        // The toggles show their state; random is off and docking on at start.
        QVERIFY(samePixels(w->controls().button(ButtonId::Random)->image(0), BuiltinImages::image(314)));
        QVERIFY(samePixels(w->controls().button(ButtonId::Dock)->image(0), BuiltinImages::image(297)));
        // Only the toggles and the text buttons keep their edge.
        QVERIFY(w->controls().button(ButtonId::Random)->hoverBorder());
        QVERIFY(w->controls().button(ButtonId::Rate05)->hoverBorder());
        QVERIFY(!w->controls().button(ButtonId::PlayPause)->hoverBorder());
        // No key green anywhere on the window.
        const QImage shot = w->grab().toImage();
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                QVERIFY((shot.pixel(x, y) & 0xFFFFFF) != 0x00FF00);

        // Each image is drawn once for the process: a skin pass and a rebuilt window reuse it.
        const qreal ratio = w->devicePixelRatioF();
        QVERIFY(process.builtinImages.count({141, ratio}) && process.builtinImages.count({293, ratio}));
        std::map<std::pair<int, qreal>, qint64> drawn;
        for (const auto &[key, image] : process.builtinImages)
            drawn[key] = image.cacheKey();
        w->execute({Command::RestoreButtonImages, 1});
        window();
        QVERIFY(samePixels(w->controls().button(ButtonId::PlayPause)->image(1), BuiltinImages::image(252, ratio)));
        QCOMPARE(process.builtinImages.size(), drawn.size());
        for (const auto &[key, image] : process.builtinImages)
            QCOMPARE(image.cacheKey(), drawn.at(key));
    }

    void togglesSwapTheirImages()
    {
        const QString mine = bmp(QStringLiteral("random.bmp"), {19, 17}, qRgb(200, 10, 10));
        window();
        SkinButton *random = w->controls().button(ButtonId::Random);
        w->execute({Command::RandomToggle});
        QVERIFY(samePixels(random->image(0), BuiltinImages::image(315)));
        QVERIFY(samePixels(random->image(1), BuiltinImages::image(315)));
        w->execute({Command::RandomToggle});
        QVERIFY(samePixels(random->image(0), BuiltinImages::image(314)));
        w->execute({Command::DockToggle});
        QVERIFY(samePixels(w->controls().button(ButtonId::Dock)->image(0), BuiltinImages::image(298)));
        // The user's image wins in both states.
        store->write(StringKey{Key::ButtonImage::Random, ""}, mine);
        w->execute({Command::RandomToggle});
        QVERIFY(samePixels(random->image(0), solid({19, 17}, qRgb(200, 10, 10))));
    }

    void changingAButtonWritesItsKeys()
    {
        const QString lit = bmp(QStringLiteral("lit.bmp"), {33, 20}, qRgb(10, 20, 200), 8);
        const QString rest = bmp(QStringLiteral("rest.bmp"), {33, 20}, qRgb(90, 90, 90), 4);
        window();
        prompt.queueFiles(QStringList{lit});
        prompt.queueFiles(QStringList{rest});
        w->execute({Command::ChangeButtonImages, 32798});
        QCOMPARE(prompt.fileRequests.size(), size_t(2));
        QCOMPARE(prompt.fileRequests[0].title, QStringLiteral("Select a MAIN BMP for the button (32x19 See instruct.htm)"));
        QCOMPARE(prompt.fileRequests[1].title,
                 QStringLiteral("Select a MOUSE OVER BMP for the button (32x19 See instruct.htm)"));
        QCOMPARE(prompt.fileRequests[0].filters, QStringList{QStringLiteral("Bitmap Files (*.bmp)")});
        QMap<QString, QString> keys = stored(*store);
        QCOMPARE(keys.value(QStringLiteral("PlayButtonBMP")), lit);
        QCOMPARE(keys.value(QStringLiteral("PlayButtonBMPmouseover")), rest);
        SkinButton *play = w->controls().button(ButtonId::PlayPause);
        QVERIFY(samePixels(play->image(0), solid({33, 20}, qRgb(10, 20, 200))));
        QVERIFY(samePixels(play->image(1), solid({33, 20}, qRgb(90, 90, 90))));
        // A file that is not a bitmap: the message, and the pair and keys as they were.
        QFile junk(env->path(QStringLiteral("junk.bmp")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("BMnot really");
        junk.close();
        prompt.queueFiles(QStringList{junk.fileName()});
        prompt.queueFiles(QStringList{rest});
        w->execute({Command::ChangeButtonImages, 32798});
        QCOMPARE(prompt.messages.back().text, QStringLiteral("Error loading bitmap, or bitmap not compatible"));
        QCOMPARE(stored(*store).value(QStringLiteral("PlayButtonBMP")), lit);
        QVERIFY(samePixels(play->image(0), solid({33, 20}, qRgb(10, 20, 200))));
        // A stored file that went bad gives way to the built-in pair at the next start.
        QFile::remove(lit);
        QFile::copy(junk.fileName(), lit);
        window();
        QVERIFY(samePixels(w->controls().button(ButtonId::PlayPause)->image(0), BuiltinImages::image(141)));
    }

    void restoresClearExactlyTheirGroup()
    {
        // Every image key set, in its own spelling, and its rest key too.
        QStringList all(std::begin(Key::ButtonImageKeys), std::end(Key::ButtonImageKeys));
        all << QString::fromLatin1(Key::ButtonImage::Blank);
        for (const QString &k : all) {
            store->writeProfileString(Key::Section, k, QStringLiteral("/nowhere/") + k);
            store->writeProfileString(Key::Section, k + QStringLiteral("mouseover"), QStringLiteral("/rest"));
        }
        window();
        w->execute({Command::RestoreButtonImages, 1});
        const QStringList group1 = {"PlayButtonBMP", "FramefwdButtonBMP", "FramebackButtonBMP", "CueButtonBMP",
                                    "ReviewButtonBMP", "OpenButtonBMP", "StopButtonBMP", "EjectButtonBMP",
                                    "RewButtonBMP", "FfButtonBMP", "VcdButtonBMP", "DvdButtonBMP",
                                    "DOCKWINDOWButtonBMP", "RANDOMButtonBMP", "NumTotalButtonBMP",
                                    "RemainButtonBMP", "CurrentButtonBMP"};
        QMap<QString, QString> keys = stored(*store);
        for (const QString &k : all) {
            QCOMPARE(keys.value(k).isEmpty(), group1.contains(k));
            QCOMPARE(keys.value(k + QStringLiteral("mouseover")), QStringLiteral("/rest"));
        }
        // "RandomButtonBMP" is the same key, not a second one.
        QVERIFY(!keys.contains(QStringLiteral("RandomButtonBMP")));
        w->execute({Command::RestoreButtonImages, 2});
        const QStringList group2 = {"MiniButtonBMP", "MidiButtonBMP", "FullButtonBMP", "FullBButtonBMP", "50ButtonBMP",
                                    "200ButtonBMP", "300ButtonBMP", "100ButtonBMP", "ExitButtonBMP",
                                    "SYSMINIMIZEButtonBMP", "BLANKButtonBMP"};
        keys = stored(*store);
        for (const QString &k : all)
            QCOMPARE(keys.value(k).isEmpty(), group1.contains(k) || group2.contains(k));
        QCOMPARE(keys.value(QStringLiteral("SYSUPDATEButtonBMP")), QStringLiteral("/nowhere/SYSUPDATEButtonBMP"));
    }

    void backgroundsTileFromTheCorner()
    {
        // A 5 x 7 tile whose every pixel differs.
        QImage tile(5, 7, QImage::Format_RGB32);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 5; ++x)
                tile.setPixel(x, y, qRgb(40 * x, 30 * y, 99));
        const QString path = env->path(QStringLiteral("tile.bmp"));
        QVERIFY(BmpWriter::write(path, tile, 24));
        prompt.queueFiles(QStringList{path});
        window();
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->execute({Command::SetBackground, -1});
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toInt(), ControlWindow::RestartResult);
        QCOMPARE(store->read(Key::BackgroundBMP), path);
        window();
        const QImage shot = w->grab().toImage();
        // The left margin beside the transport has no control on it.
        for (int y = 36; y < 90; y += 3)
            for (int x = 0; x < 9; ++x)
                QCOMPARE(shot.pixel(x, y) | 0xFF000000, tile.pixel(x % 5, y % 7));
        // A preset replaces it; "DefaultBackgroundBMP" outside the presets leaves the plain colour.
        w->execute({Command::SetBackground, 3});
        QCOMPARE(store->read(Key::BackgroundBMP), QString());
        QCOMPARE(store->read(Key::DefaultBackgroundBMP), 3);
        store->write(Key::DefaultBackgroundBMP, 7);
        window();
        QVERIFY(w->skin().background().isNull());
    }
};

QTEST_MAIN(TestSkinSetup)
#include "test_skin_setup.moc"
