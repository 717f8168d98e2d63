#include "atomicwrite.h"

#include <QFile>

#include <cstring>
#include <span>

#include "atomicfile.h"

namespace tessarin {

FileStatus writeFileAtomically(const QString& path, const QByteArray& data) {
    AtomicFile file(QFile::encodeName(path).toStdString());
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                          static_cast<std::size_t>(data.size()));
    if (file.open() && file.write(bytes) && file.commit()) return {};
    return {QStringLiteral("Cannot save %1: %2")
                .arg(QFile::decodeName(file.target().c_str()),
                     QString::fromLocal8Bit(std::strerror(file.error())))};
}

}  // namespace tessarin
