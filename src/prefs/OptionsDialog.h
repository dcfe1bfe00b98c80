#pragma once

#include "Preferences.h"

#include <QDialog>
#include <QHash>

#include <span>

class QCheckBox;
class QLineEdit;
class QSlider;
class SettingsStore;

// The "Options" dialog: the preferences as check boxes and the update period as a slider.
// It edits a copy; OK writes the copy to the settings and into the running preferences,
// Cancel leaves both as they were. It owns exactly the keys of its table and writes no other
// (but the one the close-hides box must write at once).
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    enum Box { VideoCdDvd, FileVideoAudio, General };
    struct Row {
        int control;
        const char *text;
        const IntKey *key;
        Box box;
    };
    static std::span<const Row> rows();

    OptionsDialog(Preferences &live, SettingsStore &settings, QWidget *parent = nullptr);

    // Check boxes and slider by control id (tests).
    QCheckBox *box(int control) const { return m_boxes.value(control); }
    QSlider *periodSlider() const { return m_slider; }
    QLineEdit *periodText() const { return m_period; }
    const Preferences &edited() const { return m_edit; }

    // "Last Saved": the values in the settings, unsaved edits dropped.
    void loadSaved();
    // "Set Defaults": the table's defaults in the controls, nothing written.
    void setDefaults();

    void accept() override;

private:
    void showValues();
    void boxClicked(const Row &row, bool on);

    Preferences &m_live;
    SettingsStore &m_settings;
    Preferences m_edit;
    QHash<int, QCheckBox *> m_boxes;
    QSlider *m_slider = nullptr;
    QLineEdit *m_period = nullptr;
    bool m_showing = false;
};
