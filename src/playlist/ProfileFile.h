#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <sys/types.h>

#include <vector>

// An INI file of "[section]" headers and "key=value" lines, read and written the way playlist
// files have always been: section and key names compare without regard to case, keys keep the
// order in which they were first written, a rewrite updates a key in place and never deletes
// one, a missing key and an empty value read alike, and values read are cut to 259 characters.
// Lines are written with CR LF; files from other programs may use LF only, a UTF-8 byte-order
// mark, blanks around "=", quoted values and ";" comments.
//
// The parsed file is kept in memory and re-read only when the file on disk changes (another
// writer's change is seen at the next read). Every write replaces the file atomically, so a
// crash or a full disk leaves either the old or the new content.
class ProfileFile
{
public:
    static constexpr int MaxValueLength = 259;
    // Larger files are not read (a media file renamed to .lst must not fill the memory).
    static constexpr qint64 MaxFileSize = 256ll * 1024 * 1024;

    explicit ProfileFile(QString path = {});
    ~ProfileFile();
    ProfileFile(const ProfileFile &) = delete;
    ProfileFile &operator=(const ProfileFile &) = delete;

    QString path() const { return m_path; }
    void setPath(const QString &path);

    // The value, cut to maxLength characters; def when the key is missing or empty.
    QString readString(const QString &section, const QString &key, const QString &def = {},
                       int maxLength = MaxValueLength) const;
    // Leading digits of the value (with an optional sign): 0 when there are none,
    // def when the key is missing or empty.
    int readInt(const QString &section, const QString &key, int def) const;
    // The highest n for which prefix<n> (plain decimal) holds a non-empty value; -1 if none.
    int highestIndex(const QString &section, const QString &prefix) const;
    // How many different keys the section holds.
    int keyCount(const QString &section) const;

    // False when the value cannot be stored (a line break or NUL in it) or the file could
    // not be replaced; the file then keeps its old content.
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInt(const QString &section, const QString &key, int value)
    {
        return writeString(section, key, QString::number(value));
    }

    QString errorString() const { return m_error; }

    // A value the file can hold: no line break and no NUL.
    static bool isStorable(const QString &value);

    // Groups reads and writes: reads see one state of the file, and the writes reach the
    // file together in one replacement when the outermost batch ends (or commit() is called).
    class Batch
    {
    public:
        explicit Batch(ProfileFile &file);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        // Writes what the batch changed; false when the file could not be replaced.
        bool commit();

    private:
        ProfileFile &m_file;
        bool m_done = false;
    };

private:
    struct Line {
        enum Kind : quint8 { Other, Header, Pair };
        QByteArray text; // without its line end
        Kind kind = Other;
    };
    struct Section {
        bool named = false;        // the lines before the first header have no name
        std::vector<Line> lines;   // a named section starts with its header line
        QHash<QByteArray, qsizetype> keys; // lower-case key -> first line holding it
    };
    struct FileId {
        bool exists = false;
        qint64 size = -1;
        qint64 mtimeNs = 0;
        qint64 ctimeNs = 0;
        quint64 inode = 0;
        quint64 device = 0;
        bool operator==(const FileId &) const = default;
    };

    FileId statFile(int fd = -1) const;
    void refresh() const; // re-reads when the file changed (not while a batch is open)
    void parse(const QByteArray &bytes) const;
    const Line *findPair(const QString &section, const QString &key) const;
    // The value of a key; empty when the key is missing or has no value.
    QByteArrayView valueFor(const QString &section, const QString &key) const;
    QByteArray serialize() const;
    bool save();
    bool endBatch();

    QString m_path;
    mutable std::vector<Section> m_sections;
    mutable QHash<QByteArray, qsizetype> m_sectionIndex; // lower-case name -> first section
    mutable bool m_bom = false;
    mutable bool m_loaded = false;
    mutable bool m_tooLarge = false;
    mutable FileId m_id;
    // The file changed so recently that a same-size rewrite within the same clock tick would
    // leave its time stamp unchanged: the next read looks at the content again.
    mutable bool m_racy = false;
    mutable QByteArray m_raw; // the bytes the document was read from (or last written)
    mutable QString m_error;
    int m_batchDepth = 0;
    bool m_pending = false; // the document holds writes not yet on disk
};
