#include "app/widgets/EinzelInstanz.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zanit {
namespace {

constexpr int kWartezeit = 1000;  // ms to reach a running instance
const QByteArray kBitte = "restore\n";

#ifdef _WIN32
QString Benutzer() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    return user.isEmpty() ? QStringLiteral("user") : user;
}
#endif

#ifndef _WIN32
// A folder only this user can enter: $XDG_RUNTIME_DIR when it is one, else "zanit-wb-<uid>" in the temporary
// folder, created with mode 0700. Empty when neither can be trusted (another user made the folder first).
QString PrivaterOrdner() {
    const auto privat = [](const QByteArray& path) {
        struct stat st {};
        return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
               (st.st_mode & 077) == 0;
    };
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && privat(runtime)) return QString::fromLocal8Bit(runtime);
    const QString folder = QDir(QDir::tempPath()).filePath(QStringLiteral("zanit-wb-%1").arg(::geteuid()));
    const QByteArray native = QFile::encodeName(folder);
    ::mkdir(native.constData(), 0700);
    return privat(native) ? folder : QString();
}

// Only a socket of this user counts as a running instance; anything else in its place is removed.
void EntferneFremdenKanal(const QString& kanal) {
    const QByteArray native = QFile::encodeName(kanal);
    struct stat st {};
    if (::lstat(native.constData(), &st) == 0 && (!S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid()))
        ::unlink(native.constData());
}
#endif

}  // namespace

TEinzelInstanz::TEinzelInstanz(const QString& hive, QObject* parent)
    : QObject(parent), name_(Kanalname(hive)) {}

TEinzelInstanz::~TEinzelInstanz() {
    if (server_) server_->close();
}

QString TEinzelInstanz::Kanalname(const QString& hive) {
    // The hive's real path: a hive reached through a link is the same hive.
    QString canonical = QFileInfo(hive).canonicalFilePath();
    if (canonical.isEmpty()) canonical = QFileInfo(hive).absoluteFilePath();  // not written yet
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
#ifdef _WIN32
    return QStringLiteral("zanit-wb-%1-%2").arg(Benutzer(), hash);
#else
    // A socket in a folder of this user only: no other user can take the name first.
    const QString folder = PrivaterOrdner();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QStringLiteral("zanit-wb-") + hash);
#endif
}

bool TEinzelInstanz::AndereInstanzGefunden() {
    if (name_.isEmpty()) return false;  // no private place for the channel: this start runs unguarded
#ifdef _WIN32
    const QString lockFile = QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock"));
#else
    const QString lockFile = name_ + QStringLiteral(".lock");
    EntferneFremdenKanal(name_);
#endif
    // The lock makes "look, then listen" one step against a second start at the same moment.
    QLockFile lock(lockFile);
    lock.setStaleLockTime(10000);
    lock.tryLock(5000);

    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(kWartezeit)) {
#ifdef _WIN32
        // Windows lets only the foreground process hand the foreground on.
        AllowSetForegroundWindow(ASFW_ANY);
#endif
        probe.write(kBitte);
        probe.waitForBytesWritten(kWartezeit);
        probe.disconnectFromServer();
        return true;
    }
    // Nobody answers: a socket left by a crashed run is removed before listening.
    QLocalServer::removeServer(name_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) return false;  // runs on without guarding against later starts
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            auto lesen = [this, s] {
                if (s->readAll().contains("restore")) emit Wiederherstellen();
            };
            connect(s, &QLocalSocket::readyRead, this, lesen);
            if (s->bytesAvailable() > 0) lesen();
        }
    });
    return false;
}

}  // namespace zanit
