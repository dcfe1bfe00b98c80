#pragma once

#include "SliderModel.h"

#include <QString>
#include <QtGlobal>

class MediaEngine;
class MediaGraph;
class PlaybackHost;

// Everything that moves the loaded file in time: play, pause, stop, rewind, fast
// forward, cue and review, frame steps, jog, play speed, the start and stop points with
// their sliders, the playback tick and the end of play. Owned by the MediaGraph.
// The sliders are plain models; the control window binds its widgets to them, moves
// them on refreshControls() and reports user drags through the *Dragged calls.
class Transport
{
public:
    Transport(MediaGraph &graph, PlaybackHost &host);

    // Sliders: start point, current position, stop point (whole seconds) and speed code.
    const SliderModel &startSlider() const { return m_start; }
    const SliderModel &positionSlider() const { return m_position; }
    const SliderModel &stopSlider() const { return m_stop; }
    const SliderModel &speedSlider() const { return m_speed; }
    double rate() const { return m_rate; }

    void play();
    void playPause();
    void run();
    void pause();
    void stopPlayback();
    void rewind();
    void fastForward();
    // Half a second on or back, once per step of a held Cue or Review button.
    void cueStep();
    void reviewStep();
    void frameAdvance();
    void frameReverse();
    // Mouse wheel turn (delta in eighths of a degree, 120 a notch) while paused.
    void jog(int wheelDelta);

    // Applies a play speed; false when refused (nothing is shown then).
    bool setRate(double rate, bool moveSlider);
    // A preset speed button or key (".2" ".5" ".7" "1" "2" "5").
    void speedPreset(double rate);
    // The user moved the speed slider to a code 1..19.
    void speedSliderMoved(int code);
    void keypadPlus();
    void keypadMinus();

    void setStartPoint();
    void setStopPoint();
    void resetPoints();
    void startSliderDragged(int value);
    void stopSliderDragged(int value);
    void positionSliderDragged(int value);
    // To an exact time, as a drag of the position slider would (the desktop's controls).
    void seekTo(double seconds);
    // Eject: the start and position sliders at 0, the stop slider at its end.
    void clearPoints();
    // Right button outside the windowed view: play ends where it is.
    void stopHere();

    // Timer 1.
    void playbackTick();
    // The current position reached the stop position.
    void endOfPlay();

    // Shows the open file's frame rate on the clock display (video files only).
    void showFrameRate();
    // Position text of a position in the open file's units.
    QString positionText(qint64 units) const;

    // Sliders and readouts for a freshly opened file (called by the graph).
    void prepareForNewFile();

private:
    MediaEngine &engine() const;
    void step(double seconds);
    // The keypad's speed steps, in tenths so the rate, the slider and the readout agree.
    void keypadStep(int direction);
    qint64 unitsForSeconds(int seconds) const;

    MediaGraph &m_graph;
    PlaybackHost &m_host;
    SliderModel m_start{0, 100};
    SliderModel m_position{0, 100};
    SliderModel m_stop{0, 100};
    SliderModel m_speed{1, 19};
    double m_rate = 1.0;
    qint64 m_seekScratch = 0;
};
