#pragma once
// One running program per user and machine hive: a second start finds the first, asks it to come to the
// front restored, and ends without a message. The first instance listens on a local channel (a socket on
// POSIX, a named pipe on Windows) named after the hive's real path: on POSIX in $XDG_RUNTIME_DIR or a
// folder of mode 0700 that only this user can enter, so that no other user can occupy the name.
#include <QObject>
#include <QString>

class QLocalServer;

namespace zanit {

class TEinzelInstanz : public QObject {
    Q_OBJECT
public:
    // `hive` is the path of the settings hive the program runs on: programs on different hives (tests,
    // several installations) do not meet.
    explicit TEinzelInstanz(const QString& hive, QObject* parent = nullptr);
    ~TEinzelInstanz() override;

    // True when another instance was found and told to come to the front; otherwise this process now
    // answers later starts.
    bool AndereInstanzGefunden();

    // POSIX: the socket's full path, empty when no private folder can be had; Windows: the pipe's name.
    static QString Kanalname(const QString& hive);

signals:
    void Wiederherstellen();  // a later start asked this instance to come to the front

private:
    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace zanit
