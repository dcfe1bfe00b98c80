#include "ViewGeometry.h"

#include <QGuiApplication>
#include <QScreen>

namespace ViewGeometry {

QSize virtualScreen()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->virtualGeometry().size() : QSize(1024, 768);
}

QSize scaledPicture(int scalePercent, QSize video)
{
    return {(scalePercent / 10) * (video.width() / 10), (scalePercent / 10) * (video.height() / 10)};
}

bool outsideScreen(const SavedRect &r, QSize screen)
{
    return r.left > screen.width() || r.right > screen.width() || r.top > screen.height()
           || r.bottom > screen.height() || r.left < 0 || r.top < 0 || r.right < 0 || r.bottom < 0;
}

SavedRect resetRect(QSize designSize)
{
    return {50, 50, 50 + designSize.width(), 50 + designSize.height()};
}

UndockedPlace undockedPlace(QPoint stored, QSize outer, QSize screen)
{
    const int right = stored.x() + outer.width();
    const int bottom = stored.y() + outer.height();
    if (stored.x() >= 0 && stored.y() >= 0 && right <= screen.width() && bottom <= screen.height())
        return {stored, false};
    return {QPoint(0, 0), true};
}

DockPlace dockVideo(QRect control, QSize videoOuter, int clientExtra, int screenWidth, bool onLeft,
                    bool forced)
{
    const int wv = videoOuter.width();
    if (onLeft) {
        if (control.left() - wv >= 0 || forced)
            return {QPoint(control.left() - wv + clientExtra, control.top()), std::nullopt};
        const QRect video(QPoint(0, control.top()), videoOuter);
        return {video.topLeft(), controlBeside(video, control.width(), true)};
    }
    const int right = control.left() + control.width();
    if (right + wv <= screenWidth || forced)
        return {QPoint(right, control.top()), std::nullopt};
    const QRect video(QPoint(screenWidth - wv, control.top()), videoOuter);
    return {video.topLeft(), controlBeside(video, control.width(), false)};
}

QPoint controlBeside(QRect video, int controlWidth, bool onLeft)
{
    if (onLeft)
        return {video.left() + video.width(), video.top()};
    return {video.left() - controlWidth, video.top()};
}

} // namespace ViewGeometry
