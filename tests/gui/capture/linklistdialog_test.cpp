// "Download all links with Dromo...": a page's links reach the window over
// the capture object, the caller is answered at once, and the user picks
// from the list.

#include "gui/capture/linklistdialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "gui/capture/curlhook.h"
#include "tests/gui/mainwindow/windowrig.h"
#include "tests/support/testservers.h"

namespace dromo {
namespace {

class LinkList : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_daemon = std::make_unique<test::PrivateSessionBus>();
        const QString address = QString::fromStdString(m_daemon->Address());
        m_caller = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "links-caller"));
        // The window's own connection serves the capture object; the test
        // calls it over another, so both run in this thread's event loop.
        m_serving = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, "links-serving"));
        m_w.settings.options.captureFileTypes = "exe zip";
        m_hook = std::make_unique<CURLHook>([](const QString&, CURLHook::Done done) { done({}); }, *m_serving);
        m_hook->SetLinksOffer([this](std::vector<OfferedLink> links) { return m_w.frame->OfferLinks(links); });
        ASSERT_TRUE(m_hook->Register());
    }
    void TearDown() override
    {
        m_hook.reset();
        m_serving.reset();
        m_caller.reset();
        QDBusConnection::disconnectFromBus("links-serving");
        QDBusConnection::disconnectFromBus("links-caller");
        m_daemon.reset();
    }

    // AddDownloads as the capture host calls it: (url, details) for each link.
    QDBusPendingCall Offer(const std::vector<std::pair<QString, CURLHook::Details>>& links)
    {
        QList<OfferedLinkArgument> offered;
        for (const auto& [url, details] : links) {
            offered.append(OfferedLinkArgument{url, details});
        }
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(CURLHook::kService),
                                                           QString::fromLatin1(CURLHook::kPath),
                                                           QString::fromLatin1(CURLHook::kService), "AddDownloads");
        call << QVariant::fromValue(offered);
        return m_caller->asyncCall(call, 10000);
    }

    // The list once it is up and active, or null.
    LinkListDialog* ShownList()
    {
        LinkListDialog* list = nullptr;
        const bool shown = QTest::qWaitFor([&] {
            list = m_w.frame->findChild<LinkListDialog*>();
            return list != nullptr && list->isVisible();
        });
        if (!shown) {
            return nullptr;
        }
        QApplication::setActiveWindow(list);
        return QTest::qWaitForWindowActive(list) ? list : nullptr;
    }

    static std::vector<bool> Checks(const LinkListDialog& list)
    {
        std::vector<bool> checks;
        for (int i = 0; i < list.List()->topLevelItemCount(); ++i) {
            checks.push_back(list.List()->topLevelItem(i)->checkState(LinkListDialog::kFileColumn) == Qt::Checked);
        }
        return checks;
    }

    static void ClickRow(LinkListDialog& list, int row)
    {
        QTreeWidget& tree = *list.List();
        const QRect rect = tree.visualRect(tree.model()->index(row, LinkListDialog::kUrlColumn));
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, rect.center());
    }

    static void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    test::Window m_w;
    std::unique_ptr<test::PrivateSessionBus> m_daemon;
    std::unique_ptr<QDBusConnection> m_caller;
    std::unique_ptr<QDBusConnection> m_serving;
    std::unique_ptr<CURLHook> m_hook;
};

const CURLHook::Details kPage{{"referrer", "http://h/list.html"}, {"userAgent", "UA/1"}};

CURLHook::Details With(const CURLHook::Details& details, const QString& key, const QString& value)
{
    CURLHook::Details more = details;
    more.insert(key, value);
    return more;
}

TEST_F(LinkList, TheCallerIsAnsweredAtOnceAndTheChosenLinksAreAddedInOneSave)
{
    QDBusPendingCall pending = Offer({
        {"http://h/a.zip", With(kPage, "cookie", "s=1")},
        {"http://h/page.html", kPage},
        {"http://h/get?id=7", With(kPage, "fileName", "setup.exe")},
        {"mailto:someone@example.org", kPage},
        {"http://h/b.iso#top", With(kPage, "cookie", "s=2")},
    });
    // Answered before anyone has seen the list.
    ASSERT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 5000));
    EXPECT_FALSE(pending.isError()) << pending.error().message().toStdString();
    LinkListDialog* list = ShownList();
    ASSERT_NE(list, nullptr);

    // One row a link a task can come of: the file's name, its URL; chosen
    // by the capture file types.
    QStringList shown;
    for (int i = 0; i < list->List()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->List()->topLevelItem(i);
        shown << item->text(LinkListDialog::kFileColumn) + " " + item->text(LinkListDialog::kUrlColumn);
    }
    EXPECT_EQ(shown, (QStringList{"a.zip http://h/a.zip", "page.html http://h/page.html", "setup.exe http://h/get?id=7",
                                  "b.iso http://h/b.iso"}));
    EXPECT_EQ(Checks(*list), (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(m_w.table.Count(), 0);

    // None, then all, then by hand: the third unchecked, the last checked.
    QTest::mouseClick(list->SelectNoneButton(), Qt::LeftButton);
    EXPECT_EQ(Checks(*list), (std::vector<bool>{false, false, false, false}));
    EXPECT_FALSE(list->OkButton()->isEnabled());
    QTest::mouseClick(list->SelectAllButton(), Qt::LeftButton);
    EXPECT_EQ(Checks(*list), (std::vector<bool>{true, true, true, true}));
    ClickRow(*list, 1);
    ASSERT_EQ(QApplication::focusWidget(), list->List());
    Press(Qt::Key_Space);
    Press(Qt::Key_Down);
    Press(Qt::Key_Space);
    EXPECT_EQ(Checks(*list), (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(list->Choice().ChosenCount(), 2u);
    EXPECT_EQ(list->CountLabel()->text(), "2 of 4 chosen");

    const int flushes = m_w.profile.flushes;
    QTest::mouseClick(list->OkButton(), Qt::LeftButton);
    ASSERT_EQ(m_w.table.Count(), 2);
    EXPECT_EQ(m_w.profile.flushes, flushes + 1) << "one save for the lot";
    const TaskRecord a = *m_w.table.CopyOut(0);
    const TaskRecord b = *m_w.table.CopyOut(1);
    EXPECT_EQ(a.saveAs, "/tmp/dl/a.zip");
    EXPECT_EQ(a.cookie, "s=1");
    EXPECT_EQ(a.referrer, "http://h/list.html");
    EXPECT_EQ(a.userAgent, "UA/1");
    EXPECT_EQ(b.saveAs, "/tmp/dl/b.iso");
    EXPECT_EQ(b.cookie, "s=2");
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_w.frame->findChild<LinkListDialog*>() == nullptr; }))
        << "the list goes when it is answered";
}

TEST_F(LinkList, CancelAddsNothingAndAPageWithoutLinksIsRefusedAtOnce)
{
    QDBusPendingCall pending = Offer({{"http://h/a.zip", kPage}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 5000));
    LinkListDialog* list = ShownList();
    ASSERT_NE(list, nullptr);
    const int flushes = m_w.profile.flushes;
    Press(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_w.frame->findChild<LinkListDialog*>() == nullptr; }));
    EXPECT_EQ(m_w.table.Count(), 0);
    EXPECT_EQ(m_w.profile.flushes, flushes);

    QDBusPendingCall refused = Offer({{"mailto:someone@example.org", kPage}, {"http://h/docs/", kPage}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return refused.isFinished(); }, 5000));
    EXPECT_TRUE(refused.isError());
    EXPECT_EQ(refused.error().name().toStdString(), CURLHook::kRefused);
    EXPECT_EQ(refused.error().message().toStdString(), kNoLinksToOffer);
    // A list would open from the event loop, queued before the answer went
    // out: once a call queued now has run, so has that.
    bool settled = false;
    QTimer::singleShot(0, [&settled] { settled = true; });
    ASSERT_TRUE(QTest::qWaitFor([&settled] { return settled; }));
    EXPECT_EQ(m_w.frame->findChild<LinkListDialog*>(), nullptr);
}

}  // namespace
}  // namespace dromo
