#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// The record in the settings through which a later start passes its files to the running
// instance: the flag, the first file, and, when there are several, all of them.
namespace HandOff {

// Offers the files (absolute paths) in one replacement of the settings file, so that the
// running instance never sees the flag without the files.
bool offer(SettingsStore &settings, const QStringList &files);
// What a first start does to an offer left behind.
bool clear(SettingsStore &settings);
// The several files of the offer; empty when it carries one file only.
QStringList severalFiles(const SettingsStore &settings);

} // namespace HandOff
