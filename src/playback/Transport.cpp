#include "Transport.h"

#include "MediaEngine.h"
#include "MediaGraph.h"
#include "PlayQueue.h"
#include "PlaybackHost.h"
#include "PlaybackText.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsKeys.h"
#include "PictureHost.h"

#include <algorithm>

namespace {
const QString PausedText = QStringLiteral("File Paused");
const QString JogHint = QStringLiteral("File Paused...Use the mouse wheel for JOG SHUTTLE... ");
const QString RefusedSpeed = QStringLiteral("This speed is not supported by the codec");
} // namespace

using Readout = PlaybackHost::Readout;

Transport::Transport(MediaGraph &graph, PlaybackHost &host) : m_graph(graph), m_host(host)
{
    m_stop.setValue(m_stop.maximum());
    m_speed.setValue(10);
    m_speed.setTickFrequency(3);
}

MediaEngine &Transport::engine() const
{
    return *m_graph.m_engine;
}

QString Transport::positionText(qint64 units) const
{
    return PlaybackText::position(units, m_graph.m_frameFormat, m_graph.frameRate());
}

qint64 Transport::unitsForSeconds(int seconds) const
{
    return m_graph.m_frameFormat ? qint64(seconds * m_graph.frameRate()) : qint64(seconds) * 10000000;
}

void Transport::prepareForNewFile()
{
    MediaEngine &e = engine();
    const qint64 durationUnits = e.durationUnits();
    const double seconds = e.duration();
    m_graph.m_sliderMaximum = int(seconds + 1);
    for (SliderModel *s : {&m_start, &m_position, &m_stop})
        s->setRange(0, m_graph.m_sliderMaximum);
    m_start.setValue(0);
    m_position.setValue(0);
    m_stop.setValue(m_graph.m_sliderMaximum);
    e.seek(m_start.value());

    m_host.showReadout(Readout::TotalTime, positionText(durationUnits));
    m_host.showReadout(Readout::EndTime, positionText(durationUnits));
    m_host.showReadout(Readout::StartTime, positionText(0));
    m_host.showReadout(Readout::CurrentTime, m_graph.m_frameFormat ? QStringLiteral("  :  :  : 1")
                                                                  : QStringLiteral("  :  :  . 1"));
    // The speed in force carries over to the new file (a new graph would start at normal
    // speed while the readout still showed the old one).
    if (!e.setRate(m_rate) && m_rate != 1.0) {
        m_rate = 1.0;
        e.setRate(m_rate);
        m_speed.setValue(10);
        m_host.showReadout(Readout::Speed, PlaybackText::speed(m_rate));
    }
    m_graph.m_tickSpacing = int(seconds) / 30;
    m_position.setTickFrequency(m_graph.m_tickSpacing);
    m_host.setSetButtonsEnabled(true);
    m_host.refreshControls();
}

void Transport::play()
{
    m_host.refreshFileNumber();
    if (m_position.value() < m_start.value())
        m_position.setValue(m_start.value());
    if (!m_graph.m_loaded)
        return;
    engine().seek(m_position.value());
    engine().setStop(m_stop.value());
    run();
    m_host.refreshControls();
    if (m_host.fullScreenView())
        m_host.reapplyFullScreen();
    if (m_host.preference(Key::AutoFull) != 0) {
        m_host.enterAutoFull();
        return;
    }
    // The picture comes to the front (the renderer's own window style has no meaning here).
    if (PictureHost *window = m_host.pictureHost())
        window->bringPictureForward();
}

void Transport::run()
{
    if (!m_graph.m_loaded)
        return;
    engine().run();
    m_graph.m_playing = true;
    m_graph.m_paused = false;
    m_host.stopPlaybackTimer();
    m_host.startPlaybackTimer(m_host.preference(Key::UpdatePeriod));
    m_host.stopClockScroll();
    m_host.refreshDate();
}

void Transport::pause()
{
    m_host.stopPlaybackTimer();
    m_graph.m_paused = true;
    m_graph.m_playing = false;
    if (m_graph.m_loaded) {
        engine().pause();
        m_graph.keepResumePoint(true);
    }
    if (!m_graph.m_loaded || m_graph.m_noVideo) {
        m_host.showClockText(PausedText);
    } else if (!m_host.processState().jogHintShown) {
        m_host.scrollClockText(JogHint, 12, 3 * m_host.preference(Key::UpdatePeriod));
        m_host.processState().jogHintShown = true;
    }
}

void Transport::playPause()
{
    if (!m_graph.m_loaded) {
        m_host.openFileDialog();
        // A file the dialog opened and started ("AutoDropPlay") keeps playing.
        if (m_graph.m_playing) {
            showFrameRate();
            return;
        }
    }
    if (m_graph.m_loaded) {
        if (m_graph.m_playing) {
            pause();
            return;
        }
        engine().setStop(m_stop.value());
        run();
        m_host.refreshDate();
    }
    showFrameRate();
}

void Transport::stopPlayback()
{
    if (m_host.fullScreenView() && m_graph.m_playing) {
        m_host.reapplyFullScreen();
        engine().stop();
        m_graph.m_playing = m_graph.m_paused = false;
        return;
    }
    if (!m_graph.m_loaded || !m_graph.m_playing)
        return; // paused or stopped: nothing to do
    engine().stop();
    engine().seek(m_start.value());
    m_position.setValue(m_start.value());
    m_seekScratch = engine().positionUnits();
    m_host.showReadout(Readout::CurrentTime, positionText(m_seekScratch));
    if (QWidget *picture = m_graph.picture())
        picture->show();
    m_host.refreshControls();
    m_graph.m_playing = m_graph.m_paused = false;
    m_host.stopPlaybackTimer();
    m_host.positionJumped();
}

void Transport::rewind()
{
    if (!m_graph.m_loaded)
        return;
    // Compared in units: a whole second lands on a frame whose time is rarely whole.
    const bool atStart = engine().positionUnits() == unitsForSeconds(m_start.value());
    const int target = atStart ? 0 : m_start.value();
    engine().seek(target);
    m_position.setValue(target);
    m_host.refreshControls();
    m_host.positionJumped();
}

void Transport::fastForward()
{
    if (!m_graph.m_loaded)
        return;
    const double current = engine().position();
    if (m_stop.value() > current) {
        engine().seek(m_stop.value());
        m_position.setValue(m_stop.value());
    } else {
        const double end = engine().duration();
        engine().seek(end);
        m_position.setValue(int(end));
    }
    m_host.refreshControls();
    m_host.positionJumped();
}

void Transport::cueStep()
{
    step(0.5);
}

void Transport::reviewStep()
{
    step(-0.5);
}

void Transport::step(double seconds)
{
    if (!m_graph.m_loaded)
        return;
    const double target = engine().position() + seconds;
    if (!(target > 0) || target > engine().duration())
        return;
    engine().seek(target);
    m_position.setValue(int(target));
    m_host.refreshControls();
    m_host.positionJumped();
}

void Transport::frameAdvance()
{
    if (!m_graph.m_loaded)
        return;
    const qint64 next = std::min(engine().positionUnits() + 1, engine().stopUnits());
    engine().seekUnits(next);
    m_host.showReadout(Readout::CurrentTime, positionText(next));
    m_host.refreshControls();
    m_host.positionJumped();
}

void Transport::frameReverse()
{
    if (!m_graph.m_loaded)
        return;
    const qint64 next = std::max<qint64>(engine().positionUnits() - 1, 0);
    engine().seekUnits(next);
    m_host.showReadout(Readout::CurrentTime, positionText(next));
    m_host.refreshControls();
    m_host.positionJumped();
}

void Transport::jog(int wheelDelta)
{
    if (!m_graph.m_paused || !m_graph.m_loaded)
        return;
    qint64 current = engine().positionUnits() + wheelDelta / 120;
    current = std::min(current, engine().stopUnits());
    // Turning back past the start stays at the start (the engine cannot go before it).
    current = std::max<qint64>(current, 0);
    engine().seekUnits(current);
    m_host.showReadout(Readout::CurrentTime, positionText(current));
    m_host.refreshControls();
    m_host.stopClockScroll();
    showFrameRate();
    m_host.positionJumped();
}

void Transport::showFrameRate()
{
    if (!m_graph.m_loaded || m_graph.m_noVideo)
        return;
    m_host.showClockText(PlaybackText::frameRate(m_graph.frameRate()));
}

bool Transport::setRate(double rate, bool moveSlider)
{
    m_rate = rate;
    // Without a file the answer is that of the last checked engine call.
    if (m_graph.m_loaded)
        m_graph.m_lastResult = engine().setRate(rate);
    if (!m_graph.m_lastResult)
        return false;
    m_host.showReadout(Readout::Speed, PlaybackText::speed(rate));
    if (moveSlider)
        m_speed.setValue(PlaybackText::speedCode(rate));
    m_host.refreshControls();
    return true;
}

void Transport::speedPreset(double rate)
{
    if (setRate(rate, true))
        return;
    // One message per command; a refused normal speed is not asked again.
    m_host.prompt().message({RefusedSpeed, QString(), PromptKind::Ok, PromptKind::NoIcon});
    if (rate != 1.0)
        setRate(1.0, true);
}

void Transport::speedSliderMoved(int code)
{
    m_speed.setValue(code);
    if (setRate(PlaybackText::rateForCode(code), false))
        return;
    m_host.prompt().message({RefusedSpeed, QString(), PromptKind::Ok, PromptKind::NoIcon});
    setRate(1.0, false);
    m_speed.setValue(10);
    m_host.refreshControls();
}

void Transport::keypadStep(int direction)
{
    int tenths = int(std::lround(m_rate * 10));
    if (m_rate < 0.1 || m_rate > 10)
        tenths = 10;
    if (direction > 0) {
        tenths = tenths >= 10 ? std::min(tenths + 10, 100) : tenths + 1;
    } else if (tenths < 2 || tenths > 10) {
        tenths -= 10;
        if (tenths == 0)
            tenths = 10;
    } else {
        tenths -= 1;
    }
    // From 0.1 this asks for -0.9, which is refused: normal speed then.
    if (!setRate(tenths / 10.0, true))
        setRate(1.0, true);
}

void Transport::keypadPlus()
{
    keypadStep(+1);
}

void Transport::keypadMinus()
{
    keypadStep(-1);
}

void Transport::setStartPoint()
{
    if (!m_graph.m_loaded)
        return;
    m_start.setValue(m_position.value());
    if (m_stop.value() < m_start.value())
        m_stop.setValue(m_start.value() + 1);
    m_host.showReadout(Readout::StartTime, positionText(engine().positionUnits()));
    m_host.refreshControls();
}

void Transport::setStopPoint()
{
    if (!m_graph.m_loaded)
        return;
    m_stop.setValue(m_position.value());
    if (!(m_start.value() < m_stop.value()))
        m_start.setValue(m_stop.value() - 1);
    m_host.showReadout(Readout::EndTime, positionText(engine().positionUnits()));
    engine().setStop(m_stop.value());
    m_host.refreshControls();
}

void Transport::resetPoints()
{
    m_start.setValue(0);
    m_stop.setValue(m_stop.maximum());
    if (m_graph.m_loaded) {
        engine().setStop(m_stop.value());
        if (!m_graph.m_playing) {
            m_position.setValue(m_start.value());
            engine().seek(m_position.value());
            engine().setStop(m_stop.value());
            m_host.showReadout(Readout::StartTime, positionText(unitsForSeconds(m_start.value())));
            m_host.showReadout(Readout::EndTime, positionText(engine().stopUnits()));
            m_host.positionJumped();
        }
    }
    m_host.refreshControls();
}

void Transport::startSliderDragged(int value)
{
    if (!m_graph.m_loaded) {
        resetPoints();
        return;
    }
    m_start.setValue(value);
    if (m_start.value() >= m_stop.value())
        m_start.setValue(m_stop.value() - 1);
    m_position.setValue(m_start.value());
    // While dragging, the readout shows the slider's whole second.
    m_host.showReadout(Readout::StartTime, positionText(unitsForSeconds(m_start.value())));
    m_host.refreshControls();
}

void Transport::stopSliderDragged(int value)
{
    if (!m_graph.m_loaded) {
        resetPoints();
        return;
    }
    m_stop.setValue(value);
    if (m_stop.value() == 0)
        m_stop.setValue(1);
    if (m_stop.value() < m_start.value())
        m_stop.setValue(m_start.value() + 1);
    engine().setStop(m_stop.value());
    // The stop position in force: the slider's second, or the end of the file.
    m_host.showReadout(Readout::EndTime, positionText(engine().stopUnits()));
    m_host.refreshControls();
}

void Transport::positionSliderDragged(int value)
{
    if (!m_graph.m_loaded)
        return;
    m_position.setValue(value);
    engine().seek(m_position.value());
    m_host.showReadout(Readout::CurrentTime, positionText(engine().positionUnits()));
    m_host.refreshControls();
    m_host.positionJumped();
}

void Transport::seekTo(double seconds)
{
    if (!m_graph.m_loaded)
        return;
    m_position.setValue(int(seconds));
    engine().seek(seconds);
    m_host.showReadout(Readout::CurrentTime, positionText(engine().positionUnits()));
    m_host.refreshControls();
    m_host.positionJumped();
    m_graph.keepResumePoint(true);
}

void Transport::clearPoints()
{
    m_start.setValue(0);
    m_position.setValue(0);
    m_stop.setValue(m_stop.maximum());
    m_host.refreshControls();
}

void Transport::stopHere()
{
    if (m_host.windowedView() || !m_graph.m_loaded)
        return;
    engine().setStopUnits(engine().positionUnits());
}

void Transport::playbackTick()
{
    const int period = m_host.preference(Key::UpdatePeriod);
    if (m_graph.m_playing && period != m_host.processState().periodInForce) {
        m_host.startPlaybackTimer(period);
        m_host.processState().periodInForce = period;
    }
    double seconds = 0;
    if (m_graph.m_loaded && m_graph.m_playing) {
        seconds = engine().position();
        m_seekScratch = engine().positionUnits();
        if (seconds == 0 || seconds > m_host.processState().previousTickSeconds) {
            // A stream without a duration has nothing to count down from.
            if (m_host.preference(Key::Current) == 1 && engine().durationUnits() > 0)
                m_seekScratch = engine().durationUnits() - m_seekScratch;
            m_host.showReadout(Readout::CurrentTime, positionText(m_seekScratch));
        }
        m_position.setValue(int(seconds));
        m_host.refreshControls();
        m_graph.keepResumePoint(false);
    }
    if (m_graph.m_loaded && engine().positionUnits() == engine().stopUnits()) {
        endOfPlay();
        if (m_graph.m_loaded)
            seconds = engine().position();
    }
    m_host.processState().previousTickSeconds = seconds;
}

void Transport::endOfPlay()
{
    PlayQueue *queue = m_host.playQueue();
    const bool loopFile = m_host.preference(Key::AutoLoop) != 0;
    const bool autoExit = m_host.preference(Key::AutoExit) != 0;

    // Back to the start point, stopped (the playback timer keeps running).
    auto stopAtStart = [this] {
        engine().stop();
        m_graph.m_playing = m_graph.m_paused = false;
        engine().seek(m_start.value());
        setRate(m_rate, false);
        m_position.setValue(m_start.value());
        m_host.refreshControls();
        m_host.positionJumped();
    };

    // A disc steps to its next track; a list played before it has nothing to say.
    if (m_graph.m_videoCdTrack && !(queue && queue->isActive())) {
        m_host.nextVideoCdTrack();
        return;
    }
    if (queue && queue->entryCount() == 1 && !loopFile) {
        stopAtStart();
        if (autoExit) {
            m_graph.closeMedia();
            m_host.quitProgram();
        }
    } else if (queue && queue->isActive()) {
        if (!loopFile || !m_graph.m_loaded) {
            const bool goOn = queue->advance();
            m_graph.closeMedia();
            if (!goOn && autoExit) {
                m_host.quitProgram(); // the last entry has ended and the list does not loop
                return;
            }
            if (!m_graph.openMedia())
                m_graph.m_playing = m_graph.m_paused = false;
            else if (goOn)
                play();
        } else {
            engine().seek(m_start.value());
            setRate(m_rate, false);
            m_host.positionJumped();
        }
    } else if (m_graph.m_loaded) {
        // Nothing follows: stop at the start point rather than find the end at every tick.
        stopAtStart();
    }
}
