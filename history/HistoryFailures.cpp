#include "history/HistoryFailures.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace {

// SQLite's primary result codes; the driver reports extended ones, which keep the primary in the low byte.
constexpr int kBusy = 5;
constexpr int kLocked = 6;
constexpr int kCorrupt = 11;
constexpr int kNotADatabase = 26;

int PrimaryCode(const QSqlError &error)
{
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number);
    return number ? code & 0xff : -1;
}

bool IsLocked(const QSqlError &error)
{
    return PrimaryCode(error) == kBusy || PrimaryCode(error) == kLocked;
}

QString Detail(const QSqlError &error)
{
    return error.nativeErrorCode().isEmpty() ? error.text()
                                             : error.text() + u" ("_s + error.nativeErrorCode() + u')';
}

QString WhatToDo(const QSqlError &error)
{
    return IsLocked(error) ? u"Dosya başka bir programda açık olabilir; o programı kapatın. Sorun sürerse "
                             "aşağıdaki iletiyi teknik desteğinize iletin."_s
                           : u"Program klasörüne yazılabildiğini ve diskte yer olduğunu kontrol edin; sorun "
                             "sürerse aşağıdaki iletiyi teknik desteğinize iletin."_s;
}

} // namespace

namespace HistoryFailures {

bool IsDamaged(const QSqlError &error)
{
    return PrimaryCode(error) == kCorrupt || PrimaryCode(error) == kNotADatabase;
}

Failure WriteFailure(const QString &path, const QSqlError &error)
{
    return {u"Yedekleme geçmişi yazılamadı (%1). Yedekleme bundan etkilenmedi. "_s.arg(
                QDir::toNativeSeparators(path)) +
                WhatToDo(error),
            Detail(error)};
}

Failure ReadFailure(const QString &path, const QSqlError &error)
{
    return {u"Yedekleme geçmişi okunamadı (%1). "_s.arg(QDir::toNativeSeparators(path)) + WhatToDo(error),
            Detail(error)};
}

Failure SetAsideFailure(const QString &path, const QString &detail)
{
    return {u"Yedekleme geçmişi yazılamadı: %1 dosyası bozuk ve kenara alınamadı. Yedekleme bundan "
            "etkilenmedi. Dosyayı program klasöründen silin ya da başka bir yere taşıyın; yeni bir geçmiş "
            "kendiliğinden başlar."_s.arg(QDir::toNativeSeparators(path)),
            detail};
}

Failure DamagedFailure(const QString &path, const QString &aside, const QSqlError &damage,
                       const QSqlError &retry)
{
    const QString reason =
        u"Yedekleme geçmişi dosyası (%1) bozuk olduğu için %2 adıyla kenara alındı ve yeni bir geçmiş "
        "başlatıldı; önceki kayıtlar kenara alınan dosyada duruyor. "_s.arg(QDir::toNativeSeparators(path),
                                                                            QDir::toNativeSeparators(aside));
    if (!retry.isValid())
        return {reason + u"Bu yedekleme yeni geçmişe yazıldı."_s, Detail(damage)};
    return {reason + u"Bu yedekleme yeni geçmişe de yazılamadı. "_s + WhatToDo(retry),
            Detail(damage) + u'\n' + Detail(retry)};
}

} // namespace HistoryFailures
