#pragma once

#include <QString>

// A small DVD-Video volume authored once per build tree (tests/support/author-dvd.sh):
// a root menu with two buttons over two titles of two chapters each.
namespace TestDvd {

// The volume's root, holding VIDEO_TS; empty when authoring failed.
QString volume();
// A copy of the volume under name with the files given zeroed ("VIDEO_TS.IFO,VIDEO_TS.BUP").
QString damagedCopy(const QString &name, const QStringList &zeroed);

} // namespace TestDvd
