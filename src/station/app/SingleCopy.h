// Only one station runs per program folder. The first copy holds a lock file
// and listens on a local socket; a later start finds the lock taken, asks the
// running copy to bring its window forward and ends without showing anything.
//
// Both live in the user's runtime folder (XDG_RUNTIME_DIR on Linux), not in
// the temporary folder, which the system ages and cleans.
//
// The lock names the program folder, so stations installed in different
// folders (and the tests' temporary program folders) never meet. A copy that
// was killed leaves a lock whose process is gone: the next start takes it over.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

namespace mw {

class SingleCopy : public QObject {
    Q_OBJECT

public:
    explicit SingleCopy(const QString& programDir);

    // True when no other copy runs; this copy then answers later starts.
    bool BecomeRunningCopy();
    // Asks the running copy to restore and raise its window; false when it
    // could not be reached.
    bool ActivateRunningCopy();

signals:
    // A later start asked this copy to come forward.
    void ActivationRequested();

private:
    void AnswerLaterStart();

    QString key_;
    QString folder_;      // where the lock and the socket are kept
    QString socketPath_;  // absolute, so Qt puts it nowhere else
    QLockFile lock_;
    QLocalServer server_;
};

}  // namespace mw
