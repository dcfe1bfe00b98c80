#pragma once

#include <QString>
#include <QStringList>

// Stands first on PATH as xdg-open and xdg-email, the desktop's handlers, and writes down what
// it was asked to open instead of opening it. Set up before the program opens anything: Qt
// looks for its handlers once.
class FakeOpener
{
public:
    explicit FakeOpener(const QString &folder);
    // Everything asked so far, one argument list per line.
    QStringList opened() const;
    void clear();

private:
    QString m_log;
};
