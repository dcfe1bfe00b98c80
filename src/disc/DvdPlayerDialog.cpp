#include "disc/DvdPlayerDialog.h"

#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "disc/DvdNavigator.h"
#include "disc/DvdPicture.h"
#include "disc/OpticalDrives.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

const QString NotInstalled = QStringLiteral("DVD software not installed properly.\nPress OK to end the app.");
const QString NoDecoder = QStringLiteral(
    "Kinetrope could not locate a DVD decoder on your system.\r\n\r\nYou must install a DVD/MPEG-2 hardware,\r\n"
    "or software decoder.");
constexpr int ParentalLevel = 7;

// A plain message under the program's own caption.
PromptMessage note(const QString &text)
{
    PromptMessage m;
    m.text = text;
    return m;
}

// The button column beside the picture.
constexpr int ColumnLeft = 568;
constexpr int ColumnWidth = 118;
constexpr int Row = 27;

} // namespace

DvdPlayerDialog::DvdPlayerDialog(SettingsStore &settings, Prompt &prompt, DvdToggles &toggles, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_prompt(prompt), m_toggles(toggles)
{
    setObjectName(QStringLiteral("DvdPlayerDialog"));
    setWindowTitle(QStringLiteral("Kinetrope DVD Player"));
    setWindowIcon(QIcon(QStringLiteral(":/kinetrope.png")));
    setFixedSize(ColumnLeft + ColumnWidth + 14, PicturePlace.bottom() + 24);
    m_navigator = new DvdNavigator(this);
    m_picture = new DvdPicture(this);
    m_picture->setGeometry(PicturePlace);

    using N = DvdNavigator;
    auto nav = [this](N::Result (*call)(N &)) { return [this, call] { withDisc([this, call] { call(*m_navigator); }); }; };
    auto scan = [this](double rate) { return [this, rate] { withDisc([this, rate] { m_navigator->forwardScan(rate); }); }; };
    int y = PicturePlace.top();
    auto place = [&y](int rows = 1) {
        const QRect r(ColumnLeft, y, ColumnWidth, Row * rows - 3);
        y += Row * rows;
        return r;
    };
    addButton(PauseButton, "Pause", place(), [this] { pauseToggle(); });
    addButton(StopButton, "Stop", place(), nav([](N &n) { return n.stop(); }));
    addButton(CueButton, "Cue", place(), scan(5.0));
    addButton(ReviewButton, "Review", place(),
              [this] { withDisc([this] { m_navigator->backwardScan(5.0); }); });
    addButton(PrevChapterButton, "Prev Chapter", place(), nav([](N &n) { return n.playPrevChapter(); }));
    addButton(NextChapterButton, "Next Chapter", place(), nav([](N &n) { return n.playNextChapter(); }));
    addButton(ReversePlayButton, "Reverse Play", place(), [this] { reversePlay(); });
    addButton(ResumeButton, "Resume", place(), nav([](N &n) { return n.resume(); }));
    addButton(MenuButton, "Menu", place(), nav([](N &n) { return n.rootMenu(); }));
    // The scan speeds in two columns, 1x to 5x and 6x to 10x.
    constexpr int SpeedIds[] = {1106, 1109, 1111, 1113, 1115, 1107, 1108, 1110, 1112, 1114};
    const int half = ColumnWidth / 2;
    for (int i = 0; i < 10; ++i) {
        const QRect r(ColumnLeft + (i / 5) * half, y + (i % 5) * (Row - 4), half - 2, Row - 7);
        addButton(SpeedIds[i], QByteArray::number(i + 1).append('x').constData(), r, scan(i + 1.0));
    }
    y += 5 * (Row - 4) + 6;
    addButton(BrowseButton, "&Browse", place(), [this] { browse(); });
    addButton(FullScreenButton, "&Full Screen", place(), [this] { enterFullScreen(); });
    addButton(ExitButton, "E&xit", place(), [this] {
        release();
        accept();
    });

    connect(m_navigator, &DvdNavigator::built, this, &DvdPlayerDialog::onBuilt);
    connect(m_navigator, &DvdNavigator::failed, this, &DvdPlayerDialog::onBuildFailed);
    connect(m_navigator, &DvdNavigator::decoderMissing, this, &DvdPlayerDialog::onDecoderMissing);
    connect(m_navigator, &DvdNavigator::errorWhilePlaying, this, &DvdPlayerDialog::onPlayingError);
    connect(m_navigator, &DvdNavigator::frameReady, this,
            [this] { m_picture->setFrame(m_navigator->frame(), m_navigator->displayAspect()); });
    connect(m_picture, &DvdPicture::pointerMoved, this, &DvdPlayerDialog::pointerMoved);
    connect(m_picture, &DvdPicture::pressed, this, &DvdPlayerDialog::pressed);
    connect(m_picture, &DvdPicture::released, this, [this] { m_dragging = false; });
    connect(m_picture, &DvdPicture::keyPressed, this, &DvdPlayerDialog::handleKey);
}

DvdPlayerDialog::~DvdPlayerDialog() = default;

void DvdPlayerDialog::addButton(int id, const char *text, const QRect &place, std::function<void()> action)
{
    auto *b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(QString::number(id));
    b->setGeometry(place);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, std::move(action));
    m_buttons.insert(id, b);
}

void DvdPlayerDialog::withDisc(const std::function<void()> &call)
{
    if (m_navigator->ready())
        call();
}

QString DvdPlayerDialog::videoTsIfo(const QString &root)
{
    // An iso9660 volume may show the names in lower case; libdvdread finds either.
    const QDir volume(root);
    for (const QString &folder : volume.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (folder.compare(QLatin1String("VIDEO_TS"), Qt::CaseInsensitive) != 0)
            continue;
        const QDir dir(volume.filePath(folder));
        for (const QString &file : dir.entryList(QDir::Files)) {
            if (file.compare(QLatin1String("VIDEO_TS.IFO"), Qt::CaseInsensitive) == 0)
                return dir.filePath(file);
        }
    }
    return {};
}

QString DvdPlayerDialog::deviceFor(const QString &volumePath)
{
    const QFileInfo info(volumePath);
    if (info.isDir() || info.suffix().compare(QLatin1String("ifo"), Qt::CaseInsensitive) != 0)
        return volumePath;
    return info.absolutePath();
}

bool DvdPlayerDialog::searchForDvd()
{
    for (const QString &root : OpticalDrives::roots()) {
        const QString ifo = videoTsIfo(root);
        QFile probe(ifo);
        if (ifo.isEmpty() || !probe.open(QIODevice::ReadOnly))
            continue;
        probe.close();
        if (!m_searchedOnce) {
            m_searchedOnce = true;
            m_volumePath = ifo;
            return true;
        }
        QString shown = root;
        while (shown.size() > 1 && shown.endsWith(QLatin1Char('/')))
            shown.chop(1);
        if (shown == QLatin1String("/"))
            shown.clear();
        const PromptMessage ask{QStringLiteral("Found a DVD in drive ") + shown + QStringLiteral("/ Play this one?"),
                                QStringLiteral("Found DVD"), PromptKind::YesNo, PromptKind::Question};
        if (m_prompt.message(ask) == PromptKind::AnswerYes) {
            m_volumePath = ifo;
            return true;
        }
    }
    return false;
}

void DvdPlayerDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_started) {
        m_started = true;
        // After the dialog is on screen, as its questions belong to it.
        QTimer::singleShot(0, this, &DvdPlayerDialog::startUp);
    }
}

bool DvdPlayerDialog::softwareReady()
{
    if (DvdNavigator::softwareInstalled())
        return true;
    m_prompt.message(note(QStringLiteral("Error Building DVD Graph")));
    m_prompt.error(NotInstalled);
    release();
    QTimer::singleShot(0, this, [this] { done(QDialog::Rejected); });
    return false;
}

void DvdPlayerDialog::startUp()
{
    m_fullScreen = false;
    if (!softwareReady())
        return;
    if (!searchForDvd())
        return;
    m_lastPath = m_volumePath;
    startDisc(true);
}

void DvdPlayerDialog::startDisc(bool startSequence)
{
    m_startSequence = startSequence;
    m_picture->clear();
    m_picture->setWindowTitle(m_volumePath);
    m_navigator->build(deviceFor(m_volumePath));
}

void DvdPlayerDialog::onBuilt()
{
    if (m_startSequence) {
        const DvdNavigator::Result root = m_navigator->setRoot(deviceFor(m_volumePath));
        if (root != DvdNavigator::Result::Ok) {
            showResult(int(root));
            release();
            return;
        }
        showResult(int(m_navigator->parentalLevelSelect(ParentalLevel)));
        m_picture->unsetCursor();
    }
    m_navigator->run();
    discStarted();
    if (m_startSequence && m_autoFullScreen == 1)
        enterFullScreen();
}

void DvdPlayerDialog::discStarted()
{
    // A disc starts playing whatever an earlier dialog left: the next Pause pauses it.
    m_toggles.paused = false;
    m_buttons.value(PauseButton)->setText(QStringLiteral("Pause"));
}

void DvdPlayerDialog::showResult(int result)
{
    const QString text = DvdNavigator::resultText(DvdNavigator::Result(result));
    if (!text.isEmpty())
        m_prompt.message(note(text));
}

void DvdPlayerDialog::onBuildFailed(const QString &text)
{
    m_picture->clear();
    m_prompt.message({text, {}, PromptKind::Ok, PromptKind::Stop, true});
    if (m_startSequence)
        m_prompt.message(note(QStringLiteral("Error Rendering DVD!")));
}

void DvdPlayerDialog::onDecoderMissing()
{
    m_picture->clear();
    m_prompt.message({NoDecoder, QStringLiteral("Fatal Error"), PromptKind::Ok, PromptKind::Stop});
    if (m_startSequence)
        m_prompt.message(note(QStringLiteral("Error Rendering DVD!")));
}

void DvdPlayerDialog::onPlayingError(const QString &text)
{
    leaveFullScreen();
    m_picture->clear();
    m_prompt.message({text, {}, PromptKind::Ok, PromptKind::Stop, true});
}

void DvdPlayerDialog::release()
{
    leaveFullScreen();
    m_navigator->release();
    m_picture->clear();
}

void DvdPlayerDialog::browse()
{
    if (!softwareReady())
        return;
    FileDialogRequest r;
    r.mode = FileDialogRequest::OpenOne;
    r.title = QStringLiteral("Select DVD-Video Volume");
    r.filters = {QStringLiteral("IFO Files (*.ifo)"), QStringLiteral("All Files (*)")};
    r.defaultSuffix = QStringLiteral("ifo");
    const QString last = m_settings.read(Key::LastDVDDirectory);
    r.directory = last.isEmpty() || !QFileInfo(last).isDir() ? QDir::homePath() : last;
    r.fileName = m_lastPath.isEmpty() ? QStringLiteral("*.ifo") : m_lastPath;
    const FileDialogResult chosen = m_prompt.fileDialog(r);
    if (!chosen.accepted || chosen.files.isEmpty())
        return;
    // The running disc goes first: one disc at a time.
    release();
    m_volumePath = chosen.files.front();
    m_lastPath = m_volumePath;
    startDisc(false);
    m_settings.write(Key::LastDVDDirectory, QFileInfo(m_volumePath).absolutePath());
}

void DvdPlayerDialog::pauseToggle()
{
    withDisc([this] {
        if (m_toggles.paused) {
            m_navigator->forwardScan(1.0);
            m_navigator->run();
            m_toggles.paused = false;
            m_buttons.value(PauseButton)->setText(QStringLiteral("Pause"));
        } else {
            m_toggles.paused = true;
            m_navigator->pause();
            m_buttons.value(PauseButton)->setText(QStringLiteral("Play"));
        }
    });
}

void DvdPlayerDialog::reversePlay()
{
    withDisc([this] {
        m_navigator->forwardScan(1.0);
        m_navigator->run();
        m_navigator->backwardScan(1.0);
    });
}

void DvdPlayerDialog::enterFullScreen()
{
    if (m_fullScreen || !m_navigator->ready())
        return;
    m_fullScreen = true;
    m_dragging = false;
    // A window of the dialog's own, so the modal dialog does not shut it out.
    m_picture->setParent(this, Qt::Window | Qt::FramelessWindowHint);
    m_picture->setWindowTitle(m_volumePath);
    m_picture->setFocusPolicy(Qt::StrongFocus);
    if (QScreen *screen = this->screen())
        m_picture->setGeometry(screen->geometry());
    m_picture->showFullScreen();
    m_picture->raise();
    m_picture->activateWindow();
    m_picture->setFocus();
}

void DvdPlayerDialog::leaveFullScreen()
{
    if (!m_fullScreen)
        return;
    m_fullScreen = false;
    m_picture->setParent(this, Qt::Widget);
    m_picture->setFocusPolicy(Qt::NoFocus);
    m_picture->setGeometry(PicturePlace);
    m_picture->show();
    activateWindow();
}

bool DvdPlayerDialog::handleKey(int key)
{
    if (key == Qt::Key_Escape) {
        leaveFullScreen();
        return true;
    }
    const bool disc = m_navigator->ready();
    auto scan = [&](double rate) {
        if (disc)
            m_navigator->forwardScan(rate);
    };
    switch (key) {
    case Qt::Key_Pause: pauseToggle(); break;
    case Qt::Key_End:
        if (disc) {
            m_navigator->forwardScan(m_toggles.endFast ? 1.0 : 2.0);
            m_toggles.endFast = !m_toggles.endFast;
        }
        break;
    case Qt::Key_Home:
        if (disc) {
            m_navigator->backwardScan(m_toggles.homeFast ? 1.0 : 2.0);
            m_toggles.homeFast = !m_toggles.homeFast;
        }
        break;
    case Qt::Key_0: scan(10.0); break;
    case Qt::Key_M:
        if (disc)
            m_navigator->rootMenu();
        break;
    case Qt::Key_N:
        if (disc)
            m_navigator->playNextChapter();
        break;
    case Qt::Key_P:
        if (disc)
            m_navigator->playPrevChapter();
        break;
    case Qt::Key_R: reversePlay(); break;
    case Qt::Key_S:
        if (disc)
            m_navigator->stop();
        break;
    default:
        if (key >= Qt::Key_1 && key <= Qt::Key_9) {
            scan(key - Qt::Key_0);
            break;
        }
        return false;
    }
    return true;
}

void DvdPlayerDialog::keyPressEvent(QKeyEvent *e)
{
    // Esc is ours: it never closes the dialog.
    if (!handleKey(e->key()))
        QDialog::keyPressEvent(e);
}

void DvdPlayerDialog::pointerMoved(QPointF video, QPoint global, Qt::MouseButtons buttons)
{
    if (m_dragging && (buttons & Qt::LeftButton)) {
        move(global - m_dragOffset);
        return;
    }
    m_dragging = false;
    withDisc([&] { m_navigator->mouseSelect(video); });
}

void DvdPlayerDialog::pressed(QPointF video, QPoint global, Qt::MouseButton button)
{
    if (!m_navigator->ready())
        return;
    if (button == Qt::RightButton) {
        m_navigator->rootMenu();
        return;
    }
    if (button != Qt::LeftButton)
        return;
    m_navigator->mouseActivate(video);
    if (m_fullScreen)
        return;
    // As if the caption were grabbed.
    QWindow *w = windowHandle();
    if (!w || !w->startSystemMove()) {
        m_dragging = true;
        m_dragOffset = global - pos();
    }
}

void DvdPlayerDialog::closeEvent(QCloseEvent *e)
{
    release();
    QDialog::closeEvent(e);
}

void DvdPlayerDialog::reject()
{
    release();
    QDialog::reject();
}
