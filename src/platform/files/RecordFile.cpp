#include "platform/files/RecordFile.h"

#include "platform/data/Connection.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RecordFile {

namespace {

// What went wrong with a file, as the operator reads it.
QString reason(int err) {
    switch (err) {
    case EACCES:
    case EPERM:
        return QStringLiteral("não há permissão de gravação na pasta ou no arquivo");
    case EROFS:
        return QStringLiteral("a pasta está em um disco somente de leitura");
    case ENOSPC:
        return QStringLiteral("não há espaço suficiente no disco");
    case EDQUOT:
        return QStringLiteral("a cota de disco foi excedida");
    case EFBIG:
        return QStringLiteral("o arquivo excede o tamanho permitido");
    case ENOENT:
        return QStringLiteral("a pasta não existe");
    case ENOTDIR:
        return QStringLiteral("o caminho da pasta não é uma pasta");
    case EISDIR:
        return QStringLiteral("já existe uma pasta com este nome");
    case EIO:
        return QStringLiteral("erro de leitura ou gravação no disco");
    case ENAMETOOLONG:
        return QStringLiteral("o nome do arquivo é longo demais");
    default:
        return QString::fromLocal8Bit(std::strerror(err));
    }
}

[[noreturn]] void fail(const char* what, const QString& path, int err) {
    throw FileError(QStringLiteral("Não foi possível %1 o arquivo \"%2\": %3.")
                        .arg(QLatin1String(what), path, reason(err)));
}

QString shown(const QByteArray& path) {
    return QFile::decodeName(path);
}

// Flushes a folder's entries (a rename inside it) to the disk.
void syncFolder(const QByteArray& folder, const QString& target) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        fail("gravar", target, errno);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    // Some file systems cannot flush a folder; the rename itself has happened then.
    if (rc != 0 && err != EINVAL && err != ENOTSUP)
        fail("gravar", target, err);
}

QByteArray folderOf(const QByteArray& path) {
    return QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
}

} // namespace

QByteArray bytesOf(const QList<QByteArray>& records) {
    qsizetype size = 0;
    for (const QByteArray& r : records)
        size += r.size() + 2;
    QByteArray out;
    out.reserve(size);
    for (const QByteArray& r : records) {
        out += r;
        out += "\r\n";
    }
    return out;
}

void writeAndSync(int fd, const QByteArray& content, const QString& path) {
    const char* p = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("gravar", path, errno);
        }
        if (n == 0)
            fail("gravar", path, EIO);
        p += n;
        left -= n;
    }
    // The data must be on the disk before the file takes the target's place: a file in place
    // whose last blocks never reached the disk would be a partial file.
    if (::fsync(fd) != 0)
        fail("gravar", path, errno);
}

StagedFile::StagedFile(const QString& target)
    : m_target(QFile::encodeName(QFileInfo(target).absoluteFilePath())) {}

StagedFile::~StagedFile() {
    if (m_installed)
        restore();
    if (!m_temp.isEmpty())
        ::unlink(m_temp.constData());
}

void StagedFile::write(const QByteArray& content) {
    const QString target = shown(m_target);
    const QByteArray folder = folderOf(m_target);
    QByteArray pattern =
        folder + "/." + QFile::encodeName(QFileInfo(target).fileName()) + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        fail("criar", target, errno);
    m_temp = pattern;
    // The new file gets the previous file's permissions, or those of any new file.
    struct stat st {};
    mode_t mode;
    if (::stat(m_target.constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    try {
        if (::fchmod(fd, mode) != 0)
            fail("criar", target, errno);
        writeAndSync(fd, content, target);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        fail("gravar", target, errno);
}

void StagedFile::install() {
    const QString target = shown(m_target);
    const QByteArray folder = folderOf(m_target);
    struct stat st {};
    m_hadPrevious = ::lstat(m_target.constData(), &st) == 0;
    if (m_hadPrevious) {
        // The previous file stays reachable under a second name until keep(), so that a
        // refused commit can put it back; the target path is never without a file meanwhile.
        m_previous = m_temp + ".anterior";
        if (::link(m_target.constData(), m_previous.constData()) != 0) {
            const int err = errno;
            m_previous.clear();
            fail("substituir", target, err);
        }
    }
    if (::rename(m_temp.constData(), m_target.constData()) != 0) {
        const int err = errno;
        if (!m_previous.isEmpty())
            ::unlink(m_previous.constData());
        m_previous.clear();
        fail("substituir", target, err);
    }
    m_temp.clear();
    m_installed = true;
    syncFolder(folder, target);
}

void StagedFile::restore() noexcept {
    if (!m_installed)
        return;
    m_installed = false;
    if (m_hadPrevious && !m_previous.isEmpty())
        ::rename(m_previous.constData(), m_target.constData());
    else
        ::unlink(m_target.constData());
    m_previous.clear();
    const int fd = ::open(folderOf(m_target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void StagedFile::keep() noexcept {
    m_installed = false;
    if (!m_previous.isEmpty())
        ::unlink(m_previous.constData());
    m_previous.clear();
}

void writeInTransaction(Connection& conn, const QString& target,
                        const std::function<QList<QByteArray>()>& databaseWork,
                        const std::function<void(const QByteArray&)>& checkContent) {
    // The order makes every failure undoable:
    //  1. the database work, in the transaction, gives the records (read in the same
    //     transaction that marks them, so another copy cannot change them in between);
    //  2. the content is checked as the bank will read it, when the caller gives a check;
    //     the whole file is written and flushed to a temporary file beside the target: a
    //     full disk or an unwritable folder fails here, with the target untouched;
    //  3. the file is put in place by a rename, the previous file kept under a second name;
    //  4. the commit. A refused commit (a busy database, a lost connection, a constraint
    //     checked at commit) puts the previous file back.
    // Putting the file in place after the commit instead would leave, when the rename fails,
    // a committed marking without its file, which nothing could undo; a file can always be
    // put back. Only the success message, after all of this, tells the operator it is done.
    StagedFile file(target);
    conn.beginTransaction();
    try {
        const QList<QByteArray> records = databaseWork();
        const QByteArray content = bytesOf(records);
        if (checkContent)
            checkContent(content);
        file.write(content);
        file.install();
        conn.commit();
    } catch (...) {
        try {
            conn.rollback();
        } catch (...) {
        }
        file.restore();
        throw;
    }
    file.keep();
}

} // namespace RecordFile
