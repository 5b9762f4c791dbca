// Window animation: one component per form, minimizing and restoring the
// program with the outline's flight, modal windows, switching to the program.

#include "base/error.h"
#include "components/animatewindow.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

using namespace mirvo;

namespace {

QWidget* Band()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("AnimateBand"))
            return w;
    }
    return nullptr;
}

// Lets the window system's own notices of a change arrive, as they do between a user's clicks.
void Settle()
{
    QTest::qWait(20);
}

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const koyomi::EMirvoError& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

// A shown main form with its component and counters of its notifications.
struct TAnimatedForm {
    TAnimatedForm()
    {
        form = std::make_unique<QWidget>();
        form->setObjectName(QStringLiteral("TTodayMirvo"));
        form->setGeometry(300, 200, 234, 303);
        animate = new TAnimateWindow(form.get());
        animate->SetOnMinimize([this](QObject* sender) {
            ++minimized;
            senderWasApplication = sender == QCoreApplication::instance();
        });
        animate->SetOnRestore([this](QObject* sender) {
            ++restored;
            senderWasApplication = senderWasApplication && sender == QCoreApplication::instance();
        });
        form->show();
        // Shown and active before the test starts, as a window is when the user first reaches it.
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("the form did not become active");
    }
    std::unique_ptr<QWidget> form;
    TAnimateWindow* animate = nullptr; // owned by the form
    int minimized = 0;
    int restored = 0;
    bool senderWasApplication = false;
};

} // namespace

class TestAnimate final : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void onlyOnePerForm();
    void minimizeAndRestoreFlyTheOutline();
    void minimizeWorksWhileModalWindowIsOpen();
    void switchingToMinimizedProgramRestoresIt();
    void otherFormMinimizesTheProgram();
};

void TestAnimate::cleanup()
{
    QVERIFY(AnimateFormList().isEmpty());
    QVERIFY(AnimateMainForm() == nullptr);
}

void TestAnimate::onlyOnePerForm()
{
    {
        TAnimatedForm main;
        QCOMPARE(AnimateFormList().size(), 1);
        QVERIFY(AnimateMainForm() == main.form.get());
        QCOMPARE(ErrorOf([&] { TAnimateWindow second(main.form.get()); }),
                 QStringLiteral("AnimateWindowはフォームに一つしか置けません"));
        QCOMPARE(AnimateFormList().size(), 1);

        // The first keeps working.
        main.animate->Minimize();
        QVERIFY(main.form->isMinimized());
        QCOMPARE(main.minimized, 1);

        // Only a window can carry one.
        QWidget child(main.form.get());
        QCOMPARE(ErrorOf([&] { TAnimateWindow onChild(&child); }),
                 QStringLiteral("コンポーネントの所有者がフォームではありません."));

        // Gone, a new one may be put on the form.
        delete main.animate;
        QVERIFY(AnimateFormList().isEmpty());
        QVERIFY(AnimateMainForm() == nullptr);
        auto* again = new TAnimateWindow(main.form.get());
        QVERIFY(AnimateFormList().contains(main.form.get()));
        QVERIFY(again->parent() == main.form.get());
    }
    // Destroying the form takes its component, and its entry, with it.
}

void TestAnimate::minimizeAndRestoreFlyTheOutline()
{
    TAnimatedForm main;
    QVERIFY(QTest::qWaitForWindowExposed(main.form.get()));
    const QRect frame = main.form->frameGeometry();
    const QRect screen = main.form->screen()->geometry();

    main.animate->Minimize();
    QVERIFY(main.form->isMinimized());
    QCOMPARE(main.minimized, 1);
    QVERIFY(main.senderWasApplication);
    QWidget* band = Band();
    QVERIFY(band);
    QVERIFY(band->isVisible());
    QVERIFY(!band->isActiveWindow());
    // It flies to the bottom of the screen, shrinking, then goes away.
    QTRY_VERIFY_WITH_TIMEOUT(!band->isVisible(), 3000);
    QCOMPARE(band->geometry().bottom(), screen.bottom());
    QVERIFY(band->width() < frame.width() || band->width() <= 160);
    QVERIFY(band->height() < frame.height());

    // Restoring (from the taskbar) flies back to where the window was.
    main.form->showNormal();
    QCOMPARE(main.restored, 1);
    QVERIFY(main.senderWasApplication);
    QVERIFY(band->isVisible());
    QCOMPARE(band->geometry().bottom(), screen.bottom());
    QTRY_VERIFY_WITH_TIMEOUT(!band->isVisible(), 3000);
    QCOMPARE(band->geometry(), frame);
    QCOMPARE(main.minimized, 1);
}

void TestAnimate::minimizeWorksWhileModalWindowIsOpen()
{
    TAnimatedForm main;
    QWidget detail;
    detail.setObjectName(QStringLiteral("MirvoInfo"));
    detail.show();
    QVERIFY(QTest::qWaitForWindowActive(&detail));
    QDialog settings(main.form.get());
    bool allMinimized = false;
    bool allRestored = false;
    QTimer::singleShot(0, &settings, [&] {
        main.animate->Minimize();
        Settle();
        allMinimized = main.form->isMinimized() && settings.isMinimized() && detail.isMinimized();
        main.form->showNormal();
        Settle();
        allRestored = !main.form->isMinimized() && !settings.isMinimized() && !detail.isMinimized()
            && settings.isVisible();
        settings.accept();
    });
    settings.exec();
    QVERIFY(allMinimized);
    QVERIFY(allRestored);
    QCOMPARE(main.minimized, 1);
    QCOMPARE(main.restored, 1);
}

void TestAnimate::switchingToMinimizedProgramRestoresIt()
{
    TAnimatedForm main;
    main.animate->Minimize();
    Settle();
    QVERIFY(main.form->isMinimized());
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(main.form.get(), &activate);
    QTRY_VERIFY(!main.form->isMinimized());
    Settle();
    QCOMPARE(main.restored, 1);

    // Activation of a program that is not minimized changes nothing.
    QApplication::sendEvent(main.form.get(), &activate);
    Settle();
    QCOMPARE(main.restored, 1);

    // Switching to the program through another window that went down with it.
    QWidget detail;
    detail.show();
    QVERIFY(QTest::qWaitForWindowActive(&detail));
    main.animate->Minimize();
    Settle();
    QVERIFY(detail.isMinimized());
    detail.showNormal();
    QTRY_VERIFY(!main.form->isMinimized());
    QCOMPARE(main.restored, 2);
}

void TestAnimate::otherFormMinimizesTheProgram()
{
    TAnimatedForm main;
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    int otherNotifications = 0;
    auto* otherAnimate = new TAnimateWindow(&other);
    otherAnimate->SetOnMinimize([&](QObject*) { ++otherNotifications; });
    QVERIFY(AnimateMainForm() == main.form.get());

    otherAnimate->Minimize();
    QTRY_VERIFY(main.form->isMinimized());
    Settle();
    QCOMPARE(main.minimized, 1);
    QCOMPARE(otherNotifications, 0); // the program's notification comes from the main form's component
    // Restoring the other form brings the program back.
    other.showNormal();
    QTRY_VERIFY(!main.form->isMinimized());
    QCOMPARE(main.restored, 1);
}

QTEST_MAIN(TestAnimate)
#include "tst_animate.moc"
