// Playlist files from anywhere: bytes -> working list -> start -> advance through it, in order
// and at random, looping or not; then a value written back reads back as written.
#include "FuzzReplay.h"
#include "TestHost.h"

#include "playlist/PlayList.h"
#include "playlist/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QString folder()
{
    return fuzzScratchFolder();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzQuiet();
    return 0;
}

QList<QByteArray> fuzzSeeds()
{
    return {
        "[Kinetrope]\r\nFileName0=/tmp/a.mpg\r\nFileName1=/tmp/b.mp4\r\nFileName2=\r\nNumFiles=2\r\n",
        "\xEF\xBB\xBF[kinetrope]\nfilename0 = \"  spaced.avi \"\n; note\nFILENAME1=c.mkv\nnumfiles=9\n",
        "[Other]\nFileName0=x\n[Kinetrope]\nNumFiles=3\nFileName2=z\n[Kinetrope]\nFileName0=dup\n",
        // Sparse and huge counts: a few bytes must not cost the memory or the time of a full list.
        "[Kinetrope]\nNumFiles=2147483647\nFileName2147483646=/tmp/last\n",
        "[Kinetrope]\nNumFiles=1999999999\nFileName0=a\nFileName1999999998=b\n",
        "[Kinetrope]\nNumFiles=-5\nFileName0=a\n",
        "[Kinetrope]\nNumFiles=283647\nFileName2147483647=/tmp/last\n",
        "",
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString dir = folder();
    {
        QFile f(QDir(dir).filePath(QLatin1String(PlayList::WorkingName)));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            return 0;
    }
    ScriptedPrompt prompt;
    TestHost host(prompt);
    const uchar mode = size ? data[size - 1] : 0;
    host.random = mode & 1;
    host.loop = mode & 2;
    host.remain = mode & 4;
    {
        PlayList list(host, prompt, dir);
        list.seedRandom(mode);
        list.startPlaylist();
        FUZZ_CHECK(list.entryCount() >= 0);
        for (int i = 0; i < 2 * list.entryCount() + 4 && i < 64; ++i) {
            list.advance();
            FUZZ_CHECK(list.fileNumberText().size() >= 4);
            FUZZ_CHECK(list.shownIndex() < std::max(list.entryCount(), 1));
        }
        // Files dropped on a list that is playing join it; the file stays readable.
        list.addDroppedFiles({QStringLiteral("/dropped one.mpg")});
    }
    ProfileFile file(QDir(dir).filePath(QLatin1String(PlayList::WorkingName)));
    const QString value = QString::fromUtf8(bytes.left(40)).remove(u'\r').remove(u'\n').remove(QChar(0));
    if (file.writeString(QStringLiteral("Kinetrope"), QStringLiteral("Probe"), value)) {
        ProfileFile again(file.path());
        const QString back = again.readString(QStringLiteral("kinetrope"), QStringLiteral("probe"), QString(), 1000);
        FUZZ_CHECK(back == value);
    }
    return 0;
}
