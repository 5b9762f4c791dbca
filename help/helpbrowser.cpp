#include "help/helpbrowser.h"

#include "base/error.h"
#include "base/messages.h"
#include "base/stringtable.h"
#include "help/chmfile.h"

#include <QDesktopServices>
#include <QTextDocument>

namespace mirvo {

namespace {

bool IsExternalScheme(const QString& scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")
        || scheme == QLatin1String("ftp");
}

QString MissingPage(const QString& path)
{
    const QString message = QString::fromStdString(
        koyomi::FormatMessage(LoadStr(kPageMissingMessage), path.toStdString()));
    return QStringLiteral("<html><body><p>%1</p></body></html>").arg(message.toHtmlEscaped());
}

} // namespace

QUrl HelpPageUrl(const QString& topic)
{
    QString path = topic;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString fragment;
    const int hash = path.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        fragment = path.mid(hash + 1);
        path = path.left(hash);
    }
    QUrl url;
    url.setScheme(QString::fromLatin1(kHelpUrlScheme));
    url.setPath(path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}

THelpBrowser::THelpBrowser(QWidget* parent)
    : QTextBrowser(parent)
{
    // Links are followed here: QTextBrowser would hand relative links of a
    // page with an address of its own scheme to the desktop.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &THelpBrowser::FollowLink);
}

void THelpBrowser::SetHelpFile(std::shared_ptr<const TChmFile> file)
{
    FFile = std::move(file);
}

void THelpBrowser::FollowLink(const QUrl& link)
{
    if (IsExternalScheme(link.scheme())) {
        QDesktopServices::openUrl(link);
        return;
    }
    QUrl target = source().resolved(link);
    if (link.scheme().compare(QLatin1String("ms-its"), Qt::CaseInsensitive) == 0
        || link.toString().startsWith(QLatin1String("mk:@MSITStore:"), Qt::CaseInsensitive)) {
        // A link written for the desktop's viewer; within this help file only.
        const THelpLocation location = ParseHelpLocation(link.toString());
        if (location.topic.isEmpty())
            return;
        target = HelpPageUrl(location.topic);
    }
    if (target.scheme() == QLatin1String(kHelpUrlScheme))
        setSource(target);
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name)
{
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    // A help page reads from its own help file only, never from the disk or the net.
    if (url.scheme() != QLatin1String(kHelpUrlScheme) || !FFile)
        return {};
    const std::optional<QByteArray> bytes = FFile->ReadObject(url.path());
    switch (type) {
    case QTextDocument::HtmlResource:
        return bytes ? DecodeHelpText(*bytes) : MissingPage(url.path().mid(1));
    case QTextDocument::StyleSheetResource:
        return bytes ? QVariant(DecodeHelpText(*bytes)) : QVariant();
    default:
        return bytes ? QVariant(*bytes) : QVariant();
    }
}

} // namespace mirvo
