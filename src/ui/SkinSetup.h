#pragma once

#include <QObject>
#include <QPixmap>

#include <span>

class Prompt;
struct ProcessState;
class SettingsStore;
class SkinButton;
class QWidget;

// Which image each skin button of the control window shows: its built-in pair, or the user's
// .bmp pair kept in the settings under its key; the toggles' images for their state; the
// commands that replace or restore them; and the window's tiled background.
class SkinSetup : public QObject
{
    Q_OBJECT
public:
    // One keyed button: its settings key, its control, its built-in lit and rest images, the
    // menu command that replaces them and the reset group that clears the key (0: none).
    struct Row {
        const char *key;
        int control;
        int lit;
        int rest;
        int replaceCommand;
        int group;
    };
    // A toggle shows one image in both slots: its "on" or its "off" one.
    struct ToggleRow {
        const char *key;
        int control;
        int on;
        int off;
    };
    struct Toggles {
        bool random = false, docked = true, loopFile = false, loopList = false;
    };

    static std::span<const Row> rows();
    static std::span<const ToggleRow> toggleRows();
    static const Row *rowForCommand(int command);

    SkinSetup(QWidget &window, SettingsStore &settings, Prompt &prompt, ProcessState &process);

    // The set-up pass: every keyed button's images, the toggles' for their state, repeat,
    // transparency; at start-up also the borders and cursors. A failure resets the first group
    // and runs again, once.
    void applySkin(bool startUp, const Toggles &toggles);
    // Loads one button from its key, or its built-in pair; the result of SkinButton::setImages.
    int loadButtonImages(SkinButton *button, const char *key, int lit, int rest);
    // A toggle changed: its button shows its new state's image (the user's, when set).
    void showToggle(int control, bool on);
    // The mute button shows the sound on or off.
    void showMute(bool muted);
    // The indicator beside the balance slider leans as the slider does; with snap, a slider
    // near the middle is set to the middle (the skin pass does, a drag does not).
    void showBalance(bool snap);
    // The View menu's "Load && change ... button bmp's": two file dialogs, then the new pair.
    void changeButtonImages(int command);
    void restoreGroup(int group, const Toggles &toggles);

    // The background tile ("BackgroundBMP", else the "DefaultBackgroundBMP" preset); null
    // for no background.
    void loadBackground();
    const QPixmap &background() const { return m_background; }
    // The title image, drawn over the background.
    const QPixmap &title() const { return m_title; }
    // The background commands; true when the window must be built again to show it.
    bool chooseBackground();
    bool setPresetBackground(int preset);

private:
    SkinButton *button(int control) const;
    QImage builtin(int id);
    QString bmpDirectory() const;

    QWidget &m_window;
    SettingsStore &m_settings;
    Prompt &m_prompt;
    ProcessState &m_process;
    QPixmap m_background;
    QPixmap m_title;
};
