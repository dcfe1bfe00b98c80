#include "disc/DvdNavigator.h"
#include "disc/DvdSession.h"

using namespace DvdPipeline;

QString DvdNavigator::resultText(Result r)
{
    switch (r) {
    case Result::Ok: return {};
    case Result::NotImplemented: return QStringLiteral("Method is not supported");
    case Result::Pointer: return QStringLiteral(" Out of memory (insufficient buffer space).");
    case Result::Fail: return QStringLiteral("Failure");
    case Result::Unexpected: return QStringLiteral("DVD is not initialized, or domain is not DVD_DOMAIN_Title");
    case Result::Inhibited: return QStringLiteral("Requested action inhibited.");
    case Result::NotSupported: return QStringLiteral("Requested action is not supported");
    case Result::OutOfMemory: return QStringLiteral(" Out of memory (insufficient buffer space).");
    case Result::InvalidArg: return QStringLiteral("Input argument is invalid");
    }
    return {};
}

bool DvdNavigator::softwareInstalled()
{
    if (!startGStreamer())
        return false;
    for (const char *name : {"rsndvdbin", "dvdspu", "videoconvert", "appsink", "queue"}) {
        if (!haveElement(name))
            return false;
    }
    return true;
}

DvdNavigator::DvdNavigator(QObject *parent) : QObject(parent)
{
    m_prerollTimer.setSingleShot(true);
    m_prerollTimer.setInterval(PrerollTimeoutMs);
    connect(&m_prerollTimer, &QTimer::timeout, this, [this] {
        if (building())
            buildFailed(QStringLiteral("The DVD did not start within %1 seconds.").arg(PrerollTimeoutMs / 1000));
    });
    m_pollTimer.setInterval(PollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, [this] {
        if (m_session)
            m_session->post([s = m_session] { s->poll(); });
    });
    m_reverseTimer.setInterval(ReverseStepMs);
    connect(&m_reverseTimer, &QTimer::timeout, this, [this] {
        if (m_session && !m_session->stepQueued.exchange(true))
            m_session->post([s = m_session, r = m_reverseRate] { s->stepBack(r); });
    });
}

DvdNavigator::~DvdNavigator()
{
    release();
}

void DvdNavigator::build(const QString &device)
{
    release();
    if (!startGStreamer()) {
        buildFailed(QStringLiteral("DVD software not installed properly."));
        return;
    }
    m_device = device;
    m_state = State::Building;
    m_session = std::make_shared<Session>();
    m_session->receiver = this;
    m_session->post([s = m_session, device] { s->open(device); });
    m_prerollTimer.start();
}

void DvdNavigator::release()
{
    m_prerollTimer.stop();
    m_pollTimer.stop();
    stopReverse();
    m_state = State::Idle;
    m_title = m_chapter = -1;
    m_position = 0;
    if (!m_session)
        return;
    m_session->detach();
    m_session->post([s = m_session] { s->closePipeline(); });
    m_session.reset();
}

void DvdNavigator::buildFailed(const QString &text)
{
    release();
    Q_EMIT failed(text);
}

void DvdNavigator::handleMessage(int kind, const QString &text)
{
    switch (kind) {
    case Prerolled:
        if (building()) {
            m_prerollTimer.stop();
            m_state = State::Ready;
            m_pollTimer.start();
            m_session->post([s = m_session] { s->poll(); });
            Q_EMIT built();
        }
        break;
    case Error:
        if (building()) {
            buildFailed(text);
        } else if (ready()) {
            release();
            Q_EMIT errorWhilePlaying(text);
        }
        break;
    case NoVideoDecoder:
        if (building()) {
            release();
            Q_EMIT decoderMissing();
        }
        break;
    default: break;
    }
}

DvdNavigator::Result DvdNavigator::needDisc() const
{
    return ready() ? Result::Ok : Result::Unexpected;
}

void DvdNavigator::stopReverse()
{
    m_reverseTimer.stop();
    if (m_session)
        m_session->post([s = m_session] { s->reverseTarget = -1; });
}

DvdNavigator::Result DvdNavigator::setRoot(const QString &device)
{
    const QFileInfo info(device);
    if (!info.exists())
        return Result::InvalidArg;
    if (info.isDir() && !QDir(device).entryList(QDir::Files).contains(QStringLiteral("VIDEO_TS.IFO"), Qt::CaseInsensitive))
        return Result::InvalidArg;
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::parentalLevelSelect(int level)
{
    if (level < 1 || level > 8)
        return Result::InvalidArg;
    return needDisc();
}

DvdNavigator::Result DvdNavigator::run()
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    m_session->post([s = m_session] { s->setState(GST_STATE_PLAYING); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::pause()
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    stopReverse();
    m_session->post([s = m_session] { s->setState(GST_STATE_PAUSED); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::stop()
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    stopReverse();
    // Ready: the disc starts again from its beginning on the next run.
    m_session->post([s = m_session] { s->setState(GST_STATE_READY); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::forwardScan(double rate)
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    if (rate <= 0)
        return Result::InvalidArg;
    stopReverse();
    m_session->post([s = m_session, rate] { s->seekRate(rate); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::backwardScan(double rate)
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    if (rate <= 0)
        return Result::InvalidArg;
    if (m_title == 0)
        return Result::Inhibited; // a menu has no time to go back in
    stopReverse();
    m_reverseRate = rate;
    m_reverseTimer.start();
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::playPrevChapter()
{
    if (!ready() || m_title < 1)
        return Result::Unexpected;
    stopReverse();
    m_session->post([s = m_session] { s->stepChapter(-1); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::playNextChapter()
{
    if (!ready() || m_title < 1)
        return Result::Unexpected;
    stopReverse();
    m_session->post([s = m_session] { s->stepChapter(+1); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::resume()
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    // From a title the same command would open its menu instead.
    if (m_title != 0)
        return Result::Inhibited;
    m_session->post([s = m_session] { s->navigate(gst_navigation_event_new_command(GST_NAVIGATION_COMMAND_DVD_MENU)); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::rootMenu()
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    stopReverse();
    m_session->post(
        [s = m_session] { s->navigate(gst_navigation_event_new_command(GST_NAVIGATION_COMMAND_DVD_ROOT_MENU)); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::mouseSelect(QPointF p)
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    m_session->post([s = m_session, p] { s->navigate(gst_navigation_event_new_mouse_move(p.x(), p.y(), GST_NAVIGATION_MODIFIER_NONE)); });
    return Result::Ok;
}

DvdNavigator::Result DvdNavigator::mouseActivate(QPointF p)
{
    if (const Result r = needDisc(); r != Result::Ok)
        return r;
    m_session->post([s = m_session, p] {
        s->navigate(gst_navigation_event_new_mouse_button_press(1, p.x(), p.y(), GST_NAVIGATION_MODIFIER_NONE));
        s->navigate(gst_navigation_event_new_mouse_button_release(1, p.x(), p.y(), GST_NAVIGATION_MODIFIER_NONE));
        s->poll();
    });
    return Result::Ok;
}

QImage DvdNavigator::frame() const
{
    if (!m_session)
        return {};
    std::lock_guard g(m_session->lock);
    return m_session->frame;
}

quint64 DvdNavigator::frameCount() const
{
    if (!m_session)
        return 0;
    std::lock_guard g(m_session->lock);
    return m_session->frames;
}

double DvdNavigator::displayAspect() const
{
    if (!m_session)
        return 4.0 / 3.0;
    std::lock_guard g(m_session->lock);
    return m_session->aspect;
}

double DvdNavigator::rate() const
{
    if (!m_session)
        return 1.0;
    std::lock_guard g(m_session->lock);
    return m_session->rate;
}

double DvdNavigator::frameTime() const
{
    if (!m_session)
        return -1;
    std::lock_guard g(m_session->lock);
    return m_session->frameTime;
}
