#include "help/sitemap.h"

#include <QRegularExpression>

#include <optional>
#include <vector>

namespace mirvo {

namespace {

// Replaces the character references of an attribute value.
QString DecodeEntities(const QString& text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    static const QRegularExpression reference(QStringLiteral("&(#[0-9]+|#[xX][0-9A-Fa-f]+|[A-Za-z]+);"));
    QString out;
    qsizetype last = 0;
    auto it = reference.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        QString replacement = m.captured(0);
        if (name.startsWith(QLatin1String("#x")) || name.startsWith(QLatin1String("#X"))) {
            bool ok = false;
            const uint code = name.mid(2).toUInt(&ok, 16);
            if (ok)
                replacement = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else if (name.startsWith(QLatin1Char('#'))) {
            bool ok = false;
            const uint code = name.mid(1).toUInt(&ok, 10);
            if (ok)
                replacement = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else if (name == QLatin1String("amp")) {
            replacement = QStringLiteral("&");
        } else if (name == QLatin1String("lt")) {
            replacement = QStringLiteral("<");
        } else if (name == QLatin1String("gt")) {
            replacement = QStringLiteral(">");
        } else if (name == QLatin1String("quot")) {
            replacement = QStringLiteral("\"");
        } else if (name == QLatin1String("apos")) {
            replacement = QStringLiteral("'");
        }
        out += replacement;
        last = m.capturedEnd();
    }
    return out + text.mid(last);
}

QString Attribute(const QString& attributes, const QString& name)
{
    static const QRegularExpression attribute(
        QStringLiteral(R"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    auto it = attribute.globalMatch(attributes);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        for (int group = 2; group <= 4; ++group) {
            if (m.capturedStart(group) >= 0)
                return DecodeEntities(m.captured(group));
        }
    }
    return {};
}

// Builds one entry from the <param> tags of an OBJECT: the first Name is the
// entry's name; every Local is a page, titled by the Name before it.
class TEntryBuilder {
public:
    void Param(const QString& name, const QString& value)
    {
        if (name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0) {
            if (FEntry.name.isEmpty() && !FSeenName)
                FEntry.name = value;
            else
                FPendingTitle = value;
            FSeenName = true;
        } else if (name.compare(QLatin1String("Local"), Qt::CaseInsensitive) == 0) {
            FEntry.topics.append(THelpTopicRef{FPendingTitle.isEmpty() ? FEntry.name : FPendingTitle, value});
            FPendingTitle.clear();
        }
    }
    THelpSitemapEntry Take() { return std::move(FEntry); }

private:
    THelpSitemapEntry FEntry;
    QString FPendingTitle;
    bool FSeenName = false;
};

} // namespace

QList<THelpSitemapEntry> ParseSitemap(const QString& html)
{
    static const QRegularExpression tag(QStringLiteral(R"re(<\s*(/?)\s*([A-Za-z]+)([^>]*)>)re"));
    QList<THelpSitemapEntry> root;
    // The lists entries are added to; the last is the innermost open <UL>.
    // An inner list belongs to the last entry of the list around it, which
    // does not grow while the inner list is open, so the pointers stay valid.
    std::vector<QList<THelpSitemapEntry>*> open{&root};
    std::optional<TEntryBuilder> entry;
    bool dropping = false; // the last entry had no name and was left out

    auto it = tag.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        const QString attributes = m.captured(3);
        if (name == QLatin1String("object")) {
            if (!closing && Attribute(attributes, QStringLiteral("type")).compare(
                                QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0) {
                entry.emplace();
            } else if (closing && entry) {
                THelpSitemapEntry made = entry->Take();
                entry.reset();
                dropping = made.name.isEmpty();
                if (!dropping)
                    open.back()->append(std::move(made));
            }
        } else if (name == QLatin1String("param") && entry) {
            entry->Param(Attribute(attributes, QStringLiteral("name")), Attribute(attributes, QStringLiteral("value")));
        } else if (name == QLatin1String("ul")) {
            if (!closing) {
                QList<THelpSitemapEntry>* current = open.back();
                // A list that opens after an entry nests under it; the first
                // list of the file, and one after a left-out entry, stay at this level.
                open.push_back(current->isEmpty() || dropping ? current : &current->last().children);
                dropping = false;
            } else if (open.size() > 1) {
                open.pop_back();
            }
        }
    }
    return root;
}

} // namespace mirvo
