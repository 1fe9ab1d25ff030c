#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

// One running copy per program folder: two copies (one started at login, one by hand) would both back
// up on every schedule. A second start asks the first to show its window and then ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the program folder; copies with the same key exclude each other, whichever user runs them.
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only copy. False when another copy runs; it has been asked to show itself.
    bool claim();

    // Gives the claim up, for an end that skips the destructors.
    void release();

    // From the folder's real path alone: a link, a relative path or another user's environment leads to the
    // same key.
    static QString keyFor(const QString &programFolder);

signals:
    void showRequested();

private:
    bool askRunningCopyToShow() const;

    QString name_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};
