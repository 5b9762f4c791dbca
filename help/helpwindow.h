// THelpWindow: the program's help window. It shows one help file (.chm): the
// table of contents and the keyword index on the left, the page on the right.
#pragma once

#include "help/sitemap.h"

#include <QMultiHash>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class QTreeWidget;
class QTreeWidgetItem;

namespace Ui {
class THelpWindow;
}

namespace mirvo {

class TChmFile;

class THelpWindow final : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    ~THelpWindow() override;

    // Opens a help file, or keeps it when it is open already; false when it
    // cannot be read (the window then keeps what it showed).
    bool OpenFile(const QString& path);
    QString FilePath() const;
    // Shows a page of the help file ("intro.htm", "a.htm#part"; empty: the
    // file's first page). A missing page shows a page saying so; returns
    // whether the page exists.
    bool ShowTopic(const QString& topic);
    // The page shown, as its path in the help file ("/intro.htm"); empty before the first.
    QString CurrentTopic() const;
    // Brings the table of contents forward.
    void ShowContents();
    // Brings the index forward with `keyword` typed into it.
    void ShowIndex(const QString& keyword);
    // The pages of index keywords (compared without regard to case), in index order, without repeats.
    QList<THelpTopicRef> KeywordTopics(const QStringList& keywords) const;
    // The pages that carry one of the associative-link names (their ALink Name objects).
    QList<THelpTopicRef> AssociativeTopics(const QStringList& names);
    // Shows the first of the found pages and brings the index forward at `keyword`.
    void ShowFoundTopics(const QString& keyword, const QList<THelpTopicRef>& topics);
    // Shows the window in front. While a modal window is open the help window
    // belongs to it, so that it can be used; it is let go when that window hides.
    // A window that was not showing opens centred over the window that asked
    // for it (the active one), within that window's screen.
    void Present();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillContents();
    void FillIndex();
    void OpenContentsItem(QTreeWidgetItem* item);
    void OpenIndexItem(QTreeWidgetItem* item);
    void FindKeyword(const QString& text);
    void MarkContentsItem(const QUrl& page);
    void FollowModalOwner();
    void PlaceOver(const QWidget* asker);
    void ReleaseModalOwner();
    void CollectAssociativeLinks();

    std::unique_ptr<Ui::THelpWindow> ui;
    std::shared_ptr<const TChmFile> FFile;
    QList<THelpSitemapEntry> FContents;
    QList<THelpSitemapEntry> FIndex;
    // Associative-link name (lower case) -> pages; read from the pages when first needed.
    std::optional<QMultiHash<QString, THelpTopicRef>> FAssociativeLinks;
    QPointer<QWidget> FModalOwner;
    bool FMarking = false;
};

} // namespace mirvo
