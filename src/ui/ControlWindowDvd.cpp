// The DVD button: the DVD dialog, or a VideoCD when no DVD is in a drive.
#include "ControlWindow.h"
#include "app/SettingsStore.h"
#include "disc/DvdPlayerDialog.h"

void ControlWindow::playDvd()
{
    DvdPlayerDialog dvd(m_settings, m_prompt, m_dvdToggles, this);
    dvd.setAutoFullScreen(m_prefs.value(Key::DvdAutoFull));
    if (!dvd.searchForDvd() && m_videoCdFallback && m_videoCdFallback())
        return;
    dvd.exec();
}
