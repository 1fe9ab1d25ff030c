// libFuzzer target for the settings files' format (settings/ProfileFormat.h).
//
// Input layout: byte 0 is the section's length, byte 1 the key's, bytes 2 and 3 the value's (little
// endian); then the section, key and value bytes, each cut to what is left; the rest is the file content.
// Names and value are decoded from UTF-8, so a malformed sequence becomes U+FFFD: the program's names are
// constants and its values come from line edits, and a lone surrogate has no UTF-8 form any writer could
// store.
//
// Every violated property ends in __builtin_trap(), which libFuzzer reports with the input:
//  1. A write succeeds exactly when section and key are not blank and the three fit on one line of the
//     format: no CR, LF or NUL in any (a line break would let a value forge a key of its own), no "]" in the
//     section, no "=" in the key nor a ";" or "[" at its start (it would read as a comment or a section).
//     Anything else refused is a save the user is told has failed.
//  2. After a write, the written section and key read the value as the reader hands out any value:
//     blanks around it dropped, cut to 254 code points. Anything else is a value lost.
//  3. Every other section and key reads the same before and after, empty or not: the write changes one
//     line, and a second changed value would be data lost that the user never typed.
#include "settings/ProfileFormat.h"
#include "settings/Windows1254.h"

#include <QByteArray>
#include <QSet>
#include <QStringDecoder>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

using Pair = std::pair<QString, QString>;

void check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

// The next `length` bytes of the input, fewer when it ends sooner.
QByteArray take(const uint8_t *&data, size_t &size, size_t length)
{
    const size_t n = length < size ? length : size;
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(n));
    data += n;
    size -= n;
    return bytes;
}

bool holdsLineBreakOrNul(QStringView text)
{
    return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(u'\0'));
}

// The reader drops blanks and tabs around names and values, and nothing else.
QStringView blankTrimmed(QStringView text)
{
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);
    return text;
}

bool storable(QStringView section, QStringView key, QStringView value)
{
    const QStringView sectionName = blankTrimmed(section);
    const QStringView keyName = blankTrimmed(key);
    return !sectionName.isEmpty() && !keyName.isEmpty() && !holdsLineBreakOrNul(section) &&
           !holdsLineBreakOrNul(key) && !holdsLineBreakOrNul(value) && !sectionName.contains(u']') &&
           !keyName.contains(u'=') && !keyName.startsWith(u';') && !keyName.startsWith(u'[');
}

// The value as the reader hands it out: blanks and tabs dropped around it, then its first 254 code points.
// (QString::fromUcs4 would drop a leading U+FEFF as a byte order mark, so the cut is counted in UTF-16 units
// instead.)
QString asRead(QStringView value)
{
    const QStringView trimmed = blankTrimmed(value);
    const QList<uint> codePoints = trimmed.toUcs4();
    qsizetype units = 0;
    for (qsizetype i = 0; i < qMin(codePoints.size(), ProfileFormat::kMaxValueLength); ++i)
        units += QChar::requiresSurrogates(codePoints[i]) ? 2 : 1;
    return trimmed.first(units).toString();
}

QString decodeAsReader(QByteArrayView line)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(line);
    return utf8.hasError() ? DecodeWindows1254(line) : text;
}

// Each key with the section it stands under, lines ending in LF, CR LF or a lone CR and a NUL ending a
// line's text. Only the names to ask for are taken from here; a pair this misses only goes unchecked, so a
// coarse reading of the lines is enough.
void collectPairs(const QByteArray &content, QSet<Pair> &pairs)
{
    QString section;
    bool inSection = false;
    for (qsizetype begin = 0; begin < content.size();) {
        qsizetype end = begin;
        while (end < content.size() && content.at(end) != '\n' && content.at(end) != '\r')
            ++end;
        QByteArrayView line(content.constData() + begin, end - begin);
        if (const qsizetype nul = line.indexOf('\0'); nul >= 0)
            line.truncate(nul);
        if (begin == 0 && line.startsWith("\xEF\xBB\xBF"))
            line = line.sliced(3);
        begin = content.mid(end, 2) == "\r\n" ? end + 2 : end + 1;
        const QString decoded = decodeAsReader(line);
        const QString text = blankTrimmed(decoded).toString();
        if (text.startsWith(u'[')) {
            const qsizetype close = text.indexOf(u']');
            section = blankTrimmed(text.mid(1, close < 0 ? -1 : close - 1)).toString();
            inSection = true;
        } else if (inSection && !text.isEmpty() && !text.startsWith(u';')) {
            pairs.insert({section, blankTrimmed(text.left(text.indexOf(u'='))).toString()});
        }
    }
}

bool sameName(QStringView a, QStringView b)
{
    return blankTrimmed(a).compare(blankTrimmed(b), Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const size_t sectionLength = data[0];
    const size_t keyLength = data[1];
    const size_t valueLength = data[2] | static_cast<size_t>(data[3]) << 8;
    data += 4;
    size -= 4;
    const QString section = QString::fromUtf8(take(data, size, sectionLength));
    const QString key = QString::fromUtf8(take(data, size, keyLength));
    const QString value = QString::fromUtf8(take(data, size, valueLength));
    const QByteArray content = take(data, size, size);

    const std::optional<QByteArray> written = ProfileFormat::WithValue(content, section, key, value);
    check(written.has_value() == storable(section, key, value));
    if (!written)
        return 0;

    check(ProfileFormat::ReadText(*written, section, key) == asRead(value));

    QSet<Pair> pairs;
    collectPairs(content, pairs);
    collectPairs(*written, pairs);
    for (const Pair &pair : std::as_const(pairs)) {
        if (sameName(pair.first, section) && sameName(pair.second, key))
            continue;
        check(ProfileFormat::ReadText(content, pair.first, pair.second) ==
              ProfileFormat::ReadText(*written, pair.first, pair.second));
    }
    return 0;
}
