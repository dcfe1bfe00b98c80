// The play queue on a 100,000-entry playlist: start, random and sequential advances, a drop.
// Every figure is also given as a ratio to reading the same file once (QFile::readAll and a
// split into lines), measured in the same run.
#include "app/Prompt.h"
#include "playlist/PlayList.h"
#include "playlist/ProfileFile.h"
#include "playlist/QueueHost.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Entries = 100000;
constexpr int Advances = 1000;
constexpr int Rounds = 5;

class BenchHost : public QueueHost
{
public:
    QString currentPath() const override { return path; }
    void setCurrentPath(const QString &p) override { path = p; }
    bool openMedia() override { return loaded = !path.isEmpty(); }
    void closeMedia() override { loaded = false; }
    bool isLoaded() const override { return loaded; }
    bool isPlaying() const override { return false; }
    void play() override {}
    void showFileNumber(const QString &) override {}
    void bringToFront() override {}
    void closeVideoWindow() override {}
    bool randomOrder() const override { return random; }
    bool loopPlaylist() const override { return true; }
    bool showRemaining() const override { return false; }
    void setShowRemaining(bool) override {}
    bool autoPlay() const override { return false; }

    QString path;
    bool loaded = false;
    bool random = false;
};

class NoPrompt : public Prompt
{
public:
    PromptKind::Answer message(const PromptMessage &m) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(m.text));
        return PromptKind::AnswerOk;
    }
    FileDialogResult fileDialog(const FileDialogRequest &) override { return {}; }
};

// Best of a few rounds, in milliseconds.
double best(const std::function<void()> &setup, const std::function<void()> &work)
{
    std::vector<double> t;
    for (int i = 0; i < Rounds; ++i) {
        setup();
        QElapsedTimer timer;
        timer.start();
        work();
        t.push_back(timer.nsecsElapsed() / 1e6);
    }
    return *std::min_element(t.begin(), t.end());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString list = dir.filePath("big.lst");
    {
        ProfileFile f(list);
        ProfileFile::Batch b(f);
        for (int i = 0; i < Entries; ++i)
            f.writeString("Kinetrope", PlayList::entryKey(i),
                          QStringLiteral("/home/someone/Videos/collection %1/a film of some length %2.mpg")
                              .arg(i / 100)
                              .arg(i));
        f.writeString("Kinetrope", PlayList::entryKey(Entries), "");
        f.writeInt("Kinetrope", "NumFiles", Entries);
        if (!b.commit())
            return 1;
    }
    const qint64 bytes = QFileInfo(list).size();

    qsizetype lines = 0;
    const double reference = best([] {}, [&] {
        QFile f(list);
        if (!f.open(QIODevice::ReadOnly))
            return;
        lines = f.readAll().split('\n').size();
    });

    NoPrompt prompt;
    BenchHost host;
    PlayList queue(host, prompt, dir.filePath("prog"));
    queue.seedRandom(1);

    const double startCopy = best([&] { host.loaded = false; }, [&] { queue.startFromPlaylistFile(list); });
    const double start = best([&] { host.loaded = false; }, [&] { queue.startPlaylist(); });

    host.random = true;
    const double random = best([&] { queue.resetQueue(); host.loaded = false; queue.startPlaylist(); },
                               [&] {
                                   for (int i = 0; i < Advances; ++i)
                                       queue.advance();
                               });
    host.random = false;
    const double sequential = best([&] { host.loaded = false; queue.startPlaylist(); },
                                   [&] {
                                       for (int i = 0; i < Advances; ++i)
                                           queue.advance();
                                   });
    const double drop = best([&] { host.loaded = false; queue.startFromPlaylistFile(list); },
                             [&] { queue.addDroppedFiles({"/x/dropped 1.mpg", "/x/dropped 2.mpg"}); });

    std::printf("playlist: %d entries, %lld bytes, %lld lines\n", Entries, bytes, qint64(lines));
    std::printf("%-44s %10s %10s\n", "", "ms", "x ref");
    const auto row = [&](const char *what, double ms) {
        std::printf("%-44s %10.3f %10.2f\n", what, ms, ms / reference);
    };
    row("reference: readAll + split into lines", reference);
    row("start from a playlist file (copy + start)", startCopy);
    row("start the working playlist", start);
    row("1000 random advances", random);
    row("1000 sequential advances", sequential);
    row("drop 2 files on the running list", drop);
    std::printf("%-44s %10.4f %10.4f\n", "one random advance", random / Advances, random / Advances / reference);
    return 0;
}
