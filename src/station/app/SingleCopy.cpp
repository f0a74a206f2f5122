#include "station/app/SingleCopy.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace mw {
namespace {

constexpr const char kActivate[] = "activate\n";

QString KeyFor(const QString& programDir) {
    const QByteArray folder = QDir(programDir).canonicalPath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex();
    return QStringLiteral("mirrorwise-%1").arg(QString::fromLatin1(hash.left(16)));
}

// The lock and the socket live with the user's other runtime files: the
// system ages and cleans the temporary folder, and a running copy whose lock
// or socket was swept away would no longer be found by a later start.
QString RuntimeFolder() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

}  // namespace

SingleCopy::SingleCopy(const QString& programDir)
    : key_(KeyFor(programDir)),
      folder_(RuntimeFolder()),
      socketPath_(QDir(folder_).filePath(key_ + QStringLiteral(".socket"))),
      lock_(QDir(folder_).filePath(key_ + QStringLiteral(".lock"))) {
    // A running copy's lock never goes stale by age, however long it runs;
    // only a lock whose process has gone is taken over.
    lock_.setStaleLockTime(0);
    connect(&server_, &QLocalServer::newConnection, this, &SingleCopy::AnswerLaterStart);
}

bool SingleCopy::BecomeRunningCopy() {
    if (!lock_.tryLock(0)) return false;
    // Holding the lock, any socket of that name was left by a killed copy.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(socketPath_);
    return true;
}

bool SingleCopy::ActivateRunningCopy() {
    // The running copy may have just taken the lock and not be listening yet.
    for (int attempt = 0; attempt < 20; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(500)) {
            socket.write(kActivate);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(100);
    }
    return false;
}

void SingleCopy::AnswerLaterStart() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->canReadLine() && socket->readLine() == kActivate)
                emit ActivationRequested();
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}

}  // namespace mw
