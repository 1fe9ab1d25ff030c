#include "backup/OwnBackups.h"

#include "backup/BackupPlan.h"

#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kStampLength = 14;
const QString kExtension = u".bak"_s;

bool IsAsciiDigits(QStringView text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// "2", "3", ... as PlanBackup writes them.
bool IsCopyNumber(QStringView text)
{
    return IsAsciiDigits(text) && text.front() != u'0' && text != u"1";
}

QDateTime StampOf(QStringView text)
{
    if (text.size() != kStampLength || !IsAsciiDigits(text))
        return {};
    const auto field = [&](qsizetype from, qsizetype length) { return text.mid(from, length).toInt(); };
    const QDate date(field(0, 4), field(4, 2), field(6, 2));
    const QTime time(field(8, 2), field(10, 2), field(12, 2));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

QString NamePart(const QString &database)
{
    const QString sample = BackupFileName(database, QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
    return sample.mid(kStampLength + 1).chopped(kExtension.size());
}

} // namespace

QList<OwnBackup> OwnBackups(const QList<FolderEntry> &entries, const QString &database)
{
    const QString part = NamePart(database);
    QSet<QString> names;
    for (const FolderEntry &entry : entries)
        names.insert(entry.name);
    // "STOK" gives its second copy of one second the very name "STOK-2" gives its first. PlanBackup numbers
    // a copy only when the first name of that second is taken, so a numbered name is ours only beside
    // that first name, and the database "STOK-2" leaves its name alone when "STOK"'s first name stands.
    const qsizetype dash = part.lastIndexOf(u'-');
    const QString shorterPart =
        dash > 0 && IsCopyNumber(QStringView(part).mid(dash + 1)) ? part.left(dash) : QString();

    QList<OwnBackup> own;
    for (const FolderEntry &entry : entries) {
        const QStringView name(entry.name);
        if (name.size() < kStampLength + 1 + kExtension.size() || name.at(kStampLength) != u'-' ||
            !name.endsWith(kExtension))
            continue;
        const QDateTime stamp = StampOf(name.left(kStampLength));
        if (!stamp.isValid())
            continue;
        const QString stampText = name.left(kStampLength).toString();
        const QStringView middle = name.mid(kStampLength + 1).chopped(kExtension.size());
        bool ours = false;
        if (middle == part)
            ours = shorterPart.isEmpty() || !names.contains(stampText + u'-' + shorterPart + kExtension);
        else if (middle.startsWith(part + u'-') && IsCopyNumber(middle.mid(part.size() + 1)))
            ours = names.contains(stampText + u'-' + part + kExtension);
        if (ours)
            own.append({entry, stamp});
    }
    return own;
}
