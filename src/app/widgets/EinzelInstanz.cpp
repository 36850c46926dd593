#include "app/widgets/EinzelInstanz.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#ifdef _WIN32
#include <windows.h>
#endif

namespace zanit {
namespace {

constexpr int kWartezeit = 1000;  // ms to reach a running instance
const QByteArray kBitte = "restore\n";

QString Benutzer() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    return user.isEmpty() ? QStringLiteral("user") : user;
}

}  // namespace

TEinzelInstanz::TEinzelInstanz(const QString& hive, QObject* parent)
    : QObject(parent), name_(Kanalname(hive)) {}

TEinzelInstanz::~TEinzelInstanz() {
    if (server_) server_->close();
}

QString TEinzelInstanz::Kanalname(const QString& hive) {
    const QString canonical = QFileInfo(hive).absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("zanit-wb-%1-%2").arg(Benutzer(), QString::fromLatin1(hash));
}

bool TEinzelInstanz::AndereInstanzGefunden() {
    // The lock makes "look, then listen" one step against a second start at the same moment.
    QLockFile lock(QDir(QDir::tempPath()).filePath(name_ + QStringLiteral(".lock")));
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
