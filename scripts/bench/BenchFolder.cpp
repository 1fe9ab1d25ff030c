#include "BenchFolder.h"

#include <QDir>
#include <QFile>
#include <QTime>

using namespace Qt::StringLiterals;

namespace {

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toUtf8()) == text.toUtf8().size();
}

} // namespace

BenchFolder::BenchFolder(quint16 port)
{
    if (!dir_.isValid() || !QDir(dir_.path()).mkdir(u"backups"_s))
        return;
    const QString connection =
        u"[ayar]\nsqladi=127.0.0.1\nport=%1\nsqlkullanici=sa\nsqlsifre=pw\nsqldata=STOK\n"_s.arg(port);
    const int farHour = (QTime::currentTime().hour() + 12) % 24;
    const QString backups = u"[ayar]\nsaklanacak-yer=%1\nkopyalama-zamani=%2\n"
                            u"kopyalama-araligi=Günlük yedekleme saatinde kopyala\n"_s.arg(backupFolder())
                                .arg(farHour, 2, 10, QLatin1Char('0'));
    valid_ = writeFile(dir_.filePath(u"KVZ.dll"_s), connection) &&
             writeFile(dir_.filePath(u"yedeklemeayar.txt"_s), backups);
}

QString BenchFolder::backupFolder() const
{
    return dir_.filePath(u"backups/"_s);
}
