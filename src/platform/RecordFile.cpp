#include "RecordFile.h"

#include "PinletError.h"

#include <QFileInfo>

namespace {

[[noreturn]] void throwFor(const QFile& f) {
    switch (f.error()) {
    case QFileDevice::OpenError:
        throw PinletError(QFileInfo::exists(f.fileName()) ? QStringLiteral("File access denied")
                                                          : QStringLiteral("File not found"));
    case QFileDevice::PermissionsError:
        throw PinletError(QStringLiteral("File access denied"));
    case QFileDevice::ResourceError:
        throw PinletError(QStringLiteral("Disk full"));
    case QFileDevice::ReadError:
        throw PinletError(QStringLiteral("I/O error 100"));
    case QFileDevice::WriteError:
        throw PinletError(QStringLiteral("I/O error 101"));
    default:
        throw PinletError(QStringLiteral("I/O error %1").arg(static_cast<int>(f.error())));
    }
}

} // namespace

RecordFile::RecordFile(QString path, int recordSize) : m_file(std::move(path)), m_recordSize(recordSize) {}

RecordFile::~RecordFile() { close(); }

void RecordFile::create(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throwFor(f);
}

void RecordFile::open() {
    if (!m_file.exists())
        throw PinletError(QStringLiteral("File not found"));
    if (!m_file.open(QIODevice::ReadWrite))
        throwFor(m_file);
    m_pos = 0;
}

bool RecordFile::atEnd() const { return m_pos >= size(); }

qint64 RecordFile::size() const { return m_file.size() / m_recordSize; }

void RecordFile::readNext(char* record) {
    if (m_pos >= size())
        throw PinletError(QStringLiteral("Read beyond end of file"));
    if (!m_file.seek(m_pos * m_recordSize) || m_file.read(record, m_recordSize) != m_recordSize)
        fail();
    ++m_pos;
}

void RecordFile::seek(qint64 k) {
    if (k < 0 || k > size())
        throw PinletError(QStringLiteral("I/O error 131"));
    m_pos = k;
}

void RecordFile::write(const char* record) {
    if (!m_file.seek(m_pos * m_recordSize) || m_file.write(record, m_recordSize) != m_recordSize || !m_file.flush())
        fail();
    ++m_pos;
}

void RecordFile::close() {
    if (m_file.isOpen())
        m_file.close();
}

void RecordFile::fail() const {
    if (m_file.error() == QFileDevice::WriteError || m_file.error() == QFileDevice::ResourceError)
        throw PinletError(QStringLiteral("Disk full"));
    throwFor(m_file);
}
