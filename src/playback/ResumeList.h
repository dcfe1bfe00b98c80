#pragma once

#include <QList>
#include <QString>

// Where the last files played were left: the newest first, at most Capacity of them, in a
// text file of the data folder that is replaced whole at every change, so a crash leaves
// either the old list or the new one.
class ResumeList
{
public:
    static constexpr int Capacity = 200;

    // An empty name: "resume-positions" in the program's data folder.
    explicit ResumeList(QString fileName = {});
    static QString defaultFile();
    QString fileName() const { return m_file; }

    // Seconds into the file where it was left; 0 when it is not in the list.
    double position(const QString &path);
    // Saves the place of a file at the head of the list.
    void remember(const QString &path, double seconds);
    void forget(const QString &path);

private:
    struct Entry {
        QString path;
        double seconds;
    };
    void load();
    void save();

    QString m_file;
    QList<Entry> m_entries;
};
