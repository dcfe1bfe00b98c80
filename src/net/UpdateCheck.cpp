#include "UpdateCheck.h"

#include "Connectivity.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <climits>

namespace {
const char *const Folder = "//ftp";
const char *const VersionFile = "//fullversion.txt";
const char *const MessageFile = "//fullmessage.txt";
} // namespace

UpdateCheck::UpdateCheck(SettingsStore &settings, Prompt &prompt, Connectivity &connectivity, QObject *parent)
    : QObject(parent), m_settings(settings), m_prompt(prompt), m_connectivity(connectivity),
      m_network(new QNetworkAccessManager(this))
{
}

UpdateCheck::~UpdateCheck()
{
    // Closing mid-check: the request goes, and no box comes after.
    m_visible = false;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

QString UpdateCheck::host() const
{
    return m_settings.read(Key::UpdateServerHost).trimmed();
}

QString UpdateCheck::url(const char *file) const
{
    return QStringLiteral("http://%1%2/%3").arg(host(), QLatin1String(Folder), QLatin1String(file));
}

bool UpdateCheck::versionOf(const QByteArray &text, int *version)
{
    // As atoi reads it: blanks, a sign, digits; but a text with no digits is no answer, and
    // a number too large for an int stops at its largest.
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const qsizetype first = i;
    qint64 n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        n = std::min<qint64>(n * 10 + (text[i] - '0'), qint64(INT_MAX) + 1);
    if (i == first)
        return false;
    *version = negative ? int(std::max<qint64>(-n, INT_MIN)) : int(std::min<qint64>(n, INT_MAX));
    return true;
}

QString UpdateCheck::messageOf(const QByteArray &text)
{
    const qsizetype nul = text.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? text : text.left(nul)).left(MessageLimit);
}

bool UpdateCheck::start(bool visible)
{
    if (m_busy)
        return false;
    m_busy = true;
    m_visible = visible;
    if (visible)
        Q_EMIT progress(QStringLiteral("Attempting an internet Connection. . .  "));
    if (host().isEmpty() || !m_connectivity.canReach(host())) {
        if (visible)
            Q_EMIT progress(QStringLiteral(" No connection available. . .  "));
        m_reached = 0;
        m_downloadStarted = 0;
        finish(Result::NoConnection);
        return true;
    }
    if (visible)
        Q_EMIT progress(QStringLiteral("Internet connection established. . .  "));
    fetch(VersionFile, true);
    return true;
}

void UpdateCheck::fetch(const char *file, bool version)
{
    QNetworkRequest request{QUrl(url(file))};
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Kinetrope"));
    request.setRawHeader("Accept-Encoding", "identity");
    // A connection of its own per file: a kept-alive one that the server dropped would make
    // Qt send the request a second time.
    request.setRawHeader("Connection", "close");
    // Always the server's own copy, never one kept on the way.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(3);
    m_buffer.clear();
    QNetworkReply *reply = m_network->get(request);
    // A time for the whole answer, not for the gap between two bytes: a server that trickles
    // a byte now and then would hold the check for hours.
    QTimer::singleShot(m_timeoutMs, reply, [reply] {
        if (reply->isRunning())
            reply->abort();
    });
    // Nothing past the first kilobyte is kept, nor read off the network.
    reply->setReadBufferSize(ReadLimit);
    m_reply = reply;
    reply->setProperty("full", false);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        m_buffer += reply->read(ReadLimit - m_buffer.size());
        // The first kilobyte is all there is to read; the rest is never fetched.
        if (m_buffer.size() >= ReadLimit) {
            reply->setProperty("full", true);
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, version] { fetched(reply, version); });
}

void UpdateCheck::fetched(QNetworkReply *reply, bool version)
{
    reply->deleteLater();
    m_reply = nullptr;
    // An aborted reply is closed; what it had is in the buffer already.
    if (!reply->property("full").toBool() && reply->isOpen())
        m_buffer += reply->read(ReadLimit - m_buffer.size());
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = (reply->error() == QNetworkReply::NoError || reply->property("full").toBool())
                    && status >= 200 && status < 300;
    // An unreachable server or a missing file is no answer, not "up to date".
    if (!ok || (version && !versionOf(m_buffer, &m_version))) {
        m_reached = 0;
        m_downloadStarted = 0;
        finish(Result::NoConnection);
        return;
    }
    if (version) {
        fetch(MessageFile, false);
        return;
    }
    m_message = messageOf(m_buffer);
    decide();
}

void UpdateCheck::decide()
{
    const double newest = m_version * 0.01;
    if (m_version <= OwnVersion) {
        m_reached = 1;
        m_downloadStarted = 0;
        finish(Result::UpToDate);
        return;
    }
    PromptMessage offer;
    offer.caption = QString::asprintf("Get Kinetrope V%.2f now?", newest);
    offer.text = m_message + QStringLiteral("\r\r")
                 + QString::asprintf("Version %.2f of Kinetrope is available\rDo you want to download it now?\r", newest);
    offer.buttons = PromptKind::YesNo;
    offer.icon = PromptKind::Question;
    offer.plainText = true;
    offer.onTop = true;
    if (m_prompt.message(offer) != PromptKind::AnswerYes) {
        m_reached = 1;
        m_downloadStarted = 0;
        finish(Result::Declined);
        return;
    }
    m_reached = 1;
    m_downloadStarted = 1;
    const bool opened =
        QDesktopServices::openUrl(QUrl(QStringLiteral("http://%1/download/full/kinetrope.asp").arg(host())));
    if (!opened)
        m_reached = 0;
    finish(opened ? Result::Opened : Result::NoConnection);
}

void UpdateCheck::finish(Result result)
{
    if (m_visible) {
        auto tell = [this](const char *text, const char *caption) {
            m_prompt.message({QString::fromLatin1(text), QString::fromLatin1(caption), PromptKind::Ok,
                              PromptKind::Information, false, true});
        };
        switch (result) {
        case Result::NoConnection:
            m_reached = 0;
            tell("Kinetrope could not establish an internet connection!", "No Connection?");
            break;
        case Result::UpToDate:
            tell("Your current version is up to date.", "You're up to date!");
            break;
        case Result::Declined:
            m_reached = 0;
            tell("Update request cancelled.", "Cancellation");
            break;
        case Result::Opened:
        case Result::Aborted:
            break;
        }
    }
    m_busy = false;
    Q_EMIT finished(result);
}
