#include "help/helpwindow.h"

#include "components/windowplace.h"
#include "help/chmfile.h"
#include "help/helpbrowser.h"
#include "ui_helpwindow.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <functional>

namespace mirvo {

namespace {

constexpr int kTopicRole = Qt::UserRole;            // contents: the page; index: the pages (QStringList)
constexpr int kNavigationWidth = 240;               // pixels
constexpr int kPageWidth = 560;                     // pixels

QString PagePath(const QString& local)
{
    QString path = local;
    const int hash = path.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        path.truncate(hash);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

bool IsPage(const QString& path)
{
    return path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

void AddTopic(QList<THelpTopicRef>& topics, const THelpTopicRef& topic)
{
    const bool known = std::any_of(topics.cbegin(), topics.cend(), [&](const THelpTopicRef& t) {
        return PagePath(t.local).compare(PagePath(topic.local), Qt::CaseInsensitive) == 0;
    });
    if (!known)
        topics.append(topic);
}

void CollectKeywordTopics(const QList<THelpSitemapEntry>& entries, const QStringList& keywords,
                          QList<THelpTopicRef>& topics)
{
    for (const THelpSitemapEntry& entry : entries) {
        const bool wanted = std::any_of(keywords.cbegin(), keywords.cend(), [&](const QString& keyword) {
            return entry.name.trimmed().compare(keyword, Qt::CaseInsensitive) == 0;
        });
        if (wanted) {
            for (const THelpTopicRef& topic : entry.topics)
                AddTopic(topics, topic);
        }
        CollectKeywordTopics(entry.children, keywords, topics);
    }
}

QStringList SplitKeywords(const QStringList& keywords)
{
    QStringList out;
    for (const QString& keyword : keywords) {
        for (const QString& part : keyword.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!part.trimmed().isEmpty())
                out.append(part.trimmed());
        }
    }
    return out;
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const std::function<bool(QTreeWidgetItem*)>& wanted)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (wanted(*it))
            return *it;
    }
    return nullptr;
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , ui(std::make_unique<Ui::THelpWindow>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->pnlSplitter->setSizes({kNavigationWidth, kPageWidth});
    ui->pnlSplitter->setStretchFactor(1, 1);

    connect(ui->lstContents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OpenContentsItem(item); });
    connect(ui->lstContents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { OpenContentsItem(item); });
    connect(ui->txtKeyword, &QLineEdit::textEdited, this, &THelpWindow::FindKeyword);
    connect(ui->txtKeyword, &QLineEdit::returnPressed, this, [this] { OpenIndexItem(ui->lstIndex->currentItem()); });
    connect(ui->lstIndex, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { OpenIndexItem(item); });
    connect(ui->btnDisplay, &QPushButton::clicked, this, [this] { OpenIndexItem(ui->lstIndex->currentItem()); });
    connect(ui->btnBack, &QToolButton::clicked, ui->brwTopic, &QTextBrowser::backward);
    connect(ui->btnForward, &QToolButton::clicked, ui->brwTopic, &QTextBrowser::forward);
    connect(ui->brwTopic, &QTextBrowser::backwardAvailable, ui->btnBack, &QToolButton::setEnabled);
    connect(ui->brwTopic, &QTextBrowser::forwardAvailable, ui->btnForward, &QToolButton::setEnabled);
    connect(ui->btnHome, &QToolButton::clicked, this, [this] { ShowTopic(QString()); });
    connect(ui->btnHide, &QToolButton::toggled, ui->pnlNavigation, &QWidget::setHidden);
    // The signal comes before source() changes: the page is taken from it.
    connect(ui->brwTopic, &QTextBrowser::sourceChanged, this, &THelpWindow::MarkContentsItem);
}

THelpWindow::~THelpWindow()
{
    if (FModalOwner)
        FModalOwner->removeEventFilter(this);
}

bool THelpWindow::OpenFile(const QString& path)
{
    if (FFile && QFileInfo(FFile->Path()) == QFileInfo(path))
        return true;
    std::shared_ptr<const TChmFile> file = TChmFile::Open(path);
    if (!file)
        return false;
    FFile = std::move(file);
    FAssociativeLinks.reset();
    ui->brwTopic->SetHelpFile(FFile);
    ui->brwTopic->clearHistory();
    ui->brwTopic->clear();
    const QString title = FFile->Title();
    setWindowTitle(title.isEmpty() ? QFileInfo(path).completeBaseName() : title);

    const auto sitemap = [this](const QString& name) {
        const std::optional<QByteArray> bytes = name.isEmpty() ? std::nullopt : FFile->ReadObject(name);
        return bytes ? ParseSitemap(DecodeHelpText(*bytes)) : QList<THelpSitemapEntry>();
    };
    FContents = sitemap(FFile->ContentsFile());
    FIndex = sitemap(FFile->IndexFile());
    FillContents();
    FillIndex();
    return true;
}

QString THelpWindow::FilePath() const
{
    return FFile ? FFile->Path() : QString();
}

bool THelpWindow::ShowTopic(const QString& topic)
{
    if (!FFile)
        return false;
    QString page = topic;
    if (page.isEmpty())
        page = FFile->DefaultTopic();
    if (page.isEmpty() && !FContents.isEmpty()) {
        const QTreeWidgetItem* first = FindItem(ui->lstContents, [](QTreeWidgetItem* item) {
            return !item->data(0, kTopicRole).toString().isEmpty();
        });
        if (first)
            page = first->data(0, kTopicRole).toString();
    }
    const QUrl url = HelpPageUrl(page);
    ui->brwTopic->setSource(url);
    return FFile->HasObject(url.path());
}

QString THelpWindow::CurrentTopic() const
{
    return ui->brwTopic->source().path();
}

void THelpWindow::ShowContents()
{
    ui->btnHide->setChecked(false);
    ui->pnlNavigation->setCurrentWidget(ui->tabContents);
}

void THelpWindow::ShowIndex(const QString& keyword)
{
    ui->btnHide->setChecked(false);
    ui->pnlNavigation->setCurrentWidget(ui->tabIndex);
    ui->txtKeyword->setText(keyword);
    FindKeyword(keyword);
    ui->txtKeyword->setFocus();
}

QList<THelpTopicRef> THelpWindow::KeywordTopics(const QStringList& keywords) const
{
    QList<THelpTopicRef> topics;
    CollectKeywordTopics(FIndex, SplitKeywords(keywords), topics);
    return topics;
}

QList<THelpTopicRef> THelpWindow::AssociativeTopics(const QStringList& names)
{
    CollectAssociativeLinks();
    QList<THelpTopicRef> topics;
    for (const QString& name : SplitKeywords(names)) {
        QList<THelpTopicRef> found = FAssociativeLinks->values(name.toLower());
        std::sort(found.begin(), found.end(), [](const THelpTopicRef& a, const THelpTopicRef& b) {
            return a.local < b.local;
        });
        for (const THelpTopicRef& topic : found)
            AddTopic(topics, topic);
    }
    return topics;
}

void THelpWindow::ShowFoundTopics(const QString& keyword, const QList<THelpTopicRef>& topics)
{
    ShowIndex(keyword);
    if (!topics.isEmpty())
        ShowTopic(topics.first().local);
}

void THelpWindow::Present()
{
    QWidget* asker = QApplication::activeWindow();
    if (!asker || asker == this)
        asker = QApplication::activeModalWidget();
    if (!isVisible()) {
        // Never larger than the screen's work area, at any scale.
        mirvo::KeepOnScreen(*this);
        PlaceOver(asker);
    }
    FollowModalOwner();
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void THelpWindow::PlaceOver(const QWidget* asker)
{
    if (!asker || asker == this)
        return;
    QRect placed(QPoint(0, 0), frameGeometry().size());
    placed.moveCenter(asker->frameGeometry().center());
    if (const QScreen* screen = asker->screen()) {
        const QRect area = screen->availableGeometry();
        placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() + 1 - placed.width())));
        placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() + 1 - placed.height())));
    }
    move(placed.topLeft());
}

bool THelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FModalOwner && event->type() == QEvent::Hide)
        ReleaseModalOwner();
    return QWidget::eventFilter(watched, event);
}

void THelpWindow::FillContents()
{
    ui->lstContents->clear();
    const QIcon book = style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon page = style()->standardIcon(QStyle::SP_FileIcon);
    std::function<void(const QList<THelpSitemapEntry>&, QTreeWidgetItem*)> add;
    add = [&](const QList<THelpSitemapEntry>& entries, QTreeWidgetItem* parent) {
        for (const THelpSitemapEntry& entry : entries) {
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui->lstContents);
            item->setText(0, entry.name);
            item->setIcon(0, entry.children.isEmpty() && !entry.topics.isEmpty() ? page : book);
            if (!entry.topics.isEmpty())
                item->setData(0, kTopicRole, entry.topics.first().local);
            add(entry.children, item);
        }
    };
    add(FContents, nullptr);
    ui->lstContents->expandAll();
}

void THelpWindow::FillIndex()
{
    ui->lstIndex->clear();
    std::function<void(const QList<THelpSitemapEntry>&, QTreeWidgetItem*)> add;
    add = [&](const QList<THelpSitemapEntry>& entries, QTreeWidgetItem* parent) {
        for (const THelpSitemapEntry& entry : entries) {
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui->lstIndex);
            item->setText(0, entry.name);
            QStringList locals;
            for (const THelpTopicRef& topic : entry.topics)
                locals.append(topic.local);
            item->setData(0, kTopicRole, locals);
            add(entry.children, item);
        }
    };
    add(FIndex, nullptr);
    ui->lstIndex->expandAll();
}

void THelpWindow::OpenContentsItem(QTreeWidgetItem* item)
{
    if (FMarking || !item)
        return;
    const QString local = item->data(0, kTopicRole).toString();
    if (!local.isEmpty())
        ShowTopic(local);
}

void THelpWindow::OpenIndexItem(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QStringList locals = item->data(0, kTopicRole).toStringList();
    if (!locals.isEmpty())
        ShowTopic(locals.first());
}

void THelpWindow::FindKeyword(const QString& text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return;
    QTreeWidgetItem* item = FindItem(ui->lstIndex, [&](QTreeWidgetItem* candidate) {
        return candidate->text(0).startsWith(wanted, Qt::CaseInsensitive);
    });
    if (item) {
        ui->lstIndex->setCurrentItem(item);
        ui->lstIndex->scrollToItem(item, QAbstractItemView::PositionAtTop);
    }
}

void THelpWindow::MarkContentsItem(const QUrl& page)
{
    const QString shown = PagePath(page.path());
    QTreeWidgetItem* item = FindItem(ui->lstContents, [&](QTreeWidgetItem* candidate) {
        const QString local = candidate->data(0, kTopicRole).toString();
        return !local.isEmpty() && PagePath(local).compare(shown, Qt::CaseInsensitive) == 0;
    });
    FMarking = true;
    if (item)
        ui->lstContents->setCurrentItem(item);
    else
        ui->lstContents->clearSelection();
    FMarking = false;
}

void THelpWindow::FollowModalOwner()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == this || modal == FModalOwner)
        return;
    ReleaseModalOwner();
    const QRect frame = geometry();
    const bool placed = isVisible();
    setParent(modal, windowFlags() | Qt::Window);
    if (placed)
        setGeometry(frame);
    modal->installEventFilter(this);
    FModalOwner = modal;
}

void THelpWindow::ReleaseModalOwner()
{
    if (!FModalOwner)
        return;
    FModalOwner->removeEventFilter(this);
    FModalOwner = nullptr;
    const bool visible = isVisible();
    const QRect frame = geometry();
    setParent(nullptr, windowFlags() | Qt::Window);
    setGeometry(frame);
    if (visible)
        show();
}

void THelpWindow::CollectAssociativeLinks()
{
    if (FAssociativeLinks)
        return;
    FAssociativeLinks.emplace();
    if (!FFile)
        return;
    static const QRegularExpression param(QStringLiteral(R"re(<param\b([^>]*)>)re"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression nameAttribute(QStringLiteral(R"re(\bname\s*=\s*"([^"]*)")re"),
                                                  QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression valueAttribute(QStringLiteral(R"re(\bvalue\s*=\s*"([^"]*)")re"),
                                                   QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression titleElement(QStringLiteral(R"re(<title>(.*?)</title>)re"),
                                                 QRegularExpression::CaseInsensitiveOption
                                                     | QRegularExpression::DotMatchesEverythingOption);
    for (const QString& path : FFile->ObjectPaths()) {
        if (!IsPage(path))
            continue;
        const std::optional<QByteArray> bytes = FFile->ReadObject(path);
        if (!bytes)
            continue;
        const QString page = DecodeHelpText(*bytes);
        const QString title = titleElement.match(page).captured(1).trimmed();
        auto it = param.globalMatch(page);
        while (it.hasNext()) {
            const QString attributes = it.next().captured(1);
            if (nameAttribute.match(attributes).captured(1).compare(QLatin1String("ALink Name"), Qt::CaseInsensitive) != 0)
                continue;
            const QString names = valueAttribute.match(attributes).captured(1);
            for (const QString& name : names.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                FAssociativeLinks->insert(name.trimmed().toLower(), THelpTopicRef{title, path.mid(1)});
        }
    }
}

} // namespace mirvo
