#include "upkeep/Backup.h"

#include "upkeep/FileWork.h"

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

// Reads up to size bytes at offset; the count read, or -1 on a read error.
ssize_t ReadAt(int fd, char* data, size_t size, off_t offset)
{
    size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, data + got, size - got, offset + static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
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

bool BackupCatalogue(const QString& source, const QString& folder, QString* problem, const BackupProgress& progress)
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

    // The copy, a megabyte at a time.
    const qint64 total = sourceStat.st_size;
    auto report = [&](qint64 done) { return !progress || progress(done, 2 * total); };
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 copied = 0;
    for (;;) {
        const ssize_t got = ReadAt(in.Get(), buffer.data(), static_cast<size_t>(buffer.size()), copied);
        if (got < 0) return failAndClean(QStringLiteral("Could not read '%1': %2.").arg(source, SystemError(errno)));
        if (got == 0) break;
        if (!WriteAll(out.Get(), buffer.constData(), got))
            return failAndClean(QStringLiteral("Could not write the copy: %1.").arg(SystemError(errno)));
        copied += got;
        if (!report(copied)) return failAndClean(QString());
    }
    if (::fsync(out.Get()) != 0)
        return failAndClean(QStringLiteral("Could not write the copy: %1.").arg(SystemError(errno)));
    if (out.Close() != 0) return failAndClean(QStringLiteral("Could not write the copy: %1.").arg(SystemError(errno)));
    // The copy keeps the catalogue's permissions where the drive has any.
    ::chmod(tempName.constData(), sourceStat.st_mode & 0666);

    // Read the copy back: it must be as long as the catalogue and hold the same
    // bytes, compared with the catalogue byte for byte.
    if (copied != total) return failAndClean(QStringLiteral("The catalogue changed while it was copied."));
    {
        Fd check(::open(tempName.constData(), O_RDONLY | O_CLOEXEC));
        if (check.Get() < 0) return failAndClean(QStringLiteral("Could not read the copy back: %1.").arg(SystemError(errno)));
        QByteArray again(buffer.size(), Qt::Uninitialized);
        qint64 compared = 0;
        for (;;) {
            const ssize_t got = ReadAt(check.Get(), again.data(), static_cast<size_t>(again.size()), compared);
            if (got < 0)
                return failAndClean(QStringLiteral("Could not read the copy back: %1.").arg(SystemError(errno)));
            const ssize_t original = ReadAt(in.Get(), buffer.data(), static_cast<size_t>(buffer.size()), compared);
            if (original < 0)
                return failAndClean(QStringLiteral("Could not read '%1': %2.").arg(source, SystemError(errno)));
            if (got != original || std::memcmp(again.constData(), buffer.constData(), static_cast<size_t>(got)) != 0)
                return failAndClean(QStringLiteral("The copy does not match the catalogue."));
            if (got == 0) break;
            compared += got;
            if (!report(total + compared)) return failAndClean(QString());
        }
        if (compared != copied) return failAndClean(QStringLiteral("The copy does not match the catalogue."));
    }
    // A copy equal to the catalogue is only as sound as the catalogue: a damaged
    // one must not replace an earlier, good backup. Every page is read and every
    // b-tree's structure and the rows' constraints checked; matching every index
    // against its table as well would take longer than the copy itself (a
    // catalogue with a gigabyte of images takes four times as long).
    QString damage;
    if (!CheckCatalogueFile(temp, nullptr, &damage, CheckDepth::Structure)) return failAndClean(damage);

    QString renameProblem;
    if (!RenameFile(temp, target, &renameProblem)) return failAndClean(renameProblem);
    SyncFolder(folder);
    return true;
}
