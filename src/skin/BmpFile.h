#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Skin images come from anywhere: read only regular .bmp files of a sane size whose header
// holds together, and decode them only then. The image comes back as opaque RGB.
namespace BmpFile {

inline constexpr qint64 MaxBytes = 64 * 1024 * 1024;
inline constexpr int MaxSide = 4096;

// A null image, and the reason in why, when the file is missing, not a regular file, too
// large, or not a bitmap this player reads.
QImage load(const QString &path, QString *why = nullptr);
QImage fromData(const QByteArray &bytes, QString *why = nullptr);

// Writes a .bmp atomically; false, and the reason in why, when it could not.
bool save(const QImage &image, const QString &path, QString *why = nullptr);

} // namespace BmpFile
