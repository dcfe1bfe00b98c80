#pragma once

#include "app/Prompt.h"
#include "playback/PlayQueue.h"
#include "playlist/QueueHost.h"

#include <QFileInfo>
#include <QStringList>

// Stands in for the control window and its media graph: a path "opens" when it names an
// existing file, and a failure is reported through the prompt as the graph would.
class TestHost : public QueueHost
{
public:
    explicit TestHost(Prompt &prompt) : m_prompt(prompt) {}

    QString currentPath() const override { return path; }
    void setCurrentPath(const QString &p) override { path = p; }
    bool openMedia() override
    {
        tried << path;
        if (path.isEmpty() || !QFileInfo(path).isFile()) {
            m_prompt.error(QStringLiteral("Cannot open ") + path);
            return false;
        }
        loaded = true;
        opened << path;
        return true;
    }
    void closeMedia() override
    {
        if (loaded)
            ++closes;
        loaded = false;
        playing = false;
    }
    bool isLoaded() const override { return loaded; }
    bool isPlaying() const override { return playing; }
    void play() override { playing = loaded; }
    void showFileNumber(const QString &text) override { readout = text; }
    void bringToFront() override { ++fronts; }
    void closeVideoWindow() override { ++videoClosed; }
    bool randomOrder() const override { return random; }
    bool loopPlaylist() const override { return loop; }
    bool showRemaining() const override { return remain; }
    void setShowRemaining(bool on) override { remain = on; }
    bool autoPlay() const override { return autoPlayOn; }

    // What the transport does at the end of a file: the next entry, then close and open.
    bool endOfFile(PlayQueue &q)
    {
        const bool goOn = q.advance();
        closeMedia();
        if (!openMedia())
            return false;
        if (goOn)
            play();
        return goOn;
    }

    QString path;
    bool loaded = false;
    bool playing = false;
    bool random = false;
    bool loop = false;
    bool remain = false;
    bool autoPlayOn = false;
    QString readout;
    QStringList tried;
    QStringList opened;
    int closes = 0;
    int fronts = 0;
    int videoClosed = 0;

private:
    Prompt &m_prompt;
};
