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
#include <QImage>
#include <QPainter>

#include <cerrno>

namespace mirvo {

namespace {

constexpr const char* kSvgSuffix = ".svg";

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
    QFileDialog dialog(parent, caption, QString(), filters);
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
    return dialog.selectedFiles().constFirst();
}

} // namespace mirvo
