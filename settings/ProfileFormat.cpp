#include "settings/ProfileFormat.h"

#include "settings/Windows1254.h"

#include <QStringDecoder>
#include <algorithm>
#include <vector>

namespace ProfileFormat {
namespace {

struct Line {
    enum Kind { Other, Section, Key };
    Kind kind = Other;
    qsizetype begin = 0; // first byte of the line
    qsizetype end = 0;   // one past its last byte, line break excluded
    qsizetype next = 0;  // first byte of the next line (end, when there is no line break)
    QString name;
    QString value;
};

// The Windows functions drop blanks and tabs around names and values, nothing else: a password that ends
// in a non-breaking space must come back whole.
QStringView TrimBlanks(QStringView text)
{
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (!text.isEmpty() && blank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text;
}

QString DecodeLine(QByteArrayView bytes)
{
    // Most lines are ASCII, which every reading gives alike; a decoder is made only for the others.
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return static_cast<uchar>(byte) < 0x80; }))
        return QString::fromLatin1(bytes);
    // The file's own byte-order mark is dropped by the caller; one inside a line is part of its text.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return DecodeWindows1254(bytes);
    return text;
}

Line ParseLine(const QByteArray &content, qsizetype begin, qsizetype end)
{
    Line line;
    line.begin = begin;
    line.end = end;
    QByteArrayView bytes(content.constData() + begin, end - begin);
    // The Windows functions read a line as a C string: a NUL ends its text.
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        bytes = bytes.first(nul);
    if (begin == 0 && bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    // A blank line or a comment needs no decoding. No other byte decodes to a blank or a ';'.
    const auto first =
        std::find_if(bytes.begin(), bytes.end(), [](char byte) { return byte != ' ' && byte != '\t'; });
    if (first == bytes.end() || *first == ';')
        return line;
    const QString decoded = DecodeLine(bytes);
    const QStringView text = TrimBlanks(decoded);
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        line.kind = Line::Section;
        line.name = TrimBlanks(text.mid(1, close < 0 ? -1 : close - 1)).toString();
        return line;
    }
    const qsizetype equals = text.indexOf(u'=');
    line.kind = Line::Key;
    line.name = TrimBlanks(equals < 0 ? text : text.left(equals)).toString();
    if (equals >= 0)
        line.value = TrimBlanks(text.mid(equals + 1)).toString();
    return line;
}

// Lines end in LF, CR LF, or a lone CR (files from old editors). `use` is handed each line in turn, until
// it returns false.
template <typename Use> void EachLine(const QByteArray &content, Use &&use)
{
    qsizetype begin = 0;
    while (begin < content.size()) {
        qsizetype end = begin;
        while (end < content.size() && content.at(end) != '\n' && content.at(end) != '\r')
            ++end;
        qsizetype next = end;
        if (next < content.size())
            next +=
                content.at(next) == '\r' && next + 1 < content.size() && content.at(next + 1) == '\n' ? 2 : 1;
        Line line = ParseLine(content, begin, end);
        line.next = next;
        if (!use(std::move(line)))
            return;
        begin = next;
    }
}

std::vector<Line> Parse(const QByteArray &content)
{
    std::vector<Line> lines;
    EachLine(content, [&lines](Line &&line) {
        lines.push_back(std::move(line));
        return true;
    });
    return lines;
}

QByteArray LineBreakOf(const QByteArray &content)
{
    if (content.contains("\r\n"))
        return QByteArrayLiteral("\r\n");
    if (!content.contains('\n') && content.contains('\r'))
        return QByteArrayLiteral("\r");
    return QByteArrayLiteral("\n");
}

bool SameName(const QString &a, QStringView b)
{
    return QStringView(a).compare(TrimBlanks(b), Qt::CaseInsensitive) == 0;
}

// Index of the first line of the first section called `section`, or lines.size().
size_t FindSection(const std::vector<Line> &lines, QStringView section)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::Section && SameName(lines[i].name, section))
            return i;
    }
    return lines.size();
}

QString CutToCharacters(const QString &text, qsizetype count)
{
    qsizetype units = 0;
    for (qsizetype chars = 0; chars < count && units < text.size(); ++chars)
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size()) ? 2 : 1;
    return text.left(units);
}

bool FitsOnOneLine(QStringView text)
{
    return !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar(u'\0'));
}

} // namespace

// The first section of that name, read up to the next section or the key; the rest is never parsed.
Value Read(const QByteArray &content, QStringView section, QStringView key)
{
    Value found;
    bool inSection = false;
    EachLine(content, [&](Line &&line) {
        if (line.kind == Line::Section) {
            if (inSection)
                return false;
            inSection = SameName(line.name, section);
            return true;
        }
        if (!inSection || line.kind != Line::Key || !SameName(line.name, key))
            return true;
        found.text = CutToCharacters(line.value, kMaxValueLength);
        found.cut = found.text.size() < line.value.size();
        return false;
    });
    return found;
}

QString ReadText(const QByteArray &content, QStringView section, QStringView key)
{
    return Read(content, section, key).text;
}

std::optional<QByteArray> WithValue(const QByteArray &content, QStringView section, QStringView key,
                                    QStringView value)
{
    const QStringView sectionName = TrimBlanks(section);
    const QStringView keyName = TrimBlanks(key);
    if (sectionName.isEmpty() || keyName.isEmpty() || !FitsOnOneLine(section) || !FitsOnOneLine(key) ||
        !FitsOnOneLine(value) || sectionName.contains(u']') || keyName.contains(u'=') ||
        keyName.startsWith(u';') || keyName.startsWith(u'['))
        return std::nullopt;

    const QByteArray eol = LineBreakOf(content);
    const QByteArray keyLine = keyName.toUtf8() + '=' + value.toUtf8();
    const std::vector<Line> lines = Parse(content);
    const size_t sectionAt = FindSection(lines, section);

    if (sectionAt == lines.size()) {
        QByteArray result = content;
        if (!result.isEmpty() && !result.endsWith('\n') && !result.endsWith('\r'))
            result += eol;
        return result + '[' + sectionName.toUtf8() + ']' + eol + keyLine + eol;
    }

    size_t lastFilled = sectionAt;
    for (size_t i = sectionAt + 1; i < lines.size() && lines[i].kind != Line::Section; ++i) {
        if (lines[i].kind == Line::Key && SameName(lines[i].name, key)) {
            // The key keeps the spelling it has in the file; only its value changes.
            const QByteArray replaced = lines[i].name.toUtf8() + '=' + value.toUtf8();
            QByteArray result = content;
            return result.replace(lines[i].begin, lines[i].end - lines[i].begin, replaced);
        }
        if (lines[i].kind != Line::Other || lines[i].end > lines[i].begin)
            lastFilled = i;
    }

    const Line &after = lines[lastFilled];
    QByteArray result = content;
    if (after.next == after.end)
        return result + eol + keyLine;
    // Insert just behind the line break of the section's last filled line.
    return result.insert(after.next, keyLine + eol);
}

} // namespace ProfileFormat
