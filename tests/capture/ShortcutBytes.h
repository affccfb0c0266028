#pragma once

#include <QByteArray>
#include <QtEndian>

// A Windows shortcut (.lnk) written by hand after the MS-SHLLINK layout: the 76-byte header,
// then, when a path is given, a LinkInfo with a VolumeID and that local base path, and the
// terminal block.
inline QByteArray shortcutBytes(const QByteArray& localBasePath) {
    auto u32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    QByteArray header;
    header += u32(0x4C);
    header += QByteArray::fromHex("0114020000000000c000000000000046"); // LinkCLSID
    header += u32(localBasePath.isEmpty() ? 0 : 0x2);                  // LinkFlags: HasLinkInfo
    header += u32(0x20);                                               // FileAttributes: archive
    header += QByteArray(24, '\0');                                    // creation, access, write times
    header += u32(0);                                                  // FileSize
    header += u32(0);                                                  // IconIndex
    header += u32(1);                                                  // ShowCommand: normal
    header += QByteArray(2 + 2 + 4 + 4, '\0');                         // HotKey, reserved
    Q_ASSERT(header.size() == 76);
    if (localBasePath.isEmpty())
        return header + u32(0);

    QByteArray volumeId = u32(17) + u32(3) + u32(0x1234ABCD) + u32(0x10) + QByteArray(1, '\0');
    const quint32 headerSize = 0x1C;
    const quint32 volumeOffset = headerSize;
    const quint32 pathOffset = volumeOffset + static_cast<quint32>(volumeId.size());
    const quint32 suffixOffset = pathOffset + static_cast<quint32>(localBasePath.size()) + 1;
    const quint32 total = suffixOffset + 1;
    QByteArray linkInfo = u32(total) + u32(headerSize) + u32(0x1) + u32(volumeOffset) + u32(pathOffset) + u32(0) +
                          u32(suffixOffset) + volumeId + localBasePath + QByteArray(1, '\0') + QByteArray(1, '\0');
    return header + linkInfo + u32(0);
}
