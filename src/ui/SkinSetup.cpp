#include "SkinSetup.h"

#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "skin/BmpFile.h"
#include "skin/BuiltinImages.h"
#include "skin/SkinButton.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QAbstractSlider>
#include <QSignalBlocker>
#include <QWidget>

namespace {

namespace K = Key::ButtonImage;

// In the order the set-up pass loads them.
constexpr SkinSetup::Row Rows[] = {
    {K::DropQueue, 16, 316, 317, 0, 0},
    {K::Minimal, 1023, 228, 254, 32813, 2},
    {K::Compact, 1024, 229, 253, 32812, 2},
    {K::FullScreen, 1018, 181, 263, 32806, 2},
    {K::FillScreen, 1061, 188, 264, 32807, 2},
    {K::Size50, 1093, 178, 268, 32811, 2},
    {K::NumTotal, 1108, 318, 319, 0, 1},
    {K::Current, 1095, 324, 323, 0, 1},
    {K::Remain, 1109, 321, 320, 0, 1},
    {K::Size200, 1101, 180, 266, 32809, 2},
    {K::Size300, 1102, 187, 267, 32808, 2},
    {K::Size100, 1100, 179, 265, 32810, 2},
    {K::Play, 1105, 141, 252, 32798, 1},
    {K::FrameForward, 11, 245, 255, 32818, 1},
    {K::FrameBack, 10, 246, 256, 32819, 1},
    {K::Cue, 8, 151, 258, 32804, 1},
    {K::Review, 6, 148, 260, 32803, 1},
    {K::Open, 1021, 154, 249, 32805, 1},
    {K::EditPlaylist, 1022, 247, 269, 32820, 0},
    {K::Stop, 3, 143, 257, 32800, 1},
    {K::Rewind, 5, 147, 261, 32801, 1},
    {K::FastForward, 7, 152, 259, 32802, 1},
    {K::Eject, 4, 149, 262, 32815, 1},
    {K::VideoCd, 1028, 159, 251, 32816, 1},
    {K::Dvd, 1029, 233, 250, 32817, 1},
    {K::Exit, 9, 282, 283, 0, 2},
    {K::StatusArea, 12, 281, 284, 0, 2},
    {K::Update, 14, 308, 307, 32838, 0},
};

constexpr SkinSetup::ToggleRow ToggleRows[] = {
    {K::Random, 15, 315, 314},
    {K::Dock, 13, 297, 298},
    {K::LoopFile, 1019, 287, 289},
    {K::LoopList, 1114, 285, 286},
};

// Exactly the keys each reset clears, in its order.
constexpr const char *Group1[] = {K::Play, K::FrameForward, K::FrameBack, K::Cue, K::Review, K::Open,
                                  K::Stop, K::Eject, K::Rewind, K::FastForward, K::VideoCd, K::Dvd,
                                  K::Dock, K::RandomReset, K::NumTotal, K::Remain, K::Current};
constexpr const char *Group2[] = {K::Minimal, K::Compact, K::FullScreen, K::FillScreen, K::Size50, K::Size200,
                                  K::Size300, K::Size100, K::Exit, K::StatusArea, K::Blank};

// The buttons that keep their edge: the toggles and the text buttons.
constexpr int Bordered[] = {15, 13, 1019, 1114, 1015, 1014, 1017, 1047, 1048, 1050, 1044, 1045, 1046};
constexpr int HandCursor[] = {1105, 11, 10, 1074, 1028, 1029, 8, 6, 1021, 1022, 3, 5, 7, 1015, 1014, 1017, 1048,
                              1047, 1050, 1045, 1044, 1046, 1093, 1100, 1101, 1102, 1061, 1024, 1023, 1018, 1108,
                              1109, 1095};
constexpr int DropQueueControl = 16;
constexpr int MuteControl = 1074;
constexpr int VolumeWedge = 1098;
constexpr int BalanceIndicator = 1099;
constexpr int BalanceSlider = 1056;

const QString BitmapError = QStringLiteral("Error loading bitmap, or bitmap not compatible");

QString mouseOverKey(const char *key)
{
    return QString::fromLatin1(key) + QLatin1String(Key::MouseOverSuffix);
}

} // namespace

std::span<const SkinSetup::Row> SkinSetup::rows() { return Rows; }
std::span<const SkinSetup::ToggleRow> SkinSetup::toggleRows() { return ToggleRows; }

const SkinSetup::Row *SkinSetup::rowForCommand(int command)
{
    for (const Row &r : Rows) {
        if (r.replaceCommand == command)
            return &r;
    }
    return nullptr;
}

SkinSetup::SkinSetup(QWidget &window, SettingsStore &settings, Prompt &prompt, ProcessState &process)
    : QObject(&window), m_window(window), m_settings(settings), m_prompt(prompt), m_process(process)
{
    m_title = SkinButton::keyed(builtin(293));
}

SkinButton *SkinSetup::button(int control) const
{
    return m_window.findChild<SkinButton *>(QString::number(control), Qt::FindDirectChildrenOnly);
}

QImage SkinSetup::builtin(int id)
{
    // Every skin pass and toggle asks again; drawing them is what a restart would wait on.
    const qreal ratio = std::max<qreal>(1, m_window.devicePixelRatioF());
    const auto [it, fresh] = m_process.builtinImages.try_emplace({id, ratio});
    if (fresh)
        it->second = BuiltinImages::image(id, ratio);
    return it->second;
}

int SkinSetup::loadButtonImages(SkinButton *b, const char *key, int lit, int rest)
{
    if (!b)
        return 0; // not on this window (yet)
    const QString litPath = m_settings.getProfileString(Key::Section, QString::fromLatin1(key), QString());
    QImage litImage, restImage;
    if (!litPath.isEmpty()) {
        litImage = BmpFile::load(litPath);
        restImage = BmpFile::load(m_settings.getProfileString(Key::Section, mouseOverKey(key), QString()));
    }
    // A stored image that cannot be read (gone, damaged) gives way to the built-in pair.
    if (litImage.isNull()) {
        litImage = builtin(lit);
        restImage = builtin(rest);
    }
    const int result = b->setImages(litImage, restImage);
    if (result != 0)
        m_prompt.message({BitmapError, QCoreApplication::applicationName(), PromptKind::Ok, PromptKind::NoIcon});
    return result;
}

void SkinSetup::applySkin(bool startUp, const Toggles &toggles)
{
    const bool states[] = {toggles.random, toggles.docked, toggles.loopFile, toggles.loopList};
    for (const Row &r : Rows) {
        if (loadButtonImages(button(r.control), r.key, r.lit, r.rest) != 0) {
            // The failing pair goes first, so that the next pass cannot fail on it again.
            m_settings.write(StringKey{r.key, ""}, QString());
            m_settings.writeProfileString(Key::Section, mouseOverKey(r.key), QString());
            restoreGroup(1, toggles);
            return;
        }
    }
    for (size_t i = 0; i < std::size(ToggleRows); ++i) {
        const ToggleRow &t = ToggleRows[i];
        const int id = states[i] ? t.on : t.off;
        if (loadButtonImages(button(t.control), t.key, id, id) != 0) {
            m_settings.write(StringKey{t.key, ""}, QString());
            restoreGroup(1, toggles);
            return;
        }
    }
    if (SkinButton *wedge = button(VolumeWedge))
        wedge->setImages(builtin(231), builtin(231));
    showBalance(true);
    for (SkinButton *b : m_window.findChildren<SkinButton *>(QString(), Qt::FindDirectChildrenOnly))
        b->makeTransparent(true);
    if (!startUp)
        return;
    for (SkinButton *b : m_window.findChildren<SkinButton *>(QString(), Qt::FindDirectChildrenOnly)) {
        const int id = b->objectName().toInt();
        b->setHoverBorder(std::find(std::begin(Bordered), std::end(Bordered), id) != std::end(Bordered));
    }
    for (int id : HandCursor) {
        if (SkinButton *b = button(id))
            b->setCursor(Qt::PointingHandCursor);
    }
    if (SkinButton *b = button(DropQueueControl))
        b->setCursor(Qt::DragCopyCursor);
}

void SkinSetup::showToggle(int control, bool on)
{
    for (const ToggleRow &t : ToggleRows) {
        if (t.control == control) {
            const int id = on ? t.on : t.off;
            loadButtonImages(button(control), t.key, id, id);
            return;
        }
    }
}

void SkinSetup::showMute(bool muted)
{
    if (SkinButton *b = button(MuteControl)) {
        const QImage image = builtin(muted ? 199 : 198);
        b->setImages(image, image);
    }
}

void SkinSetup::showBalance(bool snap)
{
    SkinButton *indicator = button(BalanceIndicator);
    auto *slider = m_window.findChild<QAbstractSlider *>(QString::number(BalanceSlider), Qt::FindDirectChildrenOnly);
    if (!indicator || !slider)
        return;
    const int width = slider->maximum() - slider->minimum();
    const int centre = width / 2, tolerance = std::abs(width) / 10;
    const int position = std::abs(slider->value());
    int image = 244;
    if (centre - tolerance < position && position < centre + tolerance) {
        // Only shown there: a move of the user's is what writes the balance.
        if (snap && !slider->isSliderDown()) {
            const QSignalBlocker quiet(slider);
            slider->setValue(centre);
        }
        image = 232;
    } else if (position < centre - tolerance) {
        image = 243;
    }
    indicator->setImages(builtin(image), builtin(image));
}

QString SkinSetup::bmpDirectory() const
{
    const QString dir = m_settings.read(Key::LastBMPDirectory);
    return dir.isEmpty() || !QFileInfo(dir).isDir() ? QDir::homePath() : dir;
}

void SkinSetup::changeButtonImages(int command)
{
    const Row *row = rowForCommand(command);
    if (!row)
        return;
    FileDialogRequest r;
    r.mode = FileDialogRequest::OpenOne;
    r.directory = bmpDirectory();
    r.filters = {QStringLiteral("Bitmap Files (*.bmp)")};
    r.defaultSuffix = QStringLiteral("bmp");
    r.title = QStringLiteral("Select a MAIN BMP for the button (32x19 See instruct.htm)");
    const FileDialogResult lit = m_prompt.fileDialog(r);
    if (!lit.accepted || lit.files.isEmpty())
        return;
    r.directory = QFileInfo(lit.files.first()).absolutePath();
    r.title = QStringLiteral("Select a MOUSE OVER BMP for the button (32x19 See instruct.htm)");
    const FileDialogResult rest = m_prompt.fileDialog(r);
    if (!rest.accepted || rest.files.isEmpty())
        return;
    // Both are read before anything is stored: a file that fails leaves the old pair and keys.
    const QImage litImage = BmpFile::load(lit.files.first());
    const QImage restImage = BmpFile::load(rest.files.first());
    if (litImage.isNull() || restImage.isNull()) {
        m_prompt.message({BitmapError, QCoreApplication::applicationName(), PromptKind::Ok, PromptKind::NoIcon});
        return;
    }
    m_settings.write(StringKey{row->key, ""}, lit.files.first());
    m_settings.writeProfileString(Key::Section, mouseOverKey(row->key), rest.files.first());
    m_settings.write(Key::LastBMPDirectory, QFileInfo(rest.files.first()).absolutePath());
    if (SkinButton *b = button(row->control); b && b->setImages(litImage, restImage) != 0) {
        m_prompt.message({BitmapError, QCoreApplication::applicationName(), PromptKind::Ok, PromptKind::NoIcon});
        m_settings.write(StringKey{row->key, ""}, QString());
        m_settings.writeProfileString(Key::Section, mouseOverKey(row->key), QString());
        loadButtonImages(b, row->key, row->lit, row->rest);
    }
    m_window.update();
}

void SkinSetup::restoreGroup(int group, const Toggles &toggles)
{
    const std::span<const char *const> keys = group == 1 ? std::span<const char *const>(Group1)
                                                          : std::span<const char *const>(Group2);
    for (const char *key : keys)
        m_settings.write(StringKey{key, ""}, QString());
    applySkin(false, toggles);
    m_window.update();
}

void SkinSetup::loadBackground()
{
    m_background = QPixmap();
    const QString path = m_settings.read(Key::BackgroundBMP);
    if (!path.isEmpty()) {
        const QImage image = BmpFile::load(path);
        // A stored background that cannot be read gives way to the preset.
        if (!image.isNull()) {
            m_background = QPixmap::fromImage(image);
            return;
        }
    }
    static constexpr int Presets[] = {227, 295, 296, 300};
    const int preset = m_settings.read(Key::DefaultBackgroundBMP);
    if (preset >= 0 && preset < int(std::size(Presets)))
        m_background = QPixmap::fromImage(builtin(Presets[preset]));
}

bool SkinSetup::chooseBackground()
{
    FileDialogRequest r;
    r.mode = FileDialogRequest::OpenOne;
    r.title = QStringLiteral("Select a background BMP");
    r.directory = bmpDirectory();
    r.filters = {QStringLiteral("Bitmap Files (*.bmp)")};
    r.defaultSuffix = QStringLiteral("bmp");
    const FileDialogResult chosen = m_prompt.fileDialog(r);
    const QString path = chosen.accepted && !chosen.files.isEmpty() ? chosen.files.first() : QString();
    if (!path.isEmpty()) {
        if (BmpFile::load(path).isNull()) {
            m_prompt.message({BitmapError, QCoreApplication::applicationName(), PromptKind::Ok, PromptKind::NoIcon});
            return false;
        }
        m_settings.write(Key::LastBMPDirectory, QFileInfo(path).absolutePath());
    }
    // Cancelled, the choice is "no file": the preset shows again.
    m_settings.write(Key::BackgroundBMP, path);
    return true;
}

bool SkinSetup::setPresetBackground(int preset)
{
    m_settings.write(Key::BackgroundBMP, QString());
    m_settings.write(Key::DefaultBackgroundBMP, preset);
    return true;
}
