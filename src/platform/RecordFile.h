#pragma once

#include <QFile>
#include <QString>

// A file of fixed-size records with a record position. Errors throw PinletError with the
// run-time's texts ("File not found", "File access denied", "Disk full", "I/O error %d").
// The file is closed by close() or on destruction, so every path closes it.
class RecordFile {
public:
    RecordFile(QString path, int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Makes an empty file, replacing any file of that name; the file is then closed.
    static void create(const QString& path);

    void open(); // existing file, read and write, position 0
    bool atEnd() const;
    void readNext(char* record);
    void seek(qint64 k);
    void write(const char* record);
    qint64 size() const; // whole records only
    qint64 position() const { return m_pos; }
    void close();

private:
    [[noreturn]] void fail() const;

    QFile m_file;
    int m_recordSize;
    qint64 m_pos = 0;
};
