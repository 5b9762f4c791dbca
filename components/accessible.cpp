#include "components/accessible.h"

#include "components/fonts.h"
#include "components/mirvolabel.h"

#include <QAccessible>
#include <QMenu>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace mirvo {

namespace {

const char* const kGroupProperty = "mirvoAccessibleGroup";
const char* const kBackdropProperty = "mirvoAccessibleBackdrop";

// The interface of a group: an element with a name and the members as children.
class TGroupAccessible final : public QAccessibleObject {
public:
    explicit TGroupAccessible(TAccessibleGroup* group) : QAccessibleObject(group) {}

    QWindow* window() const override
    {
        const QWidget* owner = Group()->Owner();
        return owner && owner->window() ? owner->window()->windowHandle() : nullptr;
    }

    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(Group()->Owner());
    }

    int childCount() const override { return static_cast<int>(Visible().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> members = Visible();
        if (index < 0 || index >= members.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(members[index]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        return static_cast<int>(Visible().indexOf(qobject_cast<QWidget*>(child->object())));
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (QWidget* member : Visible()) {
            if (QRect(member->mapToGlobal(QPoint(0, 0)), member->size()).contains(x, y))
                return QAccessible::queryAccessibleInterface(member);
        }
        return nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? Group()->Name() : QString();
    }

    QRect rect() const override
    {
        QRect united;
        for (QWidget* member : Visible())
            united |= QRect(member->mapToGlobal(QPoint(0, 0)), member->size());
        return united;
    }

    QAccessible::Role role() const override { return QAccessible::Grouping; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        const QWidget* owner = Group()->Owner();
        s.invisible = !owner || !owner->isVisible() || Visible().isEmpty();
        s.offscreen = s.invisible;
        return s;
    }

private:
    TAccessibleGroup* Group() const { return static_cast<TAccessibleGroup*>(object()); }

    QList<QWidget*> Visible() const
    {
        QList<QWidget*> members;
        for (const QPointer<QWidget>& m : Group()->Members()) {
            if (m && !m->isHidden())
                members << m.data();
        }
        return members;
    }
};

QAccessibleInterface* ComponentFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("mirvo::TMirvoLabel"))
        return new TLabelAccessible(static_cast<TMirvoLabel*>(object));
    if (className == QLatin1String("mirvo::TAccessibleGroup"))
        return new TGroupAccessible(static_cast<TAccessibleGroup*>(object));
    return nullptr;
}

// The child widgets the standard interface shows: no windows, no menus.
bool ShownAsChild(const QObject* o)
{
    const auto* w = qobject_cast<const QWidget*>(o);
    return w && !w->isWindow() && !qobject_cast<const QMenu*>(w) && !w->property(kBackdropProperty).toBool();
}

} // namespace

void InstallComponentAccessibility()
{
    // Qt keeps one entry per factory.
    QAccessible::installFactory(&ComponentFactory);
}

// ---- TAccessibleGroup ----

TAccessibleGroup::TAccessibleGroup(QWidget* owner, const QList<QWidget*>& members, const QString& objectName)
    : QObject(owner)
{
    InstallComponentAccessibility();
    setObjectName(objectName);
    for (QWidget* m : members) {
        FMembers << m;
        m->setProperty(kGroupProperty, QVariant::fromValue(static_cast<QObject*>(this)));
    }
}

TAccessibleGroup::~TAccessibleGroup()
{
    for (const QPointer<QWidget>& m : FMembers) {
        if (m)
            m->setProperty(kGroupProperty, QVariant());
    }
}

QWidget* TAccessibleGroup::Owner() const
{
    return qobject_cast<QWidget*>(parent());
}

void TAccessibleGroup::SetName(const QString& name)
{
    if (name == FName)
        return;
    FName = name;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

TAccessibleGroup* TAccessibleGroup::GroupOf(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    return qobject_cast<TAccessibleGroup*>(widget->property(kGroupProperty).value<QObject*>());
}

// ---- TGroupingAccessible ----

TGroupingAccessible::TGroupingAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{
}

void TGroupingAccessible::SetBackdrop(QWidget& widget)
{
    widget.setProperty(kBackdropProperty, true);
}

namespace {

// Where a child lies in its window: a widget's geometry, a group's members together.
QRect PlaceOf(const QObject* child)
{
    if (const auto* w = qobject_cast<const QWidget*>(child))
        return w->geometry();
    QRect united;
    if (const auto* group = qobject_cast<const TAccessibleGroup*>(child)) {
        for (const QPointer<QWidget>& m : group->Members()) {
            if (m)
                united |= m->geometry();
        }
    }
    return united;
}

} // namespace

QList<QObject*> TGroupingAccessible::Children() const
{
    QList<QObject*> shown;
    for (QObject* o : widget()->children()) {
        if (!ShownAsChild(o))
            continue;
        auto* w = static_cast<QWidget*>(o);
        // What the window does not show is not read either (the reading
        // behind the welcome of a first start).
        if (w->isHidden())
            continue;
        TAccessibleGroup* group = TAccessibleGroup::GroupOf(w);
        if (group && group->Owner() == widget()) {
            if (!shown.contains(group))
                shown << group;
        } else {
            shown << w;
        }
    }
    // In reading order, top to bottom and left to right, whatever the order
    // the layout made them in: a column head before the rows under it.
    std::stable_sort(shown.begin(), shown.end(), [](const QObject* a, const QObject* b) {
        const QRect pa = PlaceOf(a);
        const QRect pb = PlaceOf(b);
        return pa.top() != pb.top() ? pa.top() < pb.top() : pa.left() < pb.left();
    });
    return shown;
}

int TGroupingAccessible::childCount() const
{
    return static_cast<int>(Children().size());
}

QAccessibleInterface* TGroupingAccessible::child(int index) const
{
    const QList<QObject*> children = Children();
    if (index < 0 || index >= children.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(children[index]);
}

int TGroupingAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child)
        return -1;
    return static_cast<int>(Children().indexOf(child->object()));
}

QAccessibleInterface* TGroupingAccessible::childAt(int x, int y) const
{
    // The topmost child first: later children are painted over earlier ones.
    const QList<QObject*> children = Children();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(*it);
        if (iface && iface->rect().contains(x, y))
            return iface;
    }
    return nullptr;
}

// ---- TLabelAccessible ----

TLabelAccessible::TLabelAccessible(TMirvoLabel* label) : QAccessibleWidget(label, QAccessible::StaticText)
{
}

TMirvoLabel* TLabelAccessible::Label() const
{
    return static_cast<TMirvoLabel*>(widget());
}

QString TLabelAccessible::text(QAccessible::Text t) const
{
    const TMirvoLabel* label = Label();
    switch (t) {
    case QAccessible::Name:
        if (!label->accessibleName().isEmpty())
            return label->accessibleName();
        return SpokenSymbols(label->GetFontFace(), label->AccessibleText()).trimmed();
    case QAccessible::Value:
        return QString();
    default:
        return QAccessibleWidget::text(t);
    }
}

QAccessibleInterface* TLabelAccessible::parent() const
{
    if (TAccessibleGroup* group = TAccessibleGroup::GroupOf(Label()))
        return QAccessible::queryAccessibleInterface(group);
    return QAccessibleWidget::parent();
}

} // namespace mirvo
