// A settings file from anywhere: bytes -> every typed read of the key table; then a write of
// each type reads back, and the keys the file held are still there.
#include "FuzzReplay.h"

#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
// Every IntKey and StringKey of the table, gathered from its header at build time.
const IntKey *const IntKeys[] = {
#define KT_INT_KEY(name) &Key::name,
#define KT_STRING_KEY(name)
#include "SettingsKeyList.inc"
#undef KT_INT_KEY
#undef KT_STRING_KEY
};
const StringKey *const StringKeys[] = {
#define KT_INT_KEY(name)
#define KT_STRING_KEY(name) &Key::name,
#include "SettingsKeyList.inc"
#undef KT_INT_KEY
#undef KT_STRING_KEY
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzQuiet();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(fuzzScratchFolder()));
    static QCoreApplication app(*argc, *argv);
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    return {
        "[Kinetrope]\nWindow%20Left=120\nVideoSize=200\nLast%20Directory=/home/u/Videos\n"
        "DDBackColor=9156531\nPlayButtonBMP=/skins/a.bmp\n",
        "[kinetrope]\nwindow%20left=-7\nUpdatePeriod=abc\nMultipleInstance=4294967295\n"
        "PlayListFilename=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x18\\0)\n",
        "[Kinetrope]\nLast%20Directory=\"a, b\", c\nRandomState=1, 2\nCurrent=@ByteArray(xyz)\n"
        "AutoLoop=@Invalid()\nRemain=@Size(1 2)\nVideoSize=@Rect(1 2 3 4)\n",
        "[General]\nx=1\n[Kinetrope/sub]\nWindow%20Top=3\n[%4B%69netrope]\nVideoSize=1\n",
        "",
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SettingsStore store(QStringLiteral("kinetrope"));
    {
        QFile f(store.fileName());
        QDir().mkpath(QFileInfo(f).absolutePath());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            return 0;
    }
    store.invalidate();
    for (const IntKey *k : IntKeys)
        store.read(*k);
    for (const StringKey *k : StringKeys)
        store.read(*k).size();
    for (const char *k : Key::ButtonImageKeys) {
        store.getProfileString(QString::fromLatin1(Key::Section), QString::fromLatin1(k), QString());
        store.getProfileString(QString::fromLatin1(Key::Section),
                               QString::fromLatin1(k) + QLatin1String(Key::MouseOverSuffix), QString());
    }
    for (const IntKey *k : Key::PreferenceKeys)
        store.read(*k);
    const QString before = store.read(Key::LastDirectory);
    if (store.write({{Key::VideoSize, 300}, {Key::PlayListFilename, QStringLiteral("/a b/c=d;[e].lst")}})) {
        SettingsStore again(QStringLiteral("kinetrope"));
        FUZZ_CHECK(again.read(Key::VideoSize) == 300);
        FUZZ_CHECK(again.read(Key::PlayListFilename) == QStringLiteral("/a b/c=d;[e].lst"));
        FUZZ_CHECK(again.read(Key::LastDirectory) == before);
    }
    return 0;
}
