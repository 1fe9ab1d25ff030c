#pragma once

#include <QString>

// What the settings window tells the user, each in one place so that tests compare the very text.
QString SavedMessage(bool connectionFieldsUnsaved);
QString SaveFailedMessage(const QString &file);
QString ConnectionSavedMessage();
QString ConnectionNotSavedMessage(const QString &file);
QString ConnectionFailedMessage(const QString &reason);
// A test's result once the connection was made: the driver that made it may not check the server's
// certificate, and the user is told so under the result.
QString ConnectionMadeMessage(const QString &result, const QString &driver);
QString FolderTooLongMessage(qsizetype length);
QString KeepDaysRefusedMessage(const QString &text);
QString SecondKeepDaysRefusedMessage(const QString &text);
// Said after "AYARLAR KAYIT EDİLDİ" when the second copy's folder cannot be seen from here now.
QString SecondFolderNotSeenText(const QString &folder);
QString RestoreTestDaysRefusedMessage(const QString &text);
