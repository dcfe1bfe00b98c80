#include "ColourChooserDialog.h"

#include "ColourMath.h"
#include "ColourPickers.h"

#include <QBoxLayout>
#include <QCursor>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSpinBox>

#include <algorithm>
#include <array>

using namespace ColourMath;

namespace {

enum Field { RedField, GreenField, BlueField, HueField, SaturationField, BrightnessField };
constexpr int Fields = 6;
const char *const Names[Fields] = {"red", "green", "blue", "hue", "saturation", "brightness"};
const char *const Labels[Fields] = {"Red", "Green", "Blue", "Hue", "Saturation", "Brightness"};

// A number with spin buttons. Its edit lets any whole number through, in range or not, so
// that the dialog sees what was typed or pasted and puts it back in range itself; the
// buttons stop at the ends.
class ValueSpin : public QSpinBox
{
public:
    ValueSpin(int high, QWidget *parent) : QSpinBox(parent), m_high(high)
    {
        setRange(-99999, 99999);
        setAlignment(Qt::AlignRight);
    }

    void stepBy(int steps) override
    {
        setValue(std::clamp(value() + steps, 0, m_high));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override
    {
        StepEnabled e = StepNone;
        if (value() > 0)
            e |= StepDownEnabled;
        if (value() < m_high)
            e |= StepUpEnabled;
        return e;
    }

private:
    int m_high;
};

int &channel(Rgb &c, int field)
{
    return field == RedField ? c.red : field == GreenField ? c.green : c.blue;
}

int &component(Hsb &c, int field)
{
    return field == HueField ? c.hue : field == SaturationField ? c.saturation : c.brightness;
}

QColor qcolour(Rgb c)
{
    return QColor(c.red, c.green, c.blue);
}

} // namespace

struct ColourChooserDialog::Private {
    Rgb rgb;
    Hsb hsb;
    bool ready = false;
    bool updating = false;
    int refreshes = 0;
    CubePicker *cube = nullptr;
    WheelPicker *wheel = nullptr;
    ColourSwatch *current = nullptr;
    ColourSwatch *chosen = nullptr;
    std::array<QSpinBox *, Fields> spins{};

    int value(int field)
    {
        return field < HueField ? channel(rgb, field) : component(hsb, field);
    }

    void setRgb(Rgb c)
    {
        if (c == rgb)
            return;
        rgb = c;
        hsb = toHsb(rgb);
        refresh();
    }

    void setHsb(Hsb c)
    {
        if (c == hsb)
            return;
        hsb = c;
        rgb = toRgb(hsb);
        refresh();
    }

    void refresh()
    {
        if (updating)
            return;
        updating = true;
        ++refreshes;
        cube->setRgb(rgb);
        wheel->setHsb(hsb);
        chosen->setColour(qcolour(rgb));
        for (int f = 0; f < Fields; ++f)
            spins[f]->setValue(value(f));
        updating = false;
    }

    void edited(int field, int typed)
    {
        if (!ready || updating || typed == value(field))
            return;
        const int limited = field == HueField ? limitHue(typed) : limitChannel(typed);
        // Out of range past a value already at its end: only the edit needs putting back.
        if (limited == value(field)) {
            refresh();
            return;
        }
        if (field < HueField) {
            Rgb c = rgb;
            channel(c, field) = limited;
            setRgb(c);
        } else {
            Hsb c = hsb;
            component(c, field) = limited;
            setHsb(c);
        }
    }
};

ColourChooserDialog::ColourChooserDialog(int colourRef, QWidget *parent)
    : QDialog(parent), d(std::make_unique<Private>())
{
    setWindowTitle(QStringLiteral("Choose a colour"));
    setModal(true);
    // A parent that stays on top would otherwise hide its own dialog.
    if (!parent || (parent->window()->windowFlags() & Qt::WindowStaysOnTopHint))
        setWindowFlag(Qt::WindowStaysOnTopHint);

    d->rgb = {colourRef & 0xFF, (colourRef >> 8) & 0xFF, (colourRef >> 16) & 0xFF};
    d->hsb = toHsb(d->rgb);

    d->cube = new CubePicker(this);
    d->cube->setObjectName(QStringLiteral("rgbPicker"));
    d->cube->setRgb(d->rgb);
    d->wheel = new WheelPicker(this);
    d->wheel->setObjectName(QStringLiteral("hsbPicker"));
    d->wheel->setHsb(d->hsb);
    d->current = new ColourSwatch(this);
    d->current->setObjectName(QStringLiteral("currentColour"));
    d->current->setColour(qcolour(d->rgb));
    d->chosen = new ColourSwatch(this);
    d->chosen->setObjectName(QStringLiteral("newColour"));
    d->chosen->setColour(qcolour(d->rgb));

    QGroupBox *groups[2] = {new QGroupBox(QStringLiteral("RGB Values"), this),
                            new QGroupBox(QStringLiteral("HSB Values"), this)};
    QGridLayout *groupGrids[2] = {new QGridLayout(groups[0]), new QGridLayout(groups[1])};
    for (int f = 0; f < Fields; ++f) {
        auto *spin = new ValueSpin(f == HueField ? 359 : 255, this);
        spin->setObjectName(QLatin1String(Names[f]));
        spin->setValue(d->value(f));
        auto *label = new QLabel(QLatin1String(Labels[f]), this);
        label->setBuddy(spin);
        QGridLayout *grid = groupGrids[f / 3];
        grid->addWidget(label, f % 3, 0);
        grid->addWidget(spin, f % 3, 1);
        d->spins[f] = spin;
        connect(spin, &QSpinBox::valueChanged, this, [this, f](int v) { d->edited(f, v); });
    }

    connect(d->cube, &CubePicker::channelDragged, this, [this](int c, int v) {
        Rgb rgb = d->rgb;
        channel(rgb, c) = v;
        d->setRgb(rgb);
    });
    connect(d->wheel, &WheelPicker::hueSaturationPicked, this,
            [this](int h, int s) { d->setHsb({h, s, d->hsb.brightness}); });
    connect(d->wheel, &WheelPicker::brightnessPicked, this,
            [this](int b) { d->setHsb({d->hsb.hue, d->hsb.saturation, b}); });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *values = new QVBoxLayout;
    values->addWidget(groups[0]);
    values->addWidget(groups[1]);
    values->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(d->cube, 0, Qt::AlignTop);
    top->addWidget(d->wheel, 0, Qt::AlignTop);
    top->addLayout(values);

    auto *bottom = new QGridLayout;
    bottom->addWidget(new QLabel(QStringLiteral("Current Colour"), this), 0, 0);
    bottom->addWidget(new QLabel(QStringLiteral("New Colour"), this), 0, 1);
    bottom->addWidget(d->current, 1, 0);
    bottom->addWidget(d->chosen, 1, 1);
    bottom->setColumnStretch(2, 1);
    bottom->addWidget(buttons, 1, 3, Qt::AlignBottom);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    d->ready = true;
}

ColourChooserDialog::~ColourChooserDialog() = default;

int ColourChooserDialog::red() const { return d->rgb.red; }
int ColourChooserDialog::green() const { return d->rgb.green; }
int ColourChooserDialog::blue() const { return d->rgb.blue; }
int ColourChooserDialog::hue() const { return d->hsb.hue; }
int ColourChooserDialog::saturation() const { return d->hsb.saturation; }
int ColourChooserDialog::brightness() const { return d->hsb.brightness; }

int ColourChooserDialog::refreshCount() const
{
    return d->refreshes;
}

int ColourChooserDialog::imageBuildCount() const
{
    return d->cube->imageBuilds() + d->wheel->imageBuilds();
}

void ColourChooserDialog::setVisible(bool visible)
{
    // Placed here, at its final size: over its parent, or without one on the screen the user
    // looks at, and whole on that screen. (Qt's own placement guesses a frame where there is
    // no window manager.)
    if (visible && !isVisible()) {
        adjustSize();
        const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr;
        QScreen *screen = over ? over->screen() : QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        const QRect room = screen->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveCenter(over ? over->frameGeometry().center() : room.center());
        frame.moveLeft(std::clamp(frame.left(), room.left(), std::max(room.left(), room.right() + 1 - frame.width())));
        frame.moveTop(std::clamp(frame.top(), room.top(), std::max(room.top(), room.bottom() + 1 - frame.height())));
        move(frame.topLeft());
    }
    QDialog::setVisible(visible);
}

void ColourChooserDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    raise();
    activateWindow();
}
