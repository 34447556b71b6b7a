#include "support/Seams.h"
#include "support/TestSeams.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>

using namespace contivo;
using contivo::testing::ScriptedModalRunner;

namespace {

TEST(ModalRunner, HandlerDrivesTheWindowAndItsResultIsReturned)
{
    ScriptedModalRunner runner;
    QDialog outer;
    outer.setObjectName("FormEsterna");
    QDialog inner(&outer);
    inner.setObjectName("FormInterna");
    int innerResult = -1;
    runner
        .expect([&](QDialog& d) {
            EXPECT_TRUE(d.isVisible());
            innerResult = RunModal(inner); // nested window opened from the first one
            d.done(42);
        })
        .expect([](QDialog& d) { d.accept(); });
    EXPECT_EQ(RunModal(outer), 42);
    EXPECT_EQ(innerResult, QDialog::Accepted);
    EXPECT_EQ(runner.ran(), QStringList({ "FormEsterna", "FormInterna" }));
    EXPECT_FALSE(outer.isVisible());
}

TEST(ModalRunner, WindowLeftOpenIsRejectedAndUnexpectedOneFails)
{
    ScriptedModalRunner runner;
    QDialog dialog;
    runner.expect([](QDialog&) {});
    EXPECT_EQ(RunModal(dialog), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_NONFATAL_FAILURE(RunModal(dialog), "Unexpected modal window");
}

TEST(Notifier, RecordingNotifierCapturesBalloonsAndRestoresTheDefault)
{
    Notifier* before = &Notifier::instance();
    {
        RecordingNotifier notifier;
        ShowBalloon(
            "Importazione movimenti", "Sono state importate 3 nuove entrate", NotifyIcon::Information);
        ASSERT_EQ(notifier.balloons().size(), 1);
        EXPECT_EQ(notifier.balloons()[0].title, "Importazione movimenti");
        EXPECT_EQ(notifier.balloons()[0].icon, NotifyIcon::Information);
        EXPECT_EQ(notifier.balloons()[0].msecs, 136000);
    }
    EXPECT_EQ(&Notifier::instance(), before);
}

TEST(Notifier, DefaultFallsBackToTheHookWithoutATrayIcon)
{
    QString seen;
    TrayNotifier::defaultNotifier().setFallback(
        [&](const QString& t, const QString& x, NotifyIcon) { seen = t + "|" + x; });
    ShowBalloon("Titolo", "Testo", NotifyIcon::Error);
    TrayNotifier::defaultNotifier().setFallback(nullptr);
    EXPECT_EQ(seen, "Titolo|Testo");
}

TEST(Clock, FixedClockStandsStillAndIsRemoved)
{
    const QDateTime moment(QDate(2024, 2, 29), QTime(23, 59, 58));
    {
        FixedClock clock(moment);
        EXPECT_EQ(Now(), moment);
        EXPECT_EQ(Today(), QDate(2024, 2, 29));
        clock.set(moment.addSecs(5));
        EXPECT_EQ(Today(), QDate(2024, 3, 1));
    }
    EXPECT_LE(qAbs(Now().secsTo(QDateTime::currentDateTime())), 5);
}

}
