// The Find dialog's copy of the text, without a window.
#include <gtest/gtest.h>

#include <string>

#include "TextFind.h"

namespace {

TEST(SearchCopy, RefreshedOnlyWhenTheStampMoves) {
    textfind::SearchCopy c;
    int control = 0, other = 0;
    const textfind::Stamp s1{&control, 1, 3};
    EXPECT_FALSE(c.Current(s1));
    c.Refresh(s1, L"abc");
    EXPECT_TRUE(c.Current(s1));
    EXPECT_FALSE(c.Current({&control, 2, 3}));  // a change notification, same length
    EXPECT_FALSE(c.Current({&control, 1, 4}));  // a change without notification shows in the length
    EXPECT_FALSE(c.Current({&other, 1, 3}));    // another control
    c.Clear();
    EXPECT_FALSE(c.Current(s1));
}

}  // namespace
