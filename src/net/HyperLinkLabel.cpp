#include "HyperLinkLabel.h"

#include "app/Prompt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QUrl>

HyperLinkLabel::HyperLinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setUnderline(true);
    setToolTip(address());
}

void HyperLinkLabel::setAddress(const QString &address)
{
    m_address = address;
    if (text().isEmpty())
        setText(address);
    setToolTip(this->address());
    fit();
}

QString HyperLinkLabel::address() const
{
    return m_address.isEmpty() ? text() : m_address;
}

void HyperLinkLabel::setUnderline(bool on)
{
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
    fit();
    update();
}

void HyperLinkLabel::setVisited(bool on)
{
    m_visited = on;
    update();
}

QColor HyperLinkLabel::shownColour() const
{
    if (m_over)
        return palette().color(QPalette::Highlight);
    return m_visited ? m_visitedColour : m_link;
}

void HyperLinkLabel::fit()
{
    // As large as its words: the width and height of the text, placed as the alignment says.
    const QRect g = geometry();
    if (g.isEmpty())
        return;
    const QSize t = fontMetrics().size(Qt::TextSingleLine, text()) + QSize(2, 0);
    int left = g.left();
    if (alignment() & Qt::AlignHCenter)
        left += (g.width() - t.width()) / 2;
    else if (alignment() & Qt::AlignRight)
        left = g.right() + 1 - t.width();
    const int top = alignment() & Qt::AlignVCenter ? g.top() + (g.height() - t.height()) / 2 : g.top();
    setGeometry(QRect(QPoint(left, top), t));
}

void HyperLinkLabel::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    m_over = true;
    update();
}

void HyperLinkLabel::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    m_over = false;
    update();
}

void HyperLinkLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(shownColour());
    p.setFont(font());
    p.drawText(rect(), int(alignment()), text());
}

int HyperLinkLabel::openAddress(const QString &target)
{
    const QUrl url = QUrl::fromUserInput(target, QDir::currentPath(), QUrl::AssumeLocalFile);
    if (url.isLocalFile()) {
        const QFileInfo info(url.toLocalFile());
        if (!info.exists())
            return QFileInfo(info.absolutePath()).isDir() ? FileNotFound : PathNotFound;
    }
    if (QDesktopServices::openUrl(url))
        return Opened;
    // The desktop has no handler: the browser the user named, with %s for the address.
    QString browser = qEnvironmentVariable("BROWSER").section(QLatin1Char(':'), 0, 0).trimmed();
    if (browser.isEmpty())
        return NoOpener;
    const QString address = url.toString();
    if (browser.contains(QLatin1String("%s")))
        browser.replace(QLatin1String("%s"), address);
    else
        browser += QLatin1Char(' ') + address;
    QStringList args = QProcess::splitCommand(browser);
    if (args.isEmpty())
        return NoOpener;
    const QString program = args.takeFirst();
    return QProcess::startDetached(program, args) ? Opened : NoOpener;
}

QString HyperLinkLabel::errorText(int code)
{
    switch (code) {
    case 0: return QStringLiteral("The operating system is out\nof memory or resources.");
    case 2: return QStringLiteral("The specified file was not found.");
    case 3: return QStringLiteral("The specified path was not found.");
    case 5: return QStringLiteral("The operating system denied\naccess to the specified file.");
    case 8: return QStringLiteral("There was not enough memory to complete the operation.");
    case 11: return QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
    case 26: return QStringLiteral("A sharing violation occurred. ");
    case 27: return QStringLiteral("The filename association is\nincomplete or invalid.");
    case 28: return QStringLiteral("The DDE transaction could not\nbe completed because the request timed out.");
    case 29: return QStringLiteral("The DDE transaction failed.");
    case 30:
        return QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
    case 31: return QStringLiteral("There is no application associated\nwith the given filename extension.");
    case 32: return QStringLiteral("The specified dynamic-link library was not found.");
    default: return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
    }
}

void HyperLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    const int code = openAddress(address());
    if (code > 32) {
        setVisited(true);
        return;
    }
    QApplication::beep();
    if (m_prompt)
        m_prompt->message({QStringLiteral("Unable to open hyperlink:\n\n") + errorText(code), QString(), PromptKind::Ok,
                           PromptKind::Warning});
}
