#include "OptionsDialog.h"

#include "app/SettingsStore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

using B = OptionsDialog::Box;

constexpr OptionsDialog::Row Rows[] = {
    {1024, "Play the bumper on a VideoCD", &Key::Preferences, B::VideoCdDvd},
    {1025, "Prompt on finding a VideoCD", &Key::AskSearchPref, B::VideoCdDvd},
    {1031, "Auto Play VideoCD on launch", &Key::AutoPlayVcd, B::VideoCdDvd},
    {1034, "DVD auto Full Screen", &Key::DvdAutoFull, B::VideoCdDvd},
    {1043, "Prompt on finding a DVD", &Key::AskSearchDVD, B::VideoCdDvd},
    {1028, "Auto Play", &Key::AutoDropPlay, B::FileVideoAudio},
    {1032, "Auto Full Screen ", &Key::AutoFull, B::FileVideoAudio},
    {1050, "Auto pause when minimized", &Key::AutoPause, B::FileVideoAudio},
    {1054, "Auto eject when minimized", &Key::EjectOnMinimize, B::FileVideoAudio},
    {1038, "Open video window on left", &Key::OpenOnLeft, B::FileVideoAudio},
    {1055, "Show subtitles automatically", &Key::AutoSubtitles, B::FileVideoAudio},
    {1056, "Use hardware video decoding", &Key::HardwareDecoding, B::FileVideoAudio},
    {1057, "Resume files where they were left", &Key::ResumePlayback, B::FileVideoAudio},
    {1027, "Disable splash window", &Key::SplashDisable, B::General},
    {1033, "Auto Exit on end of play", &Key::AutoExit, B::General},
    {1035, "Allow multiple instances", &Key::MultipleInstance, B::General},
    {1036, "Remember window co-ords", &Key::RememberCoords, B::General},
    {1040, "Remember window size", &Key::RememberSize, B::General},
    {1039, "ESC Key exits program", &Key::EscFunction, B::General},
    {1045, "Use 24 hour time format", &Key::Hour24Format, B::General},
    {1048, "Use American Date format", &Key::USDateFormat, B::General},
    {1046, "Square Corners in main dialog", &Key::SquareCorners, B::General},
    {1047, "Control window always on top", &Key::AlwaysOnTop, B::General},
    {1051, "Notify me of program updates", &Key::AutoUpdateNotification, B::General},
    {1052, "Close hides control window", &Key::CloseHides, B::General},
    {1053, "Double click to pause", &Key::MiddleDouble, B::General},
};

constexpr int AutoPauseBox = 1050;
constexpr int AutoEjectBox = 1054;
constexpr int CloseHidesBox = 1052;

} // namespace

std::span<const OptionsDialog::Row> OptionsDialog::rows()
{
    return Rows;
}

OptionsDialog::OptionsDialog(Preferences &live, SettingsStore &settings, QWidget *parent)
    : QDialog(parent), m_live(live), m_settings(settings), m_edit(live)
{
    setObjectName(QStringLiteral("136"));
    setWindowTitle(QStringLiteral("Options"));
    QGroupBox *boxes[] = {new QGroupBox(QStringLiteral("VideoCD / DVD Options"), this),
                          new QGroupBox(QStringLiteral("File/Video/Audio Options"), this),
                          new QGroupBox(QStringLiteral("General Options"), this)};
    QVBoxLayout *boxLayouts[3];
    for (int i = 0; i < 3; ++i)
        boxLayouts[i] = new QVBoxLayout(boxes[i]);
    for (const Row &row : Rows) {
        auto *c = new QCheckBox(QString::fromLatin1(row.text), boxes[row.box]);
        c->setObjectName(QString::number(row.control));
        boxLayouts[row.box]->addWidget(c);
        connect(c, &QCheckBox::clicked, this, [this, &row](bool on) { boxClicked(row, on); });
        m_boxes.insert(row.control, c);
    }
    for (QVBoxLayout *l : boxLayouts)
        l->addStretch(1);

    auto *period = new QGroupBox(QStringLiteral("Time Clocks Update Period"), this);
    m_slider = new QSlider(Qt::Horizontal, period);
    m_slider->setObjectName(QStringLiteral("1029"));
    m_slider->setRange(Preferences::MinUpdatePeriod, Preferences::MaxUpdatePeriod);
    m_slider->setPageStep(1);
    m_period = new QLineEdit(period);
    m_period->setObjectName(QStringLiteral("1030"));
    m_period->setReadOnly(true);
    m_period->setMaximumWidth(48);
    auto *periodLayout = new QGridLayout(period);
    periodLayout->addWidget(new QLabel(QStringLiteral("Fast 40ms"), period), 0, 0);
    periodLayout->addWidget(m_slider, 0, 1);
    periodLayout->addWidget(new QLabel(QStringLiteral("Slow 500ms"), period), 0, 2);
    periodLayout->addWidget(m_period, 0, 3);
    connect(m_slider, &QSlider::valueChanged, this, [this](int v) {
        if (m_showing)
            return;
        m_edit.set(Key::UpdatePeriod, v);
        m_period->setText(QString::number(v));
    });

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton *saved = buttons->addButton(QStringLiteral("Last Saved"), QDialogButtonBox::ResetRole);
    QPushButton *defaults = buttons->addButton(QStringLiteral("Set Defaults"), QDialogButtonBox::ResetRole);
    ok->setObjectName(QStringLiteral("1"));
    cancel->setObjectName(QStringLiteral("2"));
    saved->setObjectName(QStringLiteral("5"));
    defaults->setObjectName(QStringLiteral("3"));
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::reject);
    connect(saved, &QPushButton::clicked, this, &OptionsDialog::loadSaved);
    connect(defaults, &QPushButton::clicked, this, &OptionsDialog::setDefaults);

    auto *grid = new QGridLayout(this);
    grid->addWidget(boxes[B::VideoCdDvd], 0, 0);
    grid->addWidget(boxes[B::FileVideoAudio], 1, 0);
    grid->addWidget(boxes[B::General], 0, 1, 3, 1);
    grid->addWidget(period, 2, 0);
    grid->addWidget(new QLabel(QStringLiteral("These settings will be automatically saved when OK is selected"), this),
                    3, 0, 1, 2);
    grid->addWidget(buttons, 4, 0, 1, 2);
    showValues();
    ok->setDefault(true);
    ok->setFocus();
}

void OptionsDialog::showValues()
{
    m_showing = true;
    // Any value but 0 is set, as the player reads it.
    for (const Row &row : Rows)
        m_boxes.value(row.control)->setChecked(m_edit.isOn(*row.key));
    m_slider->setValue(m_edit.updatePeriod());
    m_period->setText(QString::number(m_edit.updatePeriod()));
    m_showing = false;
}

void OptionsDialog::boxClicked(const Row &row, bool on)
{
    m_edit.set(*row.key, on ? 1 : 0);
    // Pausing and ejecting on hiding exclude each other.
    if (on && row.control == AutoPauseBox)
        m_edit.set(Key::EjectOnMinimize, 0);
    else if (on && row.control == AutoEjectBox)
        m_edit.set(Key::AutoPause, 0);
    // Whoever chose how closing behaves is never asked again, even if this dialog is cancelled.
    if (row.control == CloseHidesBox) {
        m_settings.write(Key::AskExitQuestion, 1);
        m_live.set(Key::AskExitQuestion, 1);
    }
    showValues();
}

void OptionsDialog::loadSaved()
{
    Preferences stored;
    stored.load(m_settings);
    for (const Row &row : Rows)
        m_edit.set(*row.key, stored.value(*row.key));
    m_edit.set(Key::UpdatePeriod, stored.updatePeriod());
    showValues();
}

void OptionsDialog::setDefaults()
{
    for (const Row &row : Rows)
        m_edit.set(*row.key, row.key->def);
    m_edit.set(Key::UpdatePeriod, Key::UpdatePeriod.def);
    showValues();
}

void OptionsDialog::accept()
{
    // Only this dialog's own keys: a value another part wrote meanwhile is not overwritten.
    for (const Row &row : Rows) {
        const int v = m_boxes.value(row.control)->isChecked() ? 1 : 0;
        m_live.set(*row.key, v);
        m_settings.write(*row.key, v);
    }
    m_live.set(Key::UpdatePeriod, m_slider->value());
    m_settings.write(Key::UpdatePeriod, m_slider->value());
    QDialog::accept();
}
