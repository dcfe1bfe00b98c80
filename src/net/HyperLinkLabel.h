#pragma once

#include <QColor>
#include <QLabel>

class Prompt;

// A text that behaves like a link in a browser: coloured and underlined, a hand cursor, the
// address as its tooltip, another colour once visited, the highlight colour under the pointer.
class HyperLinkLabel : public QLabel
{
    Q_OBJECT
public:
    // The code of a successful open; lower codes name the failure (errorText()).
    static constexpr int Opened = 33;
    static constexpr int FileNotFound = 2;
    static constexpr int PathNotFound = 3;
    static constexpr int NoOpener = 31;

    explicit HyperLinkLabel(const QString &text, QWidget *parent = nullptr);

    // Empty: the label's text is the address.
    void setAddress(const QString &address);
    QString address() const;
    void setUnderline(bool on);
    void setVisited(bool on);
    bool visited() const { return m_visited; }
    bool isOver() const { return m_over; }
    void setPrompt(Prompt *prompt) { m_prompt = prompt; }
    QColor shownColour() const;

    // Opens a local file or an address with the desktop's handler, else $BROWSER.
    static int openAddress(const QString &target);
    static QString errorText(int code);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void fit();

    QString m_address;
    QColor m_link{0x00, 0x00, 0xEE};
    QColor m_visitedColour{0x55, 0x1A, 0x8B};
    bool m_visited = false;
    bool m_over = false;
    Prompt *m_prompt = nullptr;
};
