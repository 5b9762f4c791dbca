// What screen readers see of the program's own components. The labels paint
// their captions themselves, some in symbol fonts whose letters stand for
// pictures, so the standard widget interface would show them without any
// text: here they become static texts named by their caption, or by the
// meaning of their symbols. A group makes several labels one element that
// reads as one sentence (a row of the main window), with the labels as its
// children; a window that holds groups shows the groups in place of their
// labels.
#pragma once

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace mirvo {

class TMirvoLabel;

// Installs the interfaces of the components (idempotent; the components
// call it when they are made, before anything can ask for their interface).
void InstallComponentAccessibility();

// Widgets that lie under `owner` and read as one element, named by one
// sentence. Owned by `owner`; the members stay children of their parents.
class TAccessibleGroup final : public QObject {
    Q_OBJECT
public:
    TAccessibleGroup(QWidget* owner, const QList<QWidget*>& members, const QString& objectName);
    ~TAccessibleGroup() override;

    QWidget* Owner() const;
    const QList<QPointer<QWidget>>& Members() const { return FMembers; }

    QString Name() const { return FName; }
    // Tells screen readers when the sentence changes.
    void SetName(const QString& name);

    // The group `widget` belongs to, or null.
    static TAccessibleGroup* GroupOf(const QWidget* widget);

private:
    QList<QPointer<QWidget>> FMembers;
    QString FName;
};

// A widget that holds groups: its children are its child widgets in reading
// order (top to bottom, then left to right), each group in place of its
// members, and without the widgets marked as backdrops.
class TGroupingAccessible : public QAccessibleWidget {
public:
    explicit TGroupingAccessible(QWidget* widget, QAccessible::Role role = QAccessible::Client);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    // Marks `widget` as a backdrop that a screen reader has no reason to
    // visit (the main window's gradient).
    static void SetBackdrop(QWidget& widget);

private:
    QList<QObject*> Children() const;
};

// The interface of a TMirvoLabel: a static text whose name is the
// accessible name when one is set, else what the label shows, with symbol
// characters spoken by their meaning.
class TLabelAccessible final : public QAccessibleWidget {
public:
    explicit TLabelAccessible(TMirvoLabel* label);

    QString text(QAccessible::Text t) const override;
    QAccessibleInterface* parent() const override;

private:
    TMirvoLabel* Label() const;
};

} // namespace mirvo
