#include "MprisAdaptors.h"

#include "MprisService.h"


MprisRootAdaptor::MprisRootAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service), m_service(service)
{
}

QString MprisRootAdaptor::identity() const { return QStringLiteral("Kinetrope"); }
// The desktop entry's id, without ".desktop": what the desktop shows the player with.
QString MprisRootAdaptor::desktopEntry() const { return QStringLiteral(KT_DESKTOP_ID); }
QStringList MprisRootAdaptor::supportedUriSchemes() const
{
    return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")};
}
QStringList MprisRootAdaptor::supportedMimeTypes() const { return MprisService::supportedMimeTypes(); }

void MprisRootAdaptor::Raise() { m_service->raise(); }
void MprisRootAdaptor::Quit() { m_service->quit(); }

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService *service)
    : QDBusAbstractAdaptor(service), m_service(service)
{
}

QString MprisPlayerAdaptor::playbackStatus() const { return m_service->snapshot().status; }
double MprisPlayerAdaptor::rate() const { return m_service->m_control.rate(); }
void MprisPlayerAdaptor::setRate(double rate) { m_service->setRate(rate); }
QVariantMap MprisPlayerAdaptor::metadata() const
{
    return MprisService::metadataMap(m_service->snapshot());
}

double MprisPlayerAdaptor::volume() const { return m_service->m_control.volume(); }
void MprisPlayerAdaptor::setVolume(double volume) { m_service->setVolume(volume); }

qlonglong MprisPlayerAdaptor::position() const
{
    return m_service->m_control.isLoaded() ? m_service->m_control.positionUs() : 0;
}

double MprisPlayerAdaptor::minimumRate() const { return MprisService::MinimumRate; }
double MprisPlayerAdaptor::maximumRate() const { return MprisService::MaximumRate; }
bool MprisPlayerAdaptor::canGoNext() const { return m_service->m_control.isLoaded(); }
bool MprisPlayerAdaptor::canGoPrevious() const { return m_service->m_control.isLoaded(); }
bool MprisPlayerAdaptor::canPlay() const { return m_service->m_control.isLoaded(); }
bool MprisPlayerAdaptor::canPause() const { return m_service->m_control.isLoaded(); }
bool MprisPlayerAdaptor::canSeek() const { return m_service->snapshot().canSeek; }

void MprisPlayerAdaptor::PlayPause() { m_service->playPause(); }
void MprisPlayerAdaptor::Play() { m_service->play(); }
void MprisPlayerAdaptor::Pause() { m_service->pause(); }
void MprisPlayerAdaptor::Stop() { m_service->stop(); }
void MprisPlayerAdaptor::Next() { m_service->next(); }
void MprisPlayerAdaptor::Previous() { m_service->previous(); }
void MprisPlayerAdaptor::Seek(qlonglong Offset) { m_service->seek(Offset); }

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
{
    m_service->setPosition(TrackId, Position);
}

void MprisPlayerAdaptor::OpenUri(const QString &Uri) { m_service->openUri(Uri); }
