#include "ui/browser/library_changes.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(LibraryChanges, TellsEachSubscriberUntilItsSubscriptionGoes) {
    CLibraryChanges changes;
    int first = 0;
    int second = 0;
    std::optional<CLibraryChanges::Subscription> one = changes.Subscribe([&] { ++first; });
    CLibraryChanges::Subscription two = changes.Subscribe([&] { ++second; });
    changes.Notify();
    one.reset();
    changes.Notify();
    // Moved: still one subscription, ended once.
    CLibraryChanges::Subscription moved = std::move(two);
    changes.Notify();
    moved = CLibraryChanges::Subscription();
    changes.Notify();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 3);
}

TEST(LibraryChanges, ASubscriberMayEndSubscriptionsWhileTold) {
    CLibraryChanges changes;
    int later = 0;
    std::optional<CLibraryChanges::Subscription> second;
    std::optional<CLibraryChanges::Subscription> first = changes.Subscribe([&] {
        second.reset();
        first.reset();
    });
    second = changes.Subscribe([&] { ++later; });
    changes.Notify();
    changes.Notify();
    EXPECT_FALSE(first.has_value());
    EXPECT_EQ(later, 0) << "ended before its turn";
}

} // namespace
