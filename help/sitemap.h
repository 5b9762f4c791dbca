// The site maps of a help file: the table of contents (.hhc) and the index
// (.hhk), HTML lists of <OBJECT type="text/sitemap"> entries nested by <UL>.
#pragma once

#include <QList>
#include <QString>

namespace mirvo {

// One page an entry leads to: its title (may be empty) and its path in the
// help file ("intro.htm", "images/a.htm#part").
struct THelpTopicRef {
    QString title;
    QString local;
};

// An entry: its name (for the index: the keyword), the pages it leads to
// (none for a book of the contents) and the entries nested under it.
struct THelpSitemapEntry {
    QString name;
    QList<THelpTopicRef> topics;
    QList<THelpSitemapEntry> children;
};

// Reads a site map. Text outside the entries is ignored; an entry without a
// name is left out, and the entries nested under it move up one level.
// Lists left open at the end count as closed.
QList<THelpSitemapEntry> ParseSitemap(const QString& html);

} // namespace mirvo
