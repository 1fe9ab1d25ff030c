#include "backup/CopyAndCheck.h"

#include "backup/RenameUnverified.h"
#include "platform/DiskSync.h"
#include "platform/Sha256.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Large enough that the disks, not the calls, set the pace.
constexpr qint64 kBlockBytes = 4LL * 1024 * 1024;
const QString kTemporarySuffix = u".KOPYALANIYOR"_s;

class TemporaryCopy {
public:
    explicit TemporaryCopy(const QString &path) : file_(path) {}
    ~TemporaryCopy()
    {
        if (!kept_) {
            file_.close();
            // A copy that failed must not be left to fill the disk; a folder gone takes it with it.
            if (QFile::exists(file_.fileName()) && !file_.remove())
                qWarning("temporary copy left behind: %s", qPrintable(file_.fileName()));
        }
    }
    TemporaryCopy(const TemporaryCopy &) = delete;
    TemporaryCopy &operator=(const TemporaryCopy &) = delete;

    QFile &file() { return file_; }
    void keep() { kept_ = true; }

private:
    QFile file_;
    bool kept_ = false;
};

struct Hashed {
    QByteArray sha256;
    qint64 bytes = 0;
};

// Reads `file` from its start to its end; with `target`, writes each block there too.
Result<Hashed> Stream(QFile &file, QFile *target, qint64 total, const CopyHooks &hooks)
{
    Sha256 hash;
    QByteArray block(kBlockBytes, Qt::Uninitialized);
    qint64 done = 0;
    int told = -1;
    for (;;) {
        if (hooks.cancelled && hooks.cancelled())
            return Failure{u"Kopyalama durduruldu; bir sonraki yedeklemede yeniden yapılacak."_s,
                           file.fileName()};
        const qint64 read = file.read(block.data(), block.size());
        if (read < 0)
            return Failure{u"Dosya okunamadı."_s, file.fileName() + u": "_s + file.errorString()};
        if (read == 0)
            break;
        if (target && target->write(block.constData(), read) != read)
            return Failure{u"İkinci kopya yerine yazılamadı: disk dolu ya da çıkarılmış olabilir."_s,
                           target->fileName() + u": "_s + target->errorString()};
        hash.add(QByteArrayView(block.constData(), read));
        done += read;
        if (target && hooks.progress && total > 0) {
            const int percent = int(done * 100 / total);
            if (percent != told)
                hooks.progress(told = percent);
        }
    }
    QByteArray digest = hash.result();
    if (digest.isEmpty())
        return Failure{u"SHA-256 hesaplanamadı."_s, file.fileName()};
    return Hashed{digest, done};
}

} // namespace

QString NumberedName(const QString &name, int number)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype at = dot > 0 ? dot : name.size();
    return name.left(at) + u'-' + QString::number(number) + name.mid(at);
}

Result<CheckedCopy> CopyAndCheck(const QString &source, const QString &folder, const CopyHooks &hooks)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return Failure{u"Yedek dosyası okunamadı."_s, source + u": "_s + input.errorString()};
    const QDir dir(folder.trimmed());
    if (!QFileInfo(dir.path()).isDir())
        return Failure{u"İkinci kopya yeri bulunamadı: USB disk takılı değil ya da ağ paylaşımına "
                       "ulaşılamıyor."_s,
                       dir.path()};
    const QString name = QFileInfo(source).fileName();

    TemporaryCopy temporary(dir.filePath(name + kTemporarySuffix));
    QFile &output = temporary.file();
    // A temporary file an earlier, cut-off copy left is this program's own: it is started afresh.
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return Failure{u"İkinci kopya yerine yazılamadı: klasöre yazma izni olmayabilir."_s,
                       output.fileName() + u": "_s + output.errorString()};
    const Result<Hashed> written = Stream(input, &output, input.size(), hooks);
    if (!written)
        return written.failure();
    if (!SyncToDiskAndForget(output))
        return Failure{u"İkinci kopya diske yazılamadı: disk dolu ya da çıkarılmış olabilir."_s,
                       output.fileName() + u": "_s + output.errorString()};
    output.close();

    if (hooks.beforeCheck)
        hooks.beforeCheck(output.fileName());
    if (!output.open(QIODevice::ReadOnly))
        return Failure{u"Yazılan kopya geri okunamadı: disk çıkarılmış olabilir."_s,
                       output.fileName() + u": "_s + output.errorString()};
    const Result<Hashed> reread = Stream(output, nullptr, 0, {.cancelled = hooks.cancelled});
    output.close();
    if (!reread)
        return reread.failure();
    if (reread->sha256 != written->sha256 || reread->bytes != written->bytes)
        return Failure{u"Yazılan kopya geri okunduğunda yedekle aynı değil: disk arızalı olabilir, "
                       "başka bir disk deneyin."_s,
                       u"%1: %2 bayt yazıldı, %3 bayt okundu"_s.arg(output.fileName())
                           .arg(written->bytes)
                           .arg(reread->bytes)};

    QString target = dir.filePath(name);
    for (int number = 2; IsTaken(target); ++number)
        target = dir.filePath(NumberedName(name, number));
    // QFile never replaces an existing target either: one that appeared since the look above stays.
    if (!output.rename(target))
        return Failure{u"Kopyanın adı verilemedi."_s,
                       u"%1 -> %2: %3"_s.arg(output.fileName(), target, output.errorString())};
    temporary.keep();
    return CheckedCopy{target, written->bytes};
}
