#include "support/WholeBackupFile.h"

#include "backupfile.h"

#include <QFile>

bool IsWholeBackupFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && tdstest::IsWholeBackup(file.readAll());
}
