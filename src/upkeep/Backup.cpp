#include "upkeep/Backup.h"

#include "upkeep/FileWork.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStorageInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

// File systems that hold no data of their own, or live only in memory.
const QSet<QByteArray> kVirtualFileSystems = {
    "autofs",   "binfmt_misc", "bpf",        "cgroup",      "cgroup2",         "configfs",   "debugfs", "devpts",
    "devtmpfs", "efivarfs",    "fusectl",    "hugetlbfs",   "mqueue",          "nsfs",       "proc",    "pstore",
    "ramfs",    "rootfs",      "rpc_pipefs", "securityfs",  "selinuxfs",       "sysfs",      "tmpfs",   "tracefs",
    "squashfs", "iso9660",     "udf",        "fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs",
};

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class Fd {
public:
    explicit Fd(int fd = -1) : mFd(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return mFd; }
    int Close()
    {
        const int rc = mFd >= 0 ? ::close(mFd) : 0;
        mFd = -1;
        return rc;
    }

private:
    int mFd;
};

bool WriteAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Reads a whole file through its digest; false on a read error.
bool Digest(int fd, QCryptographicHash& hash, qint64* total, const std::function<bool(const char*, qint64)>& also)
{
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    *total = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), static_cast<size_t>(buffer.size()));
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) return true;
        hash.addData(QByteArrayView(buffer.constData(), got));
        *total += got;
        if (also && !also(buffer.constData(), got)) return false;
    }
}

}  // namespace

QList<BackupVolume> WritableVolumes()
{
    QList<BackupVolume> volumes;
    QSet<QString> seen;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid() || !storage.isReady() || storage.isReadOnly()) continue;
        if (kVirtualFileSystems.contains(storage.fileSystemType())) continue;
        const QString root = storage.rootPath();
        const QFileInfo info(root);
        // A bind-mounted single file is not a drive.
        if (!info.isDir() || !info.isWritable() || seen.contains(root)) continue;
        seen.insert(root);
        // A volume without a label goes by the last part of its folder.
        QString name = storage.name();
        if (name.isEmpty()) name = root == u"/" ? QStringLiteral("Root folder") : QFileInfo(root).fileName();
        QString label = name.isEmpty() ? root : name + QStringLiteral(" (") + root + u')';
        label += QStringLiteral(", ") +
                 QLocale().formattedDataSize(storage.bytesAvailable(), 1, QLocale::DataSizeTraditionalFormat) +
                 QStringLiteral(" free");
        volumes.append({label, root});
    }
    return volumes;
}

QList<BackupVolume> FolderVolumes(const QString& folders)
{
    QList<BackupVolume> volumes;
    QSet<QString> seen;
    for (const QString& entry : folders.split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        const QFileInfo info(entry);
        if (!info.isDir() || !info.isWritable()) continue;
        const QString folder = QDir::cleanPath(info.absoluteFilePath());
        if (seen.contains(folder)) continue;
        seen.insert(folder);
        const QStorageInfo storage(folder);
        QString label = info.fileName().isEmpty() ? folder : info.fileName() + QStringLiteral(" (") + folder + u')';
        if (storage.isValid())
            label += QStringLiteral(", ") +
                     QLocale().formattedDataSize(storage.bytesAvailable(), 1, QLocale::DataSizeTraditionalFormat) +
                     QStringLiteral(" free");
        volumes.append({label, folder});
    }
    return volumes;
}

bool BackupCatalogue(const QString& source, const QString& folder, QString* problem)
{
    auto fail = [&](const QString& why) {
        if (problem) *problem = why;
        return false;
    };
    if (folder.isEmpty()) return fail(QStringLiteral("No drive was chosen."));
    const QString target = QDir(folder).filePath(QStringLiteral("stamp.mdb"));

    Fd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) return fail(QStringLiteral("Could not read '%1': %2.").arg(source, SystemError(errno)));
    struct stat sourceStat {};
    if (::fstat(in.Get(), &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode))
        return fail(QStringLiteral("'%1' is not a catalogue file.").arg(source));

    QByteArray tempName = QFile::encodeName(QDir(folder).filePath(QStringLiteral("stamp-backup-XXXXXX.tmp")));
    Fd out(::mkostemps(tempName.data(), 4, O_CLOEXEC));
    if (out.Get() < 0) return fail(QStringLiteral("Could not write in '%1': %2.").arg(folder, SystemError(errno)));
    const QString temp = QFile::decodeName(tempName);
    auto failAndClean = [&](const QString& why) {
        out.Close();
        ::unlink(tempName.constData());
        return fail(why);
    };

    QCryptographicHash written(QCryptographicHash::Sha256);
    qint64 copied = 0;
    int writeError = 0;
    if (!Digest(in.Get(), written, &copied, [&](const char* data, qint64 size) {
            if (WriteAll(out.Get(), data, size)) return true;
            writeError = errno;
            return false;
        }))
        return failAndClean(writeError ? QStringLiteral("Could not write the copy: %1.").arg(SystemError(writeError))
                                       : QStringLiteral("Could not read '%1': %2.").arg(source, SystemError(errno)));
    if (::fsync(out.Get()) != 0)
        return failAndClean(QStringLiteral("Could not write the copy: %1.").arg(SystemError(errno)));
    if (out.Close() != 0) return failAndClean(QStringLiteral("Could not write the copy: %1.").arg(SystemError(errno)));
    // The copy keeps the catalogue's permissions where the drive has any.
    ::chmod(tempName.constData(), sourceStat.st_mode & 0666);

    // Read the copy back: it must be as long as the catalogue, hold the same
    // bytes, and be a sound catalogue.
    if (copied != sourceStat.st_size) return failAndClean(QStringLiteral("The catalogue changed while it was copied."));
    {
        Fd check(::open(tempName.constData(), O_RDONLY | O_CLOEXEC));
        QCryptographicHash reread(QCryptographicHash::Sha256);
        qint64 length = 0;
        if (check.Get() < 0 || !Digest(check.Get(), reread, &length, {}))
            return failAndClean(QStringLiteral("Could not read the copy back: %1.").arg(SystemError(errno)));
        if (length != copied || reread.result() != written.result())
            return failAndClean(QStringLiteral("The copy does not match the catalogue."));
    }
    QString damage;
    if (!CheckCatalogueFile(temp, nullptr, &damage)) return failAndClean(damage);

    QString renameProblem;
    if (!RenameFile(temp, target, &renameProblem)) return failAndClean(renameProblem);
    SyncFolder(folder);
    return true;
}
