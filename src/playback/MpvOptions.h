#pragma once

#include <QStringList>

struct mpv_handle;

// libmpv as this program runs it, for the player and the open dialog's preview alike: it
// trusts no file it is given and takes no input of its own.
namespace MpvOptions {

// A started libmpv with the program's settings, then overrides ("name=value"; a bare name
// means "yes") for what one use does differently. Null when libmpv cannot start or refuses
// a setting, or when an override would loosen what a file is trusted with.
mpv_handle *create(const QStringList &overrides = {});

} // namespace MpvOptions
