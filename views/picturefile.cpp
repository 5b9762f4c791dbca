#include "views/picturefile.h"

#include "base/harmlesstext.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "base/systemerror.h"
#include "base/wholefile.h"
#include "components/japanese.h"
#include "components/qtext.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QStandardPaths>

#include <cerrno>

namespace mirvo {

namespace {

constexpr const char* kSvgSuffix = ".svg";
constexpr const char* kPngSuffix = ".png";

bool IsPictureName(const QString& name)
{
    return name.endsWith(QLatin1String(kPngSuffix), Qt::CaseInsensitive)
           || name.endsWith(QLatin1String(kSvgSuffix), Qt::CaseInsensitive);
}

// The folder chosen last in this run for pictures, or for other files
// (calendar files); empty before the first choice.
QString& LastFolderFor(const QString& name)
{
    static QString pictures;
    static QString others;
    return IsPictureName(name) ? pictures : others;
}

// Where a save dialog for `name` opens: the folder chosen last for the same
// kind of file, else the user's ピクチャ for pictures and ドキュメント for
// other files (the shell's known folders on Windows, the XDG user folders
// elsewhere), else the home folder.
QString StartFolderFor(const QString& name)
{
    const QString& last = LastFolderFor(name);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString known = QStandardPaths::writableLocation(IsPictureName(name) ? QStandardPaths::PicturesLocation
                                                                                : QStandardPaths::DocumentsLocation);
    return !known.isEmpty() && QFileInfo(known).isDir() ? known : QDir::homePath();
}

// A file name as a message quotes it: shown, never obeyed (a line break in it starts no line).
QString Shown(const QString& path)
{
    return QString::fromStdString(HarmlessText(QDir::toNativeSeparators(path).toStdString()));
}

} // namespace

QByteArray PngBytes(QSize logical, const PaintFunction& paint, qreal scale)
{
    QImage image(logical * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paint(painter);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

std::optional<QString> WriteFileBytes(const QString& path, const QByteArray& bytes, int failureMessageId)
{
    try {
        CheckWriteAllowed(PathFromQ(path));
    } catch (const koyomi::EMirvoError& e) {
        return QString::fromStdString(e.what());
    }
    // What an earlier save of this name left when it was stopped goes first.
    RemoveLeftoverTemporaries(PathFromQ(path));
    errno = 0;
    if (ReplaceWholeFile(PathFromQ(path),
                         std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
        return std::nullopt;
    const int error = errno;
    QString message = QString::fromStdString(LoadStr(failureMessageId)).arg(Shown(path));
    if (error != 0)
        message += "\n" + QString::fromStdString(SystemErrorText(error));
    return message;
}

std::optional<QString> WritePicture(const QString& path, QSize logical, const PaintFunction& paint,
                                    const QString& title)
{
    const bool svg = path.endsWith(kSvgSuffix, Qt::CaseInsensitive);
    const QByteArray bytes = svg ? SvgBytes(logical, paint, title) : PngBytes(logical, paint);
    if (bytes.isEmpty())
        return QString::fromStdString(LoadStr(kMsgPictureNotSaved)).arg(Shown(path));
    return WriteFileBytes(path, bytes, kMsgPictureNotSaved);
}

QString SuggestedFileName(const std::string& memberName, koyomi::TDateTime day, const char* dayPattern,
                          const QString& suffix)
{
    QString name = QString::fromStdString(LoadStr(kTextMirvo));
    if (!memberName.empty()) {
        QString member = QString::fromStdString(memberName);
        for (QChar& c : member)
            if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>'
                || c == '|' || c.category() == QChar::Other_Control || c.isSpace())
                c = '_';
        name += "_" + member;
    }
    return name + "_" + QString::fromStdString(koyomi::FormatDateTime(dayPattern, day)) + suffix;
}

QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested, const QString& filters)
{
    // A bare name opens where files of its kind went last; a whole path where it points.
    const bool bareName = QFileInfo(suggested).fileName() == suggested;
    QFileDialog dialog(parent, caption, bareName ? StartFolderFor(suggested) : QString(), filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    JapaneseFileList(dialog);
    dialog.selectFile(suggested);
    // The filter that matches the suggested name's suffix first.
    for (const QString& filter : filters.split(";;"))
        if (filter.contains("*" + suggested.mid(suggested.lastIndexOf('.'))))
            dialog.selectNameFilter(filter);
    const auto suffixOf = [](const QString& filter) {
        const int star = filter.indexOf("*.");
        return star < 0 ? QString() : filter.mid(star + 2, filter.indexOf(')', star) - star - 2);
    };
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixOf](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    if (bareName)
        LastFolderFor(suggested) = QFileInfo(chosen).absolutePath();
    return chosen;
}

} // namespace mirvo
