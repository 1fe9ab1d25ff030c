#pragma once

#include "settings/Result.h"

#include <QString>
#include <QTemporaryDir>

// What the settings files of a program folder say. Each value left out names the loopback test server's
// login and database and the folder's own backup folder; a daily hour or interval left out is not
// written at all, as in a file the program has never saved.
struct ProgramSettings {
    QString server = QStringLiteral("127.0.0.1");
    QString database = QStringLiteral("STOK");
    QString login = QStringLiteral("sa");
    // The connection string has to quote it.
    QString password = QStringLiteral("Gizli;1");
    QString folder;
    QString dailyHour;
    QString interval;
};

// A program folder and a backup folder beside it, both removed with the object. The settings files are
// written by the program's own settings code, so they hold what the program itself would store.
class ProgramFolder {
public:
    ProgramFolder();

    bool isValid() const { return valid_; }
    QString path() const;
    // With the trailing separator the settings file holds.
    QString backupFolder() const;
    QString backupPath(const QString &fileName) const { return backupFolder() + fileName; }

    // Both settings files, the connection's naming the server at 127.0.0.1 (or settings.server) on port.
    Outcome write(quint16 port, const ProgramSettings &settings = {});

private:
    QTemporaryDir root_;
    bool valid_ = false;
};
