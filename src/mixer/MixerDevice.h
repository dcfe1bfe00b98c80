#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// Per-channel values of a line, left first and right second (one value on a mono line).
using MixerValues = QList<quint32>;

// The speakers line of the sound device: what the volume and balance controls are bound to.
struct MixerLine {
    int channels = 0;
    bool uniform = false; // one value for every channel
    quint32 minimum = 0;
    quint32 maximum = 0;  // 100 %
    int steps = 0;
    QString name;         // for people: the sink's description
    QString shortName;    // the sink's own name
    bool operator==(const MixerLine &) const = default;
};

// The sound device as the mixer layers see it. Reads answer from what the last report of
// the server left (no round trip); writes are queued, at most one of each kind in flight,
// and the newest value waiting is sent when the one in flight completes. A refused write
// makes the device read the server again, so whatever shows the value follows the server.
// An implementation talks to the server and reports back through the protected calls, on
// the thread this object lives on.
class MixerDevice : public QObject
{
    Q_OBJECT
public:
    enum Change { Volume = 1, Mute = 2, Line = 4 }; // Line: bound, lost or another sink
    Q_DECLARE_FLAGS(Changes, Change)
    Q_FLAG(Changes)

    explicit MixerDevice(QObject *parent = nullptr);

    bool present() const { return m_present; }
    // The bound line; channels 0 when none is.
    MixerLine speakers() const { return m_present ? m_line : MixerLine{}; }
    bool getVolume(MixerValues &values) const;
    bool getMute(bool &muted) const;
    // False when nothing is bound or the values do not fit the line.
    bool setVolume(const MixerValues &values);
    bool setMute(bool muted);

    // Writes handed to the server, for diagnostics and the benchmark.
    quint64 writesSent() const { return m_writesSent; }

Q_SIGNALS:
    void changed(MixerDevice::Changes what);

protected:
    // A report of the bound line and its values.
    void report(const MixerLine &line, const MixerValues &values, bool muted);
    // No line any more: no server, or no default sink.
    void lost();
    // The server's answer to the write last sent of that kind.
    void writeDone(Change kind, bool accepted);

    // Hand a write to the server; false when it could not even be sent.
    virtual bool sendVolume(const MixerValues &values) = 0;
    virtual bool sendMute(bool muted) = 0;
    // Ask the server for the line's values again; the answer comes as a report.
    virtual void reread() = 0;

private:
    struct Queue {
        bool inFlight = false;
        std::optional<MixerValues> waiting; // a mute waits as one value
    };
    void send(Change kind, const MixerValues &values);

    bool m_present = false;
    MixerLine m_line;
    MixerValues m_values;
    bool m_muted = false;
    Queue m_volumeQueue;
    Queue m_muteQueue;
    Changes m_refused; // told with the next report even when the values did not change
    quint64 m_writesSent = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(MixerDevice::Changes)
