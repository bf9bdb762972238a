#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/foundation/NotificationCenter.h"

namespace {

using fnd::Notification;
using fnd::NotificationCenter;

TEST(NotificationCenter, DeliversByNameAndSender)
{
    NotificationCenter center;
    int senderA = 0, senderB = 0;
    std::vector<std::string> seen;
    auto any = center.addObserver("changed", [&](const Notification& n) {
        seen.push_back(n.object == &senderA ? "any:A" : n.object == &senderB ? "any:B" : "any:none");
    });
    auto onlyA = center.addObserver("changed", [&](const Notification&) { seen.push_back("onlyA"); }, &senderA);
    auto other = center.addObserver("other", [&](const Notification&) { seen.push_back("other"); });

    center.post("changed", &senderA);
    center.post("changed", &senderB);
    center.post("changed");
    EXPECT_EQ(seen, (std::vector<std::string>{"any:A", "onlyA", "any:B", "any:none"}));
}

TEST(NotificationCenter, ObservationEndsWithTheTokenOrItsRemoval)
{
    NotificationCenter center;
    int a = 0, b = 0;
    auto tokenA = center.addObserver("n", [&](const Notification&) { ++a; });
    auto tokenB = center.addObserver("n", [&](const Notification&) { ++b; });
    center.post("n");
    tokenA.reset();
    auto copyOfB = tokenB;
    center.removeObserver(tokenB);  // ends it although a copy of the token lives on
    center.post("n");
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
}

TEST(NotificationCenter, AnObserverRemovedDuringAPostIsNotCalledAfterwards)
{
    NotificationCenter center;
    int second = 0;
    NotificationCenter::Token secondToken;
    auto first = center.addObserver("n", [&](const Notification&) { secondToken.reset(); });
    secondToken = center.addObserver("n", [&](const Notification&) { ++second; });
    center.post("n");
    EXPECT_EQ(second, 0);
}

TEST(NotificationCenter, AnObserverMayEndItsOwnObservationAndTokensMayOutliveTheCentre)
{
    NotificationCenter::Token survivor;
    {
        NotificationCenter center;
        int calls = 0;
        NotificationCenter::Token self;
        self = center.addObserver("n", [&](const Notification&) {
            ++calls;
            self.reset();
        });
        center.post("n");
        center.post("n");
        EXPECT_EQ(calls, 1);
        survivor = center.addObserver("n", [](const Notification&) {});
    }
    survivor.reset();  // the centre is gone: nothing to do, nothing to crash
}

}  // namespace
