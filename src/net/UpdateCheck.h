#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class Connectivity;
class Prompt;
class QNetworkAccessManager;
class QNetworkReply;
class SettingsStore;

// Asks the update server for the newest version and, when it is newer than ours, offers the
// download page. Runs on the event loop (the window never waits on the network); one check at
// a time. A visible check tells its progress and its result; an invisible one only offers.
class UpdateCheck : public QObject
{
    Q_OBJECT
public:
    static constexpr int OwnVersion = 332; // version x 100
    static constexpr int ReadLimit = 1024;
    static constexpr int MessageLimit = 1021;
    static constexpr int DefaultTimeoutMs = 15000;
    enum class Result { NoConnection, UpToDate, Declined, Opened, Aborted };

    UpdateCheck(SettingsStore &settings, Prompt &prompt, Connectivity &connectivity, QObject *parent = nullptr);
    ~UpdateCheck() override;

    // False, and nothing starts, while a check runs.
    bool start(bool visible);
    bool busy() const { return m_busy; }
    // 1 once a check reached the server; 0 after a failure, a declined offer or a failed
    // browser start; -1 before any check.
    int reached() const { return m_reached; }
    int downloadStarted() const { return m_downloadStarted; }
    // The timer's retry: only while the last check did not get through.
    bool wantsRetry() const { return !m_busy && (m_reached != 1 || m_downloadStarted == -1); }

    // Each file's whole answer must come within this; shorter for tests of slow servers.
    void setTimeout(int ms) { m_timeoutMs = ms; }
    int timeout() const { return m_timeoutMs; }
    // Bytes of the last file's answer that were read and kept.
    qsizetype bytesKept() const { return m_buffer.size(); }

    // The server's texts as the check reads them.
    static bool versionOf(const QByteArray &text, int *version);
    static QString messageOf(const QByteArray &text);
    QString host() const;
    QString url(const char *file) const;

Q_SIGNALS:
    // For the clock display while a visible check runs.
    void progress(const QString &text);
    void finished(Result result);

private:
    void fetch(const char *file, bool version);
    void fetched(QNetworkReply *reply, bool version);
    void decide();
    void finish(Result result);

    SettingsStore &m_settings;
    Prompt &m_prompt;
    Connectivity &m_connectivity;
    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_buffer;
    bool m_busy = false;
    bool m_visible = false;
    int m_reached = -1;
    int m_downloadStarted = -1;
    int m_version = 0;
    int m_timeoutMs = DefaultTimeoutMs;
    QString m_message;
};
