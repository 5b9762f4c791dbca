#include "help/chmfile.h"

#include "base/sjis.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <QRegularExpression>
#include <QStringDecoder>

#include <string>

#include <chm_lib.h>

namespace mirvo {

namespace {

// Codes of the entries of the system file (#SYSTEM).
constexpr quint16 kSystemContentsFile = 0;
constexpr quint16 kSystemIndexFile = 1;
constexpr quint16 kSystemDefaultTopic = 2;
constexpr quint16 kSystemTitle = 3;
constexpr quint16 kSystemLanguage = 4;
// The system file starts with a 32-bit version; each entry has a 16-bit code
// and a 16-bit length before its data.
constexpr int kSystemHeaderBytes = 4;
constexpr int kSystemEntryHeaderBytes = 4;
// The context map (#IVB) starts with its length in bytes; then pairs of
// 32-bit context number and offset into #STRINGS.
constexpr int kContextMapHeaderBytes = 4;
constexpr int kContextPairBytes = 8;
// A page names its charset near its start.
constexpr int kCharsetSearchBytes = 1024;

quint32 ReadLittle32(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 ReadLittle16(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + at;
    return quint16(p[0] | p[1] << 8);
}

// The zero-terminated text at `at`, up to the end of `bytes` at most.
QByteArray TerminatedText(const QByteArray& bytes, qsizetype at)
{
    if (at < 0 || at >= bytes.size())
        return {};
    const qsizetype end = bytes.indexOf('\0', at);
    return bytes.mid(at, (end < 0 ? bytes.size() : end) - at);
}

QString ObjectKey(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p.startsWith(QLatin1Char('/')) ? p : QLatin1Char('/') + p;
}

bool ValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

int CollectPath(chmFile*, chmUnitInfo* info, void* context)
{
    static_cast<QStringList*>(context)->append(QString::fromUtf8(info->path));
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

QString DecodeHelpText(const QByteArray& bytes)
{
    static const QRegularExpression charsetPattern(QStringLiteral(R"re(charset\s*=\s*["']?([A-Za-z0-9_\-]+))re"),
                                                   QRegularExpression::CaseInsensitiveOption);
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    const QString head = QString::fromLatin1(body.left(kCharsetSearchBytes));
    const QString charset = charsetPattern.match(head).captured(1).toLower();
    const bool saysJapanese = charset == QLatin1String("shift_jis") || charset == QLatin1String("x-sjis")
        || charset == QLatin1String("windows-31j") || charset == QLatin1String("cp932")
        || charset == QLatin1String("ms_kanji");
    if (!saysJapanese && (charset == QLatin1String("utf-8") || ValidUtf8(body)))
        return QString::fromUtf8(body);
    return QString::fromStdString(koyomi::Cp932ToUtf8(std::string_view(body.constData(), std::size_t(body.size()))));
}

THelpLocation ParseHelpLocation(const QString& url)
{
    THelpLocation location;
    QString rest = url.trimmed();
    for (const QLatin1String prefix : {QLatin1String("mk:@MSITStore:"), QLatin1String("ms-its:")}) {
        if (rest.startsWith(prefix, Qt::CaseInsensitive)) {
            rest = rest.mid(prefix.size());
            break;
        }
    }
    const int windowMark = rest.lastIndexOf(QLatin1Char('>'));
    if (windowMark >= 0) {
        location.window = rest.mid(windowMark + 1);
        rest = rest.left(windowMark);
    }
    const int separator = rest.indexOf(QLatin1String("::"));
    if (separator < 0) {
        location.file = rest;
        return location;
    }
    location.file = rest.left(separator);
    QString topic = rest.mid(separator + 2);
    while (topic.startsWith(QLatin1Char('/')) || topic.startsWith(QLatin1Char('\\')))
        topic.remove(0, 1);
    location.topic = topic;
    return location;
}

std::unique_ptr<TChmFile> TChmFile::Open(const QString& path)
{
    if (path.isEmpty() || !QFile::exists(path))
        return nullptr;
#ifdef PPC_BSTR
    // The Windows chmlib opens the file by its UTF-16 name (CreateFileW).
    std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    chmFile* handle = chm_open(name.data());
#else
    chmFile* handle = chm_open(QFile::encodeName(path).constData());
#endif
    if (!handle)
        return nullptr;
    std::unique_ptr<TChmFile> file(new TChmFile(handle, path));
    file->ReadSystemFile();
    return file;
}

TChmFile::TChmFile(chmFile* handle, const QString& path)
    : FHandle(handle)
    , FPath(path)
{
}

TChmFile::~TChmFile()
{
    chm_close(FHandle);
}

std::optional<QByteArray> TChmFile::ReadObject(const QString& path) const
{
    chmUnitInfo info{};
    const QByteArray key = ObjectKey(path).toUtf8();
    if (key.size() > CHM_MAX_PATHLEN || chm_resolve_object(FHandle, key.constData(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    QByteArray bytes(qsizetype(info.length), Qt::Uninitialized);
    if (info.length == 0)
        return bytes;
    const LONGINT64 read = chm_retrieve_object(FHandle, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                                               LONGINT64(info.length));
    if (read != LONGINT64(info.length))
        return std::nullopt;
    return bytes;
}

bool TChmFile::HasObject(const QString& path) const
{
    chmUnitInfo info{};
    const QByteArray key = ObjectKey(path).toUtf8();
    return key.size() <= CHM_MAX_PATHLEN && chm_resolve_object(FHandle, key.constData(), &info) == CHM_RESOLVE_SUCCESS;
}

QStringList TChmFile::ObjectPaths() const
{
    QStringList paths;
    chm_enumerate(FHandle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &CollectPath, &paths);
    return paths;
}

void TChmFile::ReadSystemFile()
{
    const std::optional<QByteArray> system = ReadObject(QStringLiteral("/#SYSTEM"));
    if (!system)
        return;
    const QByteArray& bytes = *system;
    qsizetype at = kSystemHeaderBytes;
    while (at + kSystemEntryHeaderBytes <= bytes.size()) {
        const quint16 code = ReadLittle16(bytes, at);
        const quint16 length = ReadLittle16(bytes, at + 2);
        const qsizetype data = at + kSystemEntryHeaderBytes;
        if (data + length > bytes.size())
            break;
        const QByteArray entry = bytes.mid(data, length);
        switch (code) {
        case kSystemContentsFile:
            FContentsFile = DecodeHelpText(TerminatedText(entry, 0));
            break;
        case kSystemIndexFile:
            FIndexFile = DecodeHelpText(TerminatedText(entry, 0));
            break;
        case kSystemDefaultTopic:
            FDefaultTopic = DecodeHelpText(TerminatedText(entry, 0));
            break;
        case kSystemTitle:
            FTitle = DecodeHelpText(TerminatedText(entry, 0));
            break;
        case kSystemLanguage:
            if (entry.size() >= 4)
                FLanguage = ReadLittle32(entry, 0);
            break;
        default:
            break;
        }
        at = data + length;
    }
}

QString TChmFile::ExistingObjectPath(QString path) const
{
    // Some compilers store the page with the folder it was compiled in
    // ("/build/help/intro.htm"): drop leading folders until the page is found.
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (!path.isEmpty()) {
        if (HasObject(path))
            return ObjectKey(path);
        const int slash = path.indexOf(QLatin1Char('/'), 1);
        if (slash < 0)
            break;
        path = path.mid(slash);
    }
    return {};
}

QString TChmFile::TopicForContext(std::uint32_t context) const
{
    const std::optional<QByteArray> map = ReadObject(QStringLiteral("/#IVB"));
    const std::optional<QByteArray> strings = ReadObject(QStringLiteral("/#STRINGS"));
    if (!map || !strings || map->size() < kContextMapHeaderBytes)
        return {};
    const qsizetype end = std::min<qsizetype>(map->size(), kContextMapHeaderBytes + ReadLittle32(*map, 0));
    for (qsizetype at = kContextMapHeaderBytes; at + kContextPairBytes <= end; at += kContextPairBytes) {
        if (ReadLittle32(*map, at) == context)
            return ExistingObjectPath(DecodeHelpText(TerminatedText(*strings, ReadLittle32(*map, at + 4))));
    }
    return {};
}

} // namespace mirvo
