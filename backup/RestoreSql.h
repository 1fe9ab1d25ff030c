#pragma once

#include "backup/ServerMessage.h"

#include <QList>
#include <QString>

// One file of a backed-up database, as RESTORE FILELISTONLY lists it.
struct BackupFileEntry {
    QString logicalName;
    bool isLog = false;
    qint64 bytes = 0;
};

// The database a restore test creates beside the real one, and only ever this one.
QString ScratchDatabaseName(const QString &database);

// The free space a restore needs: the files' total and a fifth more, for the server's own growth.
qint64 NeededBytes(const QList<BackupFileEntry> &files);

// Where each file of the scratch database goes: data files in dataFolder, the log in logFolder, each
// named after the scratch database so the real database's files are never touched.
QString ScratchFilePath(const QString &scratch, const BackupFileEntry &file, int index,
                        const QString &dataFolder, const QString &logFolder);

QString FileListStatement(const QString &backupPath);
QString RestoreStatement(const QString &scratch, const QString &backupPath,
                         const QList<BackupFileEntry> &files, const QString &dataFolder,
                         const QString &logFolder);
QString CheckStatement(const QString &scratch);
QString DropStatement(const QString &scratch);

// What DBCC CHECKDB found, from its closing summary (8989).
struct CheckFindings {
    bool summarised = false; // the summary arrived: the check ran to its end
    bool damageSeen = false; // an error of the kinds DBCC reports damage in, summary or not
    int allocationErrors = 0;
    int consistencyErrors = 0;
    QStringList firstErrors; // the texts of the first errors, summaries left out
};

CheckFindings ReadCheckFindings(const ServerMessages &messages);
