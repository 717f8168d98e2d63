#include "tallyfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>
#include <span>

#include "installedcopy.h"
#include "tlzrw1.h"

namespace tessarin {

namespace {

std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

}  // namespace

TallyPaths tallyPaths(const QString& programDir, const QString& fallbackDir) {
    const QString beside = QDir(programDir).filePath(QLatin1String(kTallyFileName));
    if (!isInstalledCopy(toPath(programDir))) return {beside, beside};
    QDir().mkpath(fallbackDir);
    const QString fallback = QDir(fallbackDir).filePath(QLatin1String(kTallyFileName));
    if (!QFileInfo::exists(fallback) && QFileInfo::exists(beside)) return {beside, fallback};
    return {fallback, fallback};
}

TallyPaths defaultTallyPaths() {
    return tallyPaths(QCoreApplication::applicationDirPath(),
                      QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

bool loadTallyFile(const QString& path, TTally& tally) {
    if (!QFileInfo::exists(path)) return false;
    const std::vector<std::uint8_t> text = decompressFile(toPath(path), kMaxTallyTextBytes);
    tally.load(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return true;
}

void saveTallyFile(const QString& path, const TTally& tally) {
    const QByteArray text = tally.save();
    compressToFile(std::span(reinterpret_cast<const std::uint8_t*>(text.constData()),
                             static_cast<std::size_t>(text.size())),
                   toPath(path));
}

bool keepUnreadable(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile()) return false;
    // Renamed, not copied: however large the file, keeping it costs nothing.
    const QString real = file.canonicalFilePath();
    const QString kept = real + QStringLiteral(".bad");
    QFile::remove(kept);
    return QFile::rename(real, kept);
}

}  // namespace tessarin
