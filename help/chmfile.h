// TChmFile: read access to a compiled HTML Help file (.chm) through libchm:
// its pages, pictures and style sheets by path, and what its system file
// (#SYSTEM) and context map (#IVB, #STRINGS) say.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

struct chmFile;

namespace mirvo {

class TChmFile final {
public:
    // Opens the file; null when it is missing or is not a help file.
    static std::unique_ptr<TChmFile> Open(const QString& path);
    ~TChmFile();
    TChmFile(const TChmFile&) = delete;
    TChmFile& operator=(const TChmFile&) = delete;

    QString Path() const { return FPath; }
    // The bytes of the object at `path` ("/intro.htm"; case does not matter,
    // a missing leading '/' is added); nullopt when the file has no such object.
    std::optional<QByteArray> ReadObject(const QString& path) const;
    bool HasObject(const QString& path) const;
    // The paths of all ordinary objects (pages, pictures, style sheets,
    // contents and index), without the compiler's internal files.
    QStringList ObjectPaths() const;

    // From the system file; empty when the file does not say.
    QString Title() const { return FTitle; }
    QString DefaultTopic() const { return FDefaultTopic; }
    QString ContentsFile() const { return FContentsFile; }
    QString IndexFile() const { return FIndexFile; }
    // The language identifier (0x0411 Japanese); 0 when the file does not say.
    std::uint32_t Language() const { return FLanguage; }

    // The page of a help context number (the [MAP]/[ALIAS] sections of the
    // help project), as an object path; empty when the number is not mapped.
    QString TopicForContext(std::uint32_t context) const;

private:
    TChmFile(chmFile* handle, const QString& path);
    void ReadSystemFile();
    QString ExistingObjectPath(QString path) const;

    chmFile* FHandle;
    QString FPath;
    QString FTitle;
    QString FDefaultTopic;
    QString FContentsFile;
    QString FIndexFile;
    std::uint32_t FLanguage = 0;
};

// Decodes text of a help file: UTF-8 when the bytes are valid UTF-8 or the
// page says so in its charset, else code page 932 (the help files of this
// program's Japanese desktop).
QString DecodeHelpText(const QByteArray& bytes);

// Where a help request points: the help file, the page in it (may be empty)
// and the window name after '>' (may be empty). Accepts "x.chm",
// "x.chm::/page.htm#anchor", "x.chm::/page.htm>main" and the same behind
// "mk:@MSITStore:" or "ms-its:".
struct THelpLocation {
    QString file;
    QString topic;
    QString window;
};
THelpLocation ParseHelpLocation(const QString& url);

} // namespace mirvo
