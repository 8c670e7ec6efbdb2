// The resource type and name lists (window-free).
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ErrRecord.h"
#include "ResourceList.h"

using namespace pellamy;

namespace {

int32_t ErrorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

// Freed name slots are reused last free first; reads outside the filled range raise error 9.
TEST(PellamyResources, FreedNameSlotsAreReusedLastFreeFirst) {
    ResourceLists r;
    r.AddResourceType(3, L"");
    for (auto bad : std::vector<std::function<void()>>{[&] { r.ResourceType(2); }, [&] { r.ResourceNameCount(1); },
                     [&] { r.AddResourceName(1, L""); }, [&] { r.BeginNames(2); }})
        EXPECT_EQ(ErrorNumberOf(bad), 9);
    r.AddResourceType(0, L"MYDATA");
    r.AddResourceType(6, L"");
    EXPECT_EQ(r.IndexOfResourceType(6), 3);
    EXPECT_EQ(r.IndexOfResourceType(0), 2);  // the first named type
    EXPECT_EQ(r.IndexOfResourceType(99), 0);
    for (int32_t t = 1; t <= 3; ++t) {  // names of types 1, 2, 3 land in slots 1, 2, 3
        r.BeginNames(t);
        EXPECT_EQ(r.CurrentNameSlot(), t);
        r.AddResourceName(t * 10, L"");
        r.AddResourceName(0, L"NAMED" + std::to_wstring(t));
    }
    EXPECT_EQ(std::get<std::wstring>(r.ResourceName(2, 2)), L"NAMED2");
    EXPECT_EQ(ErrorNumberOf([&] { r.ResourceName(1, 3); }), 9);
    r.BeginNames(2);  // again for the same type: its slot is freed and claimed again, not doubled
    EXPECT_EQ(r.CurrentNameSlot(), 2);
    r.AddResourceName(7, L"");
    EXPECT_EQ(r.ResourceNameCount(2), 1);
    r.ClearNames(1);
    r.ClearNames(3);
    EXPECT_EQ(r.FindNameSlot(1), 0);
    r.BeginNames(1);
    EXPECT_EQ(r.CurrentNameSlot(), 3);
    r.BeginNames(3);
    EXPECT_EQ(r.CurrentNameSlot(), 1);
    r.ClearNames(0);
    EXPECT_EQ(r.SlotCount(), 0);
}

}  // namespace
