#pragma once
// The optical volumes the VideoCD and DVD searches look at: their mount points, in device order.
#include <QByteArray>
#include <QStringList>

namespace OpticalDrives {

// KINETROPE_OPTICAL_ROOTS (folders separated by ':') when set, for checks and disc copies;
// otherwise the optical mounts of /proc/self/mountinfo.
QStringList roots();

// The optical mount points named by a mountinfo text: type iso9660 or udf, or a /dev/sr*
// source; one per device, ordered by device. No mount is touched.
QStringList fromMountInfo(const QByteArray &mountinfo);

} // namespace OpticalDrives
