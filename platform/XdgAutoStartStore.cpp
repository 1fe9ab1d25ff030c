#include "platform/XdgAutoStartStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Characters a launcher would otherwise read as shell syntax or as an argument break.
bool NeedsQuotes(QChar c)
{
    return c.isSpace() || u"\"'\\<>~|&;$*?#()`"_s.contains(c);
}

// One argument of an Exec line: in double quotes when it needs them, with ", `, $ and \ escaped inside.
QString Quoted(const QString &argument)
{
    if (!argument.isEmpty() && std::none_of(argument.begin(), argument.end(), NeedsQuotes))
        return argument;
    QString out = u"\""_s;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += u'\\';
        out += c;
    }
    return out + u'"';
}

// A desktop-file string value: its escapes are undone before the Exec quoting is, so a backslash the
// quoting wrote must be doubled once more, and a line break would otherwise end the entry.
QString StringValue(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'\\')
            out += u"\\\\"_s;
        else if (c == u'\n')
            out += u"\\n"_s;
        else if (c == u'\t')
            out += u"\\t"_s;
        else if (c == u'\r')
            out += u"\\r"_s;
        else
            out += c;
    }
    // Leading blanks of a value are dropped by readers unless written as \s.
    if (out.startsWith(u' '))
        out.replace(0, 1, u"\\s"_s);
    return out;
}

// % starts a field code in Exec; a literal one is written %%.
QString ExecValue(const QString &command)
{
    return StringValue(Quoted(command)).replace(u'%', u"%%"_s);
}

QByteArray EntryText(const QString &name, const QString &command)
{
    // GNOME's session skips an autostart entry whose X-GNOME-Autostart-enabled is false; say true.
    return (u"[Desktop Entry]\nType=Application\nName="_s + StringValue(name) + u"\nExec="_s +
            ExecValue(command) + u"\nX-GNOME-Autostart-enabled=true\n"_s)
        .toUtf8();
}

} // namespace

XdgAutoStartStore::XdgAutoStartStore(QString configHome) : configHome_(std::move(configHome)) {}

QString XdgAutoStartStore::defaultConfigHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString XdgAutoStartStore::folder(AutoStartPlace place) const
{
    return QDir(configHome_).filePath(place == AutoStartPlace::Run ? u"autostart"_s : u"autostart-"_s);
}

bool XdgAutoStartStore::open(AutoStartPlace place)
{
    open_.reset();
    const QFileInfo info(folder(place));
    // Run may be missing and is made on the first write; RunDisabled must already be there.
    const bool usable = info.exists() ? info.isDir() && info.isWritable() : place == AutoStartPlace::Run;
    if (usable)
        open_ = place;
    return usable;
}

bool XdgAutoStartStore::remove(const QString &name)
{
    const std::optional<QString> path = entryPath(name);
    if (!path)
        return false;
    QFile::remove(*path);
    return !QFileInfo::exists(*path);
}

bool XdgAutoStartStore::set(const QString &name, const QString &command)
{
    const std::optional<QString> path = entryPath(name);
    if (!path || (*open_ == AutoStartPlace::Run && !QDir().mkpath(folder(*open_))))
        return false;
    QSaveFile out(*path);
    const QByteArray text = EntryText(name, command);
    return out.open(QIODevice::WriteOnly) && out.write(text) == text.size() && out.commit();
}

void XdgAutoStartStore::close()
{
    open_.reset();
}

std::optional<QString> XdgAutoStartStore::entryPath(const QString &name) const
{
    // The name comes from the executable's file name; a slash would lead the entry out of the folder.
    if (!open_ || name.isEmpty() || name.contains(u'/'))
        return std::nullopt;
    return QDir(folder(*open_)).filePath(name + u".desktop"_s);
}
